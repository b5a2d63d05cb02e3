// The product's check-and-save unit and list statements, without a screen.
#include "testsupport.h"

#include "applog.h"
#include "masterdata/products.h"

#include <QFile>
#include <QTest>

using products::Product;

class TstProductUnit : public QObject {
    Q_OBJECT
private slots:
    void checksInOrder();
    void fractionalRateIsAsked();
    void saveAndChange();
    void changeOfRowDeletedElsewhereFails();
    void removal();
    void listOrders();
};

namespace {

Product valid()
{
    Product p;
    p.set("T_KOD", "00005");
    p.set("T_MEGNEVEZES", "Árpa");
    p.set("T_VTSZ", "1003");
    p.set("T_EAR", "62,5");
    p.set("T_MEGY", "kg");
    p.set("T_KOMPMERTEKE", "7");
    return p;
}

rec::Context ctx(TestDb& db)
{
    rec::Context c;
    c.db = &db.data()->ZCon1;
    c.akod = "00001";
    return c;
}

// Answers every question with `answer` and remembers them.
struct Asker {
    bool answer = true;
    QStringList asked;
    products::Confirm fn()
    {
        return [this](const QString& q) {
            asked << q;
            return answer;
        };
    }
};

QStringList column(TQuery* q, const char* field)
{
    QStringList out;
    for (int r = 0; r < q->recordCount(); ++r)
        out << q->valueAt(r, q->fieldIndex(field)).toString();
    return out;
}

} // namespace

void TstProductUnit::checksInOrder()
{
    Asker ask;
    Product p;
    p.set("T_MEGNEVEZES", "   ");
    p.set("T_KOMPMERTEKE", "7,5"); // its question comes only after every other check
    const std::pair<const char*, const char*> steps[] = {
        {"T_KOD", "Nincs megadva a kód!"},
        {"T_MEGNEVEZES", "Nincs megadva a megnevezés!"},
        {"T_EAR", "Nincs megadva az egységár!"},
        {"T_MEGY", "Nincs megadva a mennyiség egység!"},
    };
    const char* fixes[] = {"1", "Bab", "1,2,3", "kg"};
    for (int i = 0; i < 4; ++i) {
        const rec::Outcome o = products::check(p, ask.fn());
        QCOMPARE(o.message, QString::fromUtf8(steps[i].second));
        QCOMPARE(o.field, QString(steps[i].first));
        p.set(steps[i].first, fixes[i]);
    }
    // "1,2,3" passes the key filter but is no number.
    rec::Outcome o = products::check(p, ask.fn());
    QCOMPARE(o.message, QString("Az egységár nem szám (tizedesvesszővel írja, pl. 62,5)!"));
    QCOMPARE(o.field, QString("T_EAR"));
    p.set("T_EAR", "0");
    p.set("T_KOMPMERTEKE", " ");
    o = products::check(p, ask.fn());
    QCOMPARE(o.message, QString("Nincs megadva a komp.mérték!"));
    QCOMPARE(o.field, QString("T_KOMPMERTEKE"));
    p.set("T_KOMPMERTEKE", ",");
    o = products::check(p, ask.fn());
    QCOMPARE(o.message, QString("A komp.mérték nem szám (tizedesvesszővel írja, pl. 12)!"));
    QVERIFY(ask.asked.isEmpty());
    p.set("T_KOMPMERTEKE", "12,00"); // whole, written with decimals: no question
    QVERIFY(products::check(p, ask.fn()).ok());
    QVERIFY(ask.asked.isEmpty());
}

void TstProductUnit::fractionalRateIsAsked()
{
    TestDb db(true);
    Asker ask;
    ask.answer = false;
    Product p = valid();
    p.set("T_KOMPMERTEKE", "7,5");
    rec::Outcome o = products::save(ctx(db), p, products::Mode::New, ask.fn());
    QCOMPARE(ask.asked, QStringList{"A komp.mérték csak egész szám lehet: 7,5 helyett 8 kerül "
                                    "tárolásra. Mentsem így?"});
    // A "no" goes back to the field without a message of its own.
    QCOMPARE(o.kind, rec::Outcome::CheckFailed);
    QVERIFY(o.message.isEmpty());
    QCOMPARE(o.field, QString("T_KOMPMERTEKE"));
    QCOMPARE(db.scalar("select count(*) from termek"), QString("4"));
    ask.answer = true;
    p.set("T_KOMPMERTEKE", "6,49");
    QVERIFY(products::save(ctx(db), p, products::Mode::New, ask.fn()).ok());
    QCOMPARE(ask.asked.last(), QString("A komp.mérték csak egész szám lehet: 6,49 helyett 6 kerül "
                                       "tárolásra. Mentsem így?"));
    QCOMPARE(db.scalar("select t_kompmerteke from termek where t_kod = '00005'"), QString("6"));
}

void TstProductUnit::saveAndChange()
{
    TestDb db(true);
    Asker ask;
    Product p = valid();
    p.set("T_EAR", "45,25");
    p.set("T_KOMPMERTEKE", "9");
    p.set("T_BIZONYLAT", "T-1");
    QVERIFY(products::save(ctx(db), p, products::Mode::New, ask.fn()).ok());
    QVERIFY(!db.data()->ZCon1.inTransaction());
    QCOMPARE(db.scalar("select t_kod || '|' || t_megnevezes || '|' || t_vtsz || '|' || t_ear || "
                       "'|' || t_megy || '|' || t_kompmerteke || '|' || t_bizonylat "
                       "from termek where t_kod = '00005'"),
             QString("00005|Árpa|1003|45.2500|kg|9|T-1"));

    const QString id = db.scalar("select id_termek from termek where t_megnevezes = 'Tojás'");
    Product c = valid();
    c.set("ID_TERMEK", id);
    c.set("T_KOD", "00044");
    c.set("T_MEGNEVEZES", "Tojás L");
    c.set("T_EAR", "48,75");
    c.set("T_KOMPMERTEKE", "11");
    QVERIFY(products::save(ctx(db), c, products::Mode::Modify, ask.fn()).ok());
    QCOMPARE(db.scalar(QString("select t_kod || '|' || t_megnevezes || '|' || t_ear || '|' || "
                               "t_kompmerteke from termek where id_termek = %1")
                           .arg(id)),
             QString("00044|Tojás L|48.7500|11"));
    QCOMPARE(db.scalar("select count(*) from termek"), QString("5"));
    QCOMPARE(db.scalar("select t_ear from termek where t_megnevezes = 'Búza'"), QString("62,5"));


    // A new product's code that another product has: taken meanwhile when it
    // was the offer (the next free one is saved), refused when typed over it.
    Product n = valid();
    n.set("T_KOD", "00044");
    n.set("T_MEGNEVEZES", "Zab");
    QCOMPARE(products::save(ctx(db), n, products::Mode::New, ask.fn(), nullptr, "00006").message,
             QString("A(z) 00044 kód már foglalt!"));
    QString saved;
    QVERIFY(products::save(ctx(db), n, products::Mode::New, ask.fn(), &saved, "00044").ok());
    QCOMPARE(saved, QString("00045"));
    QCOMPARE(db.scalar("select count(*) from termek where t_kod = '00044'"), QString("1"));

    // A code longer than the column fails the statement: its number, nothing written.
    applog::setPath(db.dir() + "/vadmo7.log");
    c.set("T_KOD", "123456");
    const rec::Outcome o = products::save(ctx(db), c, products::Mode::Modify, ask.fn());
    QCOMPARE(o.message, QString("Hiba73: Módositásban, UPDATE a termékben "));
    QVERIFY(!o.dbText.isEmpty());
    p.set("T_KOD", "123456");
    QCOMPARE(products::save(ctx(db), p, products::Mode::New, ask.fn()).message,
             QString("Hiba72: Újban, INSERT  a termékben "));
    QCOMPARE(db.scalar(QString("select t_kod from termek where id_termek = %1").arg(id)),
             QString("00044"));
    applog::setPath({});
}

void TstProductUnit::changeOfRowDeletedElsewhereFails()
{
    TestDb db(true);
    const QString log = db.dir() + "/vadmo7.log";
    applog::setPath(log);
    const QString id = db.scalar("select id_termek from termek where t_megnevezes = 'Búza'");
    {
        fb::Connection other;
        other.attach(db.file());
        other.executeImmediate("delete from termek where t_megnevezes = 'Búza'");
        other.commit();
        other.detach();
    }
    Asker ask;
    Product p = valid();
    p.set("ID_TERMEK", id);
    const rec::Outcome o = products::save(ctx(db), p, products::Mode::Modify, ask.fn());
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba73: Módositásban, UPDATE a termékben "));
    QVERIFY2(o.dbText.contains("1 sor helyett 0"), qPrintable(o.dbText));
    QCOMPARE(db.scalar("select count(*) from termek"), QString("3"));
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(f.readAll());
    QVERIFY(logged.contains("Hiba73"));
    QVERIFY(logged.contains("1 sor helyett 0"));
    applog::setPath({});
}

void TstProductUnit::removal()
{
    TestDb db(true);
    applog::setPath(db.dir() + "/vadmo7.log");
    auto idOf = [&](const char* name) {
        return db.scalar(
            QString("select id_termek from termek where t_megnevezes = '%1'").arg(QString::fromUtf8(name)));
    };
    QVERIFY(products::remove(ctx(db), idOf("Búza")).ok());
    db.data()->ZCon1.startTransaction();
    db.data()->ZCon1.rollback();
    QCOMPARE(db.scalar("select count(*) from termek"), QString("3"));

    const QString tojas = idOf("Tojás");
    {
        fb::Connection other;
        other.attach(db.file());
        other.executeImmediate("delete from termek where t_megnevezes = 'Tojás'");
        other.commit();
        other.detach();
    }
    const rec::Outcome o = products::remove(ctx(db), tojas);
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba61: termék DELETE törlésekor"));

    QVERIFY(products::remove(ctx(db), idOf("Napraforgó")).ok());
    const rec::Outcome last = products::remove(ctx(db), idOf("Őszibarack"));
    QCOMPARE(last.kind, rec::Outcome::CheckFailed);
    QCOMPARE(last.message, QString("Az utolsó terméksor nem törölhető ki."));
    QCOMPARE(db.scalar("select t_megnevezes from termek"), QString("Őszibarack"));
    applog::setPath({});
}

void TstProductUnit::listOrders()
{
    TestDb db(true);
    db.exec("insert into termek (t_kod, t_megnevezes) values ('00010', 'Zöldség')");
    db.exec("insert into termek (t_kod, t_megnevezes) values ('00011', 'Paprika')");
    db.exec("insert into termek (t_kod, t_megnevezes) values ('00012', 'Alma')");
    TQuery* q = db.data()->ZQ40;
    products::runList(q);
    QCOMPARE(column(q, "T_MEGNEVEZES"), (QStringList{"Alma", "Búza", "Napraforgó", "Őszibarack",
                                                     "Paprika", "Tojás", "Zöldség"}));
    products::runPrintList(q);
    QCOMPARE(column(q, "T_MEGNEVEZES").mid(3, 2), (QStringList{"Őszibarack", "Paprika"}));
    products::runList(q, products::Order::Kod);
    QCOMPARE(column(q, "T_KOD"), (QStringList{"00001", "00002", "00003", "00004", "00010",
                                              "00011", "00012"}));
    products::runList(q, products::Order::Id);
    QCOMPARE(column(q, "T_MEGNEVEZES").last(), QString("Alma"));
    QCOMPARE(products::statusText(products::Order::Kod), QString("Termék lista, \"Kód\" szerint"));
    QCOMPARE(products::statusText(products::Order::Id),
             QString("Termék lista a beviteli sorrend szerint"));
    QCOMPARE(products::nextCode(&db.data()->ZCon1), QString("00013"));
}

QTEST_MAIN(TstProductUnit)
#include "tst_productunit.moc"

// The producer's check-and-save unit and list statements, without a screen.
#include "testsupport.h"

#include "applog.h"
#include "masterdata/producers.h"

#include <QFile>
#include <QTest>

using producers::Producer;

class TstProducerUnit : public QObject {
    Q_OBJECT
private slots:
    void checksInOrder();
    void lengthEdges();
    void tajOnlyWhenAsked();
    void savedValuesLandInTheirColumns();
    void changeOfRowDeletedElsewhereFails();
    void databaseTextReachesTheLog();
    void removal();
    void newCode();
    void hungarianOrder();
};

namespace {

Producer valid()
{
    Producer p;
    const std::pair<const char*, const char*> v[] = {
        {"O_KOD", "00009"},        {"O_NEV", "Teszt Elek"},     {"O_IRSZAM", "6000"},
        {"O_HELYSEGNEV", "Kecskemét"}, {"O_UTCA", "Fő"},        {"O_ADOAZON", "8414090001"},
        {"O_IGSZAM", "1234567"},   {"O_SZJA", "15"},            {"O_SZULHELY", "Szeged"},
        {"O_SZIDO", "1980.05.17"}, {"O_ANYJA", "Nagy Anna"},    {"O_NEME", "1"},
        {"O_SZULNEV", "Teszt Elek"}, {"O_FHAT", "8"},           {"O_ADOSZAM", "12345676213"},
        {"O_ERVKELT", "2030.12.31"},
    };
    for (const auto& [c, t] : v)
        p.set(c, QString::fromUtf8(t));
    return p;
}

rec::Context ctx(TestDb& db)
{
    rec::Context c;
    c.db = &db.data()->ZCon1;
    c.akod = "00001";
    return c;
}

QString logText(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QStringList names(TQuery* q)
{
    QStringList out;
    for (int r = 0; r < q->recordCount(); ++r)
        out << q->valueAt(r, q->fieldIndex("O_NEV")).toString();
    return out;
}

} // namespace

void TstProducerUnit::checksInOrder()
{
    // Everything wrong at once; each step mends the field at fault, so the next
    // check in the program's order must be the one that speaks.
    Producer p;
    p.set("O_SZJA", "0");
    p.set("O_NEME", "1");
    p.set("O_FHAT", "0");
    struct Step {
        const char* message;
        const char* field;
        const char* fixColumn;
        const char* fixValue;
    };
    const Step steps[] = {
        {"Nincs megadva a neve!", "O_NEV", "O_NEV", "Teszt Elek"},
        {"Nincs megadva az irányitószám!", "O_IRSZAM", "O_IRSZAM", "600 "},
        {"Az irányitószám kevesebb mint 4 karakter!", "O_IRSZAM", "O_IRSZAM", "6000"},
        {"Nincs megadva a helységnév!", "O_HELYSEGNEV", "O_HELYSEGNEV", "Kecskemét"},
        {"Nincs megadva az utca!", "O_UTCA", "O_UTCA", "Fő"},
        {"Nincs megadva az adóazonositó!", "O_ADOAZON", "O_ADOAZON", "841409000"},
        {"Nincs megadva az őstermelő ig.szám!", "O_IGSZAM", "O_IGSZAM", "1234"},
        {"Nincs megadva a születési hely!", "O_SZULHELY", "O_SZULHELY", "Szeged"},
        {"Nincs megadva a születési idő!", "O_SZIDO", "O_SZIDO", "1980.02.30"},
        {"Nincs megadva az anyja neve!", "O_ANYJA", "O_ANYJA", "Nagy Anna"},
        {"Nincs megadva a születési neve!", "O_SZULNEV", "O_SZULNEV", "Teszt Elek"},
        {"Nincs megadva az adószáma!", "O_ADOSZAM", "O_ADOSZAM", "1234567890"},
        {"Az őstermelő ig.szám kevésebb mint 5 karakter!", "O_IGSZAM", "O_IGSZAM", "1234567"},
        {"A születési idö dátum formátuma nem megfelelö!", "O_SZIDO", "O_SZIDO", "1980.05.17"},
        {"Az érvényesités dátum formátuma nem megfelelö!", "O_ERVKELT", "O_ERVKELT", "2030.12.31"},
        {"Nem 10 hosszú számsor", "O_ADOAZON", "O_ADOAZON", "8414090011"},
        {"Hibás adóazonositó", "O_ADOAZON", "O_ADOAZON", "8414090001"},
        {"Kevesebb mint 11 hosszú számsor", "O_ADOSZAM", "O_ADOSZAM", "12345678901"},
        {"Hibás adószám", "O_ADOSZAM", "O_ADOSZAM", "12345676213"},
    };
    for (const Step& st : steps) {
        const rec::Outcome o = producers::check(p);
        QCOMPARE(o.kind, rec::Outcome::CheckFailed);
        QCOMPARE(o.message, QString::fromUtf8(st.message));
        QCOMPARE(o.field, QString(st.field));
        p.set(st.fixColumn, QString::fromUtf8(st.fixValue));
    }
    QVERIFY(producers::check(p).ok());

    // The checks between those the sample values pass: one wrong field each,
    // in order, on an otherwise valid producer.
    const std::tuple<const char*, const char*, const char*> single[] = {
        {"O_SZJA", " ", "Nincs megadva az szja!"},
        {"O_NEME", "", "Nincs megadva a neme!"},
        {"O_FHAT", "  ", "Nincs megadva a napok száma vagy nulla!"},
        {"O_FHAT", "-1", "Hibás szám vagy nullát adjon meg!"},
        {"O_FHAT", "2147483648", "Hibás szám vagy nullát adjon meg!"},
        {"O_SZIDO", "1980.5.17x", "A születési idö dátum formátuma nem megfelelö!"},
        {"O_ERVKELT", "", "Az érvényesités dátum formátuma nem megfelelö!"},
        {"O_SZJA", "1a", "Hibás szám az szja mezőben!"},
        // A line break would start a new line in the tax authority's files.
        {"O_NEV", "Teszt\r\n24804=999999", "Nem megengedett karakter (sortörés) a mezőben!"},
        {"O_SZULHELY", "Sze\tged", "Nem megengedett karakter (tabulátor) a mezőben!"},
        {"O_UTCA", "F\x7f", "Nem megengedett karakter (törlés karakter) a mezőben!"},
    };
    for (const auto& [column, text, message] : single) {
        Producer q = valid();
        q.set(column, QString::fromUtf8(text));
        const rec::Outcome o = producers::check(q);
        QCOMPARE(o.message, QString::fromUtf8(message));
        QCOMPARE(o.field, QString(column));
    }
    Producer q = valid();
    q.set("O_FHAT", "2147483647"); // the greatest the column holds
    q.set("O_FELJEGYZ", "első sor\r\nmásodik sor"); // the notes may hold lines
    QVERIFY(producers::check(q).ok());

    // A "/" where the check digit is read: the field and the character are named.
    q = valid();
    q.set("O_ADOSZAM", "1234567/901");
    const rec::Outcome o = producers::check(q);
    QVERIFY2(o.message.startsWith("Hibás adószám Nem szám a(z) 8. karakter ('/')"),
             qPrintable(o.message));
    QCOMPARE(o.field, QString("O_ADOSZAM"));
}

void TstProducerUnit::lengthEdges()
{
    struct Case {
        const char* column;
        const char* text;
        const char* message; // nullptr: passes
    };
    const Case cases[] = {
        {"O_IGSZAM", "1234", "Az őstermelő ig.szám kevésebb mint 5 karakter!"},
        {"O_IGSZAM", "12345", nullptr},
        {"O_IGSZAM", "12345678", nullptr},
        {"O_IGSZAM", "123456789", "Az őstermelő ig.szám többmint 8 karakter!"},
        // Blanks count as typed for the card number, not for the postal code.
        {"O_IGSZAM", "1234 ", nullptr},
        {"O_IRSZAM", "600 ", "Az irányitószám kevesebb mint 4 karakter!"},
        {"O_KOZADOSZAM", "HU12345", "Közösségi adószám kevesebb mint 8 karakter!"},
        {"O_KOZADOSZAM", " HU12345 ", "Közösségi adószám kevesebb mint 8 karakter!"},
        {"O_KOZADOSZAM", "HU123456", nullptr},
        {"O_KOZADOSZAM", "   ", nullptr},
        {"O_ADOAZON", "84140900011", "Nem 10 hosszú számsor"},
        {"O_ADOSZAM", "123456762130", "Kevesebb mint 11 hosszú számsor"},
    };
    for (const Case& c : cases) {
        Producer p = valid();
        p.set(c.column, QString::fromUtf8(c.text));
        const rec::Outcome o = producers::check(p);
        if (!c.message) {
            QVERIFY2(o.ok(), qPrintable(QString("%1 '%2': %3").arg(c.column, c.text, o.message)));
        } else {
            QCOMPARE(o.message, QString::fromUtf8(c.message));
            QCOMPARE(o.field, QString(c.column));
        }
    }
}

void TstProducerUnit::tajOnlyWhenAsked()
{
    Producer p = valid();
    p.set("O_TAJ", "123456789"); // wrong check digit: not tested while the box is ticked
    QVERIFY(producers::check(p).ok());
    p.uresTaj = false;
    QCOMPARE(producers::check(p).message, QString("Hibás TAJ"));
    p.set("O_TAJ", "12345678");
    QCOMPARE(producers::check(p).message, QString("Kevesebb mint 9 hosszú számsor"));
    p.set("O_TAJ", "1234567880");
    QCOMPARE(producers::check(p).message, QString("Kevesebb mint 9 hosszú számsor"));
    p.set("O_TAJ", " ");
    QCOMPARE(producers::check(p).message, QString("Nincs megadva a TAJ!"));
    QCOMPARE(producers::check(p).field, QString("O_TAJ"));
    p.set("O_TAJ", "123456788");
    QVERIFY(producers::check(p).ok());
}

void TstProducerUnit::savedValuesLandInTheirColumns()
{
    TestDb db;
    // Every field a value of its own, so that two swapped parameters show.
    Producer p = valid();
    const std::pair<const char*, const char*> own[] = {
        {"O_KOD", "00042"},   {"O_NEV", "Név Egy"},     {"O_IRSZAM", "6001"},
        {"O_HELYSEGNEV", "Hely"}, {"O_UTCA", "Utca"},   {"O_REGSZAM", "REG1"},
        {"O_CSGAZD", "12/45678"}, {"O_SZULNEV", "Szül Név"}, {"O_SZULHELY", "Hódmezővásárhely"},
        {"O_ANYJA", "Anyja Neve"}, {"O_NEME", "2"},     {"O_BANKSZLA", "11111111-22222222"},
        {"O_MNYPTAG", "I"},   {"O_BETETLAP", "BL-7"},   {"O_KAMARA", "KAM-16"},
        {"O_FELIR", "FEL-1"}, {"O_KERULET", "II."},     {"O_JELLEG", "tér"},
        {"O_HAZSZAM", "7/A"}, {"O_EPULET", "B"},        {"O_LEPCSO", "3"},
        {"O_SZINT", "4"},     {"O_AJTO", "12"},         {"O_KOZADOSZAM", "HU12345676"},
        {"O_TAJ", "123456788"}, {"O_FELJEGYZ", "Megjegyzés"},
        {"O_SZIDO", "1970.01.31"}, {"O_ERVKELT", "2031.02.28"},
        {"O_SZJA", "16"}, {"O_FHAT", "30"},
    };
    for (const auto& [c, t] : own)
        p.set(c, QString::fromUtf8(t));
    rec::Outcome o = producers::save(ctx(db), p, producers::Mode::New);
    QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
    QVERIFY(!db.data()->ZCon1.inTransaction());
    auto stored = [&](const QString& column) {
        return db.scalar(QString("select %1 from ostermelo where o_kod = '00042'").arg(column));
    };
    for (const auto& [c, t] : own)
        QCOMPARE(stored(c), QString::fromUtf8(t));
    QCOMPARE(stored("O_ADOAZON"), QString("8414090001"));
    QCOMPARE(stored("O_ADOSZAM"), QString("12345676213"));
    QCOMPARE(stored("O_IGSZAM"), QString("1234567"));

    // A change by ID: the other producers stay as they were.
    const QString id = stored("ID_OSTERMELO");
    db.exec("insert into ostermelo (o_kod, o_nev) values ('00043', 'Másik')");
    p.set("ID_OSTERMELO", id);
    p.set("O_UTCA", "Új utca");
    p.set("O_SZIDO", "1971.03.30");
    p.set("O_FHAT", "0");
    o = producers::save(ctx(db), p, producers::Mode::Modify);
    QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
    QCOMPARE(stored("O_UTCA"), QString("Új utca"));
    QCOMPARE(stored("O_SZIDO"), QString("1971.03.30"));
    QCOMPARE(stored("O_ERVKELT"), QString("2031.02.28"));
    QCOMPARE(stored("O_FHAT"), QString("0"));
    QCOMPARE(db.scalar("select o_nev from ostermelo where o_kod = '00043'"), QString("Másik"));
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("2"));

    // A failed check writes nothing.
    p.set("O_NEV", "");
    p.set("O_UTCA", "Harmadik");
    QCOMPARE(producers::save(ctx(db), p, producers::Mode::Modify).kind, rec::Outcome::CheckFailed);
    QCOMPARE(stored("O_UTCA"), QString("Új utca"));
}

void TstProducerUnit::changeOfRowDeletedElsewhereFails()
{
    TestDb db(true);
    const QString log = db.dir() + "/vadmo7.log";
    applog::setPath(log);
    const QString id = db.scalar("select id_ostermelo from ostermelo where o_kod = '00002'");
    {
        // Another attachment (another computer) deletes the producer meanwhile.
        fb::Connection other;
        other.attach(db.file());
        other.executeImmediate("delete from ostermelo where o_kod = '00002'");
        other.commit();
        other.detach();
    }
    Producer p = valid();
    p.set("ID_OSTERMELO", id);
    p.set("O_KOD", "00002");
    const rec::Outcome o = producers::save(ctx(db), p, producers::Mode::Modify);
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba53: Módositás, Update a östermelöben "));
    QVERIFY2(o.dbText.contains("1 sor helyett 0"), qPrintable(o.dbText));
    QVERIFY(!db.data()->ZCon1.inTransaction());
    QCOMPARE(db.scalar("select count(*) from ostermelo where o_kod = '00002'"), QString("0"));
    const QString logged = logText(log);
    QVERIFY(logged.contains("Hiba53: Módositás, Update a östermelöben"));
    QVERIFY(logged.contains("1 sor helyett 0"));
    applog::setPath({});
}

void TstProducerUnit::databaseTextReachesTheLog()
{
    TestDb db(true);
    const QString log = db.dir() + "/vadmo7.log";
    applog::setPath(log);
    Producer p = valid();
    p.set("O_KOD", "1234567"); // longer than the column
    const rec::Outcome o = producers::save(ctx(db), p, producers::Mode::New);
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba52: Újban, INSERT az östermelöben "));
    QVERIFY(!o.dbText.isEmpty());
    const QString logged = logText(log);
    QVERIFY(logged.contains("Hiba52: Újban, INSERT az östermelöben"));
    QVERIFY2(logged.contains(o.dbText), qPrintable(logged));
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("3"));
    // The shared transaction is free for the next save.
    p.set("O_KOD", "00004");
    QVERIFY(producers::save(ctx(db), p, producers::Mode::New).ok());
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("4"));
    applog::setPath({});
}

void TstProducerUnit::removal()
{
    TestDb db(true);
    applog::setPath(db.dir() + "/vadmo7.log");
    auto idOf = [&](const char* kod) {
        return db.scalar(QString("select id_ostermelo from ostermelo where o_kod = '%1'").arg(kod));
    };
    // Printed tickets of any buyer lock; an unprinted one does not.
    db.exec("insert into fjfej (f_bszam, f_akod, f_ostermkod, f_prn) values "
            "('20260001', '00002', '00002', 'I')");
    db.exec("insert into fjfej (f_bszam, f_akod, f_ostermkod, f_prn) values "
            "('20260002', '00001', '00003', 'N')");
    QCOMPARE(producers::printedTickets(&db.data()->ZCon1, "00002"), qint64(1));
    QCOMPARE(producers::printedTickets(&db.data()->ZCon1, "00003"), qint64(0));
    rec::Outcome o = producers::remove(ctx(db), idOf("00002"), "00002");
    QCOMPARE(o.kind, rec::Outcome::CheckFailed);
    QCOMPARE(o.message, QString(producers::PrintedLock));
    QVERIFY(o.field.isEmpty());

    QVERIFY(producers::remove(ctx(db), idOf("00003"), "00003").ok());
    // Durable at once: a rollback of the shared transaction does not bring it back.
    db.data()->ZCon1.startTransaction();
    db.data()->ZCon1.rollback();
    QCOMPARE(db.scalar("select count(*) from ostermelo"), QString("2"));

    // Deleted by another attachment meanwhile: said, not announced as deleted.
    const QString id1 = idOf("00001");
    {
        fb::Connection other;
        other.attach(db.file());
        other.executeImmediate("delete from ostermelo where o_kod = '00001'");
        other.commit();
        other.detach();
    }
    db.exec("insert into ostermelo (o_kod, o_nev) values ('00005', 'Ötödik')");
    o = producers::remove(ctx(db), id1, "00001");
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba41: östermelö DELETE törlésekor"));

    db.exec("update fjfej set f_prn = 'N'");
    QVERIFY(producers::remove(ctx(db), idOf("00002"), "00002").ok());
    o = producers::remove(ctx(db), idOf("00005"), "00005");
    QCOMPARE(o.kind, rec::Outcome::CheckFailed);
    QCOMPARE(o.message, QString("Az utolsó őstermelősor nem törölhető ki."));
    QCOMPARE(db.scalar("select o_nev from ostermelo"), QString("Ötödik"));
    applog::setPath({});
}

void TstProducerUnit::newCode()
{
    TestDb db;
    fb::Connection* c = &db.data()->ZCon1;
    QCOMPARE(producers::nextCode(c), QString("00001")); // empty register
    db.exec("insert into ostermelo (o_kod, o_nev) values ('00012', 'A')");
    db.exec("insert into ostermelo (o_kod, o_nev) values ('00020', 'B')");
    QCOMPARE(producers::nextCode(c), QString("00021"));
    // Codes of unequal width and a code that is no number: text order would give 100.
    db.exec("insert into ostermelo (o_kod, o_nev) values ('99', 'C')");
    db.exec("insert into ostermelo (o_kod, o_nev) values ('100', 'D')");
    db.exec("insert into ostermelo (o_kod, o_nev) values ('X7', 'E')");
    QCOMPARE(producers::nextCode(c), QString("00101"));
}

void TstProducerUnit::hungarianOrder()
{
    TestDb db;
    const std::tuple<const char*, const char*, int> rows[] = {
        {"00001", "Zöld Zoltán", 5},  {"00002", "Arany Anna", 30}, {"00003", "Őri Ödön", 1},
        {"00004", "Árvai Éva", 12},   {"00005", "Bodó Béla", 7},  {"00006", "Oláh Olga", 20},
        {"00007", "Papp Pál", 3},
    };
    for (const auto& [kod, nev, szja] : rows)
        db.exec(QString("insert into ostermelo (o_kod, o_nev, o_szja) values ('%1', '%2', %3)")
                    .arg(kod, QString::fromUtf8(nev))
                    .arg(szja));
    // Accented letters go with their base letter, not after "Z".
    const QStringList hungarian = {"Arany Anna", "Árvai Éva", "Bodó Béla", "Oláh Olga",
                                   "Őri Ödön", "Papp Pál", "Zöld Zoltán"};
    TQuery* q = db.data()->ZQ30;
    producers::runList(q);
    QCOMPARE(names(q), hungarian);
    producers::runList(q, 2); // the "Név" column by number
    QCOMPARE(names(q), hungarian);
    producers::runPrintList(q);
    QCOMPARE(names(q), hungarian);
    // A number column sorts by value.
    producers::runList(q, 21);
    QCOMPARE(names(q), (QStringList{"Őri Ödön", "Papp Pál", "Zöld Zoltán", "Bodó Béla",
                                    "Árvai Éva", "Oláh Olga", "Arany Anna"}));
    QCOMPARE(q->fieldNames().mid(0, 2), (QStringList{"O_KOD", "O_NEV"}));
}

QTEST_MAIN(TstProducerUnit)
#include "tst_producerunit.moc"

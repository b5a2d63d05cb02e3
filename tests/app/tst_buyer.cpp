// Choosing the current buyer and editing the buyer's profile.
#include "testsupport.h"

#include "Unit1.h"
#include "Unit17.h"
#include "Unit18.h"
#include "Unit44.h"
#include "applog.h"
#include "buyer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

class TstBuyer : public QObject {
    Q_OBJECT
private slots:
    void lastRowPreselectedAndCancelApplies();
    void closeBoxSetsBuyerButNotMenus();
    void pickAnotherBuyer();
    void enterInTheSelectionChooses();
    void profileTicketLockAndUnlock();
    void profileFailedCheckFocusesField();
    void soleTraderBlanksAndRefresh();
    void profileOpensOnFirstFieldAndTabFollowsLayout();
    void unitChecksInOrder();
    void unitSavesEachFieldOfTheCurrentBuyerOnly();
    void unitMissingBuyerIsAFailureAndLogged();
    void firstStartSetup();
};

static void addBuyers(TestDb& db)
{
    db.exec("insert into atvevo (v_neve, v_akod, v_verzio, v_nyilatk) values "
            "('Második Mezőgazdasági Szövetkezet és Társai', '00002', 'Lapos', 'Nyilatkozat 2')");
}

void TstBuyer::lastRowPreselectedAndCancelApplies()
{
    UiScope s;
    TestDb db;
    addBuyers(db);
    TForm1 main;
    QVERIFY(main.formCreate(false));
    main.show();
    TForm18 f(&main);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(f.list()->count(), 2);
    QCOMPARE(f.list()->currentIndex(), 1);
    QCOMPARE(G.akod, QString("00002")); // set on show already
    QVERIFY(!main.workMenusEnabled());
    // "Mégsem" at once: leaving the list applies the last buyer.
    auto* cancel = f.findChild<QPushButton*>("Button2");
    f.list()->setFocus();
    cancel->setFocus(Qt::MouseFocusReason);
    cancel->click();
    QCOMPARE(G.akod, QString("00002"));
    QCOMPARE(G.verzioBetu, QString("L"));
    QCOMPARE(G.nyilatk, QString("Nyilatkozat 2"));
    QCOMPARE(G.tipus, QString("1"));
    QCOMPARE(G.ervTipus, QString("4"));
    QVERIFY(main.workMenusEnabled());
    QString want = "Felvásárlási jegy - Második Mezőgazdasági Szö Verzió: 20.03 2006-2020";
    QCOMPARE(main.windowTitle(), want);
    QCOMPARE(f.windowTitle(), want);
    main.close();
}

void TstBuyer::closeBoxSetsBuyerButNotMenus()
{
    UiScope s;
    TestDb db;
    addBuyers(db);
    TForm1 main;
    QVERIFY(main.formCreate(false));
    main.show();
    QString caption = main.windowTitle();
    TForm18 f(&main);
    f.show();
    f.close();
    QCOMPARE(G.akod, QString("00002"));
    QVERIFY(!main.workMenusEnabled());
    QCOMPARE(main.windowTitle(), caption);
    main.close();
}

void TstBuyer::pickAnotherBuyer()
{
    UiScope s;
    TestDb db;
    addBuyers(db);
    db.exec("update atvevo set v_verzio = '' where v_akod = '00001'");
    TForm1 main;
    QVERIFY(main.formCreate(false));
    TForm18 f(&main);
    f.show();
    f.list()->setCurrentIndex(0);
    emit f.list()->activated(0);
    QCOMPARE(G.akod, QString("00001"));
    QCOMPARE(G.verzioBetu, QString());
    QCOMPARE(main.windowTitle(), QString("Felvásárlási jegy - Minta Felvásárló Kft. Verzió: 20.03 2006-2020"));
    main.close();
}

void TstBuyer::profileTicketLockAndUnlock()
{
    UiScope s;
    TestDb db;
    db.selectBuyer();
    {
        TForm17 f;
        QVERIFY(f.load());
        f.show();
        QVERIFY(f.letarol()->isEnabled());
        QVERIFY(s.ui.log.isEmpty());
        QCOMPARE(f.field("V_NEVE")->text(), QString("Minta Felvásárló Kft."));
        // Before the first ticket the identity can be corrected, with the tax number's checks.
        for (const char* c : {"V_NEVE", "V_IRSZAM", "V_HELYSEG", "V_ADOSZAM"})
            QVERIFY(!f.field(c)->isReadOnly());
        f.field("V_NEVE")->setText("Kiss Gazda Bt.");
        f.field("V_ADOSZAM")->setText("12345670-2-03");
        f.letarol()->click();
        QCOMPARE(s.ui.log, QStringList{"msg:Hibás adószám"});
        QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.field("V_ADOSZAM")));
        QCOMPARE(db.scalar("select v_neve from atvevo"), QString("Minta Felvásárló Kft."));
        f.field("V_ADOSZAM")->setText("12345676-2-03");
        s.ui.clear();
        f.letarol()->click();
        QVERIFY(s.ui.log.isEmpty());
        QCOMPARE(db.scalar("select v_neve || '|' || v_adoszam from atvevo"),
                 QString("Kiss Gazda Bt.|12345676203"));
    }
    db.exec("insert into fjfej (f_bszam, f_akod) values ('20260001', '00001')");
    TForm17 f;
    QVERIFY(f.load());
    f.show();
    QVERIFY(!f.letarol()->isEnabled());
    QCOMPARE(s.ui.log, QStringList{"msg:Már készült felvásárlási jegy! Nem módositható."});
    f.ev()->setChecked(true);
    QTest::keyClicks(f.field("V_UTCA"), "x");
    QVERIFY(!f.letarol()->isEnabled());
    // The service letter, pressed on "Mégsem", unlocks.
    QTest::keyClick(f.megsem(), Qt::Key_A);
    QVERIFY(!f.letarol()->isEnabled());
    QTest::keyClick(f.megsem(), Qt::Key_X);
    QVERIFY(f.letarol()->isEnabled());
    // The unlock is for the address and the rest: what the tickets printed stays.
    QVERIFY(f.field("V_NEVE")->isReadOnly());
    QVERIFY(f.field("V_ADOSZAM")->isReadOnly());
}

void TstBuyer::profileFailedCheckFocusesField()
{
    UiScope s;
    TestDb db;
    db.selectBuyer();
    TForm17 f;
    QVERIFY(f.load());
    f.show();
    f.ev()->setChecked(true);
    f.field("V_KOZADOSZAM")->setText("HU12345676");
    f.field("V_EVNYILV")->setText("ES-123");
    f.field("V_EV_NEVE")->setText("Minta Péter");
    f.letarol()->click();
    QCOMPARE(s.ui.log, QStringList{"msg:Nincs megadva az egyéni váll.adóazonositó száma!"});
    QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.field("V_ADOAZON")));
    QVERIFY(f.isVisible());
    QCOMPARE(db.scalar("select v_kozadoszam from atvevo"), QString());
    f.field("V_ADOAZON")->setText("8414090001");
    s.ui.clear();
    f.letarol()->click();
    QVERIFY(s.ui.log.isEmpty());
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(db.scalar("select v_ev || '|' || v_ev_neve || '|' || v_kozadoszam from atvevo"),
             QString("true|Minta Péter|HU12345676"));
}

void TstBuyer::soleTraderBlanksAndRefresh()
{
    UiScope s;
    TestDb db;
    db.selectBuyer();
    db.exec("update atvevo set v_ev = 'true', v_adoazon = '8414090001', v_evnyilv = 'E1', "
            "v_ev_neve = 'Valaki'");
    TForm17 f;
    QVERIFY(f.load());
    f.show();
    QVERIFY(f.ev()->isChecked());
    f.ev()->setChecked(false);
    f.kisado()->setChecked(true);
    f.field("V_VERZIO")->setText("2. kiadás");
    f.nyilatk()->setPlainText("Új nyilatkozat");
    QVERIFY(f.save());
    QCOMPARE(db.scalar("select '[' || v_adoazon || '][' || v_evnyilv || '][' || v_ev_neve || ']' "
                       "from atvevo"),
             QString("[ ][ ][ ]"));
    QCOMPARE(db.scalar("select '[' || v_ev || ']' from atvevo"), QString("[ ]"));
    QCOMPARE(db.scalar("select v_kisado from atvevo"), QString("true"));
    QCOMPARE(G.verzioBetu, QString("2"));
    QCOMPARE(G.nyilatk, QString("Új nyilatkozat"));
}

void TstBuyer::enterInTheSelectionChooses()
{
    UiScope s;
    TestDb db;
    addBuyers(db);
    TForm1 main;
    QVERIFY(main.formCreate(false));
    main.show();
    TForm18 f(&main);
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QVERIFY(f.list()->hasFocus());
    // The list stands on the first buyer, nothing applied yet; Enter chooses
    // it, as "Kiválaszt" does.
    f.list()->setCurrentIndex(0);
    QCOMPARE(G.akod, QString("00002"));
    QTest::keyClick(f.list(), Qt::Key_Return);
    QVERIFY(!f.isVisible());
    QCOMPARE(f.result(), int(QDialog::Accepted));
    QCOMPARE(G.akod, QString("00001"));
    QVERIFY(main.workMenusEnabled());
    QCOMPARE(main.windowTitle(),
             QString("Felvásárlási jegy - Minta Felvásárló Kft. Verzió: 20.03 2006-2020"));
    main.close();
}

void TstBuyer::profileOpensOnFirstFieldAndTabFollowsLayout()
{
    UiScope s;
    TestDb db;
    db.selectBuyer();
    TForm17 f;
    QVERIFY(f.load());
    f.show();
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.field("V_NEVE")));
    // Read-only fields look read-only and are passed over.
    QVERIFY(f.field("V_AKOD")->palette().color(QPalette::Base) !=
            f.field("V_UTCA")->palette().color(QPalette::Base));
    QStringList order;
    for (int i = 0; i < 28; ++i) {
        order << QApplication::focusWidget()->objectName();
        if (order.last() == "Button2")
            break;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    const QStringList want = {
        "ed_V_NEVE", "ed_V_IRSZAM", "ed_V_HELYSEG", "ed_V_ADOSZAM", "ed_V_KERULET", "ed_V_UTCA", "ed_V_JELLEG", "ed_V_HAZSZAM", "ed_V_EPULET",
        "ed_V_LEPCSO", "ed_V_SZINT", "ed_V_AJTO", "ed_V_KOZADOSZAM", "ed_V_BANKSZLA",
        "ed_V_VERZIO", "CheckBox2", "CheckBox1", "ed_V_EV_NEVE", "ed_V_ADOAZON", "ed_V_EVNYILV",
        "ed_V_NYILATK", "Button1", "Button2"};
    QCOMPARE(order, want);
}

namespace {
rec::Context buyerContext(TestDb& db, const QString& akod = "00001")
{
    rec::Context c;
    c.db = &db.data()->ZCon1;
    c.akod = akod;
    return c;
}
} // namespace

void TstBuyer::unitChecksInOrder()
{
    buyer::Buyer b;
    b.ev = true;
    b.set("V_KOZADOSZAM", " HU1234 ");
    const std::tuple<const char*, const char*, const char*> steps[] = {
        {"V_KOZADOSZAM", "Közösségi adószám kevesebb mint 8 karakter!", "HU123456"},
        {"V_ADOAZON", "Nincs megadva az egyéni váll.adóazonositó száma!", "8414090001"},
        {"V_EVNYILV", "Nincs megadva az egyéni váll.nyilvántart.száma!", "ES-1"},
        {"V_EV_NEVE", "Nincs megadva az egyéni váll. neve!", "Minta Péter"},
    };
    for (const auto& [column, message, fix] : steps) {
        const rec::Outcome o = buyer::check(b);
        QCOMPARE(o.kind, rec::Outcome::CheckFailed);
        QCOMPARE(o.message, QString::fromUtf8(message));
        QCOMPARE(o.field, QString(column));
        b.set(column, QString::fromUtf8(fix));
        if (QString(column) == "V_EVNYILV")
            b.set("V_EV_NEVE", "   "); // blanks only count as empty
    }
    QVERIFY(buyer::check(b).ok());
    QCOMPARE(b.get("V_ADOAZON"), QString("8414090001"));
    // Not a sole trader: the three fields become a single blank, whatever they held.
    b.ev = false;
    b.set("V_KOZADOSZAM", "");
    QVERIFY(buyer::check(b).ok());
    for (const char* c : {"V_ADOAZON", "V_EVNYILV", "V_EV_NEVE"})
        QCOMPARE(b.get(c), QString(" "));
    b.set("V_KOZADOSZAM", "HU12345");
    QCOMPARE(buyer::check(b).field, QString("V_KOZADOSZAM"));
}

void TstBuyer::unitSavesEachFieldOfTheCurrentBuyerOnly()
{
    TestDb db;
    addBuyers(db);
    std::optional<buyer::Buyer> b = buyer::read(&db.data()->ZCon1, "00001");
    QVERIFY(b);
    QCOMPARE(b->get("V_NEVE"), QString("Minta Felvásárló Kft."));
    QVERIFY(!buyer::read(&db.data()->ZCon1, "00099"));
    const std::pair<const char*, const char*> own[] = {
        {"V_UTCA", "Utca 1"},      {"V_BANKSZLA", "12345678-87654321"}, {"V_ADOAZON", "8414090001"},
        {"V_NYILATK", "Nyilatkozat egy"}, {"V_VERZIO", "Verzió B"}, {"V_EVNYILV", "ES-9"},
        {"V_KERULET", "II."},      {"V_JELLEG", "körút"},   {"V_HAZSZAM", "3/B"},
        {"V_EPULET", "C"},         {"V_LEPCSO", "2"},       {"V_SZINT", "5"},
        {"V_AJTO", "14"},          {"V_KOZADOSZAM", "HU12345676"}, {"V_EV_NEVE", "Egyéni Elek"},
    };
    for (const auto& [c, t] : own)
        b->set(c, QString::fromUtf8(t));
    b->ev = true;
    b->kisado = false;
    b->set("V_NEVE", "Más név"); // not editable here: not written
    const rec::Outcome o = buyer::save(buyerContext(db), *b);
    QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
    QVERIFY(!db.data()->ZCon1.inTransaction());
    for (const auto& [c, t] : own)
        QCOMPARE(db.scalar(QString("select %1 from atvevo where v_akod = '00001'").arg(c)),
                 QString::fromUtf8(t));
    QCOMPARE(db.scalar("select v_ev || '|' || v_kisado || '|' || v_neve from atvevo "
                       "where v_akod = '00001'"),
             QString("true| |Minta Felvásárló Kft."));
    QCOMPARE(db.scalar("select v_utca || v_nyilatk from atvevo where v_akod = '00002'"), QString());
    QCOMPARE(buyer::read(&db.data()->ZCon1, "00001")->ev, true);

    QCOMPARE(buyer::ticketCount(&db.data()->ZCon1, "00001"), qint64(0));
    db.exec("insert into fjfej (f_bszam, f_akod) values ('20260001', '00002')");
    db.exec("insert into fjfej (f_bszam, f_akod) values ('20260002', '00002')");
    QCOMPARE(buyer::ticketCount(&db.data()->ZCon1, "00001"), qint64(0));
    QCOMPARE(buyer::ticketCount(&db.data()->ZCon1, "00002"), qint64(2));
}

void TstBuyer::unitMissingBuyerIsAFailureAndLogged()
{
    TestDb db;
    const QString log = db.dir() + "/vadmo7.log";
    applog::setPath(log);
    buyer::Buyer b;
    {
        // The buyer's row removed by another attachment meanwhile.
        fb::Connection other;
        other.attach(db.file());
        other.executeImmediate("update atvevo set v_akod = '00077'");
        other.commit();
        other.detach();
    }
    const rec::Outcome o = buyer::save(buyerContext(db), b);
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba170: UPDATE atvevo "));
    QVERIFY2(o.dbText.contains("1 sor helyett 0"), qPrintable(o.dbText));
    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(f.readAll());
    QVERIFY(logged.contains("Hiba170: UPDATE atvevo"));
    QVERIFY(logged.contains("1 sor helyett 0"));
    applog::setPath({});
}

QTEST_MAIN(TstBuyer)
void TstBuyer::firstStartSetup()
{
    {
        TestDb tryOut(true); // the register ./run.sh makes to try the program
        QVERIFY(!buyer::needsSetup(&tryOut.data()->ZCon1));
    }
    {
        // A register without any buyer gets its first one.
        TestDb empty;
        fb::Connection* con = &empty.data()->ZCon1;
        empty.exec("delete from atvevo");
        QVERIFY(buyer::needsSetup(con));
        buyer::Setup first{"Első Kft.", "00001", "1011", "Budapest", "Fő", "utca", "1", "12345676203",
                           "20000000"};
        QVERIFY(buyer::saveSetup(con, first).ok());
        QCOMPARE(empty.scalar("select v_neve || '|' || v_nyilatk from atvevo"),
                 QString("Első Kft.|Alulírott őstermelő kijelentem, hogy a fenti termékeket saját "
                         "gazdaságomban állítottam elő."));
        // Done once: a second save is refused, nothing changes.
        const rec::Outcome again = buyer::saveSetup(con, first);
        QVERIFY(!again.ok());
        QCOMPARE(empty.scalar("select count(*) from atvevo"), QString("1"));
    }
    UiScope s;
    TestDb db;
    fb::Connection* con = &db.data()->ZCon1;
    QVERIFY(buyer::needsSetup(con));
    auto fill = [](TForm44* f, const QString& adoszam, const QString& sorszam) {
        const QHash<QString, QString> typed = {
            {"V_NEVE", "Kiss Gazda Bt."}, {"V_AKOD", "KG1"},   {"V_IRSZAM", "6000"},
            {"V_HELYSEG", "Kecskemét"},   {"V_UTCA", "Liszt"}, {"V_JELLEG", "utca"},
            {"V_HAZSZAM", "4"},           {"V_ADOSZAM", adoszam}, {"A_FJBSZAM", sorszam}};
        for (auto it = typed.begin(); it != typed.end(); ++it)
            f->field(it.key())->setText(it.value());
    };
    // The window's first start runs the setup, then the buyer selection.
    auto runSetup = [&](TForm44* f) {
        f->show();
        if (f->focusWidget() != f->field("V_NEVE"))
            return -4;
        // Enter walks the fields in screen order.
        QTest::keyClick(f->field("V_NEVE"), Qt::Key_Return);
        if (f->focusWidget() != f->field("V_AKOD"))
            return -5;
        // Refusals leave the register as it was and focus the field at fault.
        const struct { const char* adoszam; const char* sorszam; const char* msg; const char* at; } bad[] = {
            {"12345670203", "20260000", "Hibás adószám", "ed_V_ADOSZAM"},
            {"1234567620", "20260000", "Nem 11 vagy 13 hosszú számsor", "ed_V_ADOSZAM"},
            {"12345676-2-03", "02600000", "Nullável nem kezdödhet!", "ed_A_FJBSZAM"},
        };
        for (const auto& b : bad) {
            fill(f, b.adoszam, b.sorszam);
            s.ui.clear();
            f->letarol()->click();
            if (s.ui.log != QStringList{QString("msg:") + QString::fromUtf8(b.msg)})
                return -1;
            if (f->focusWidget()->objectName() != b.at)
                return -2;
        }
        if (db.scalar("select v_neve from atvevo") != buyer::sampleName())
            return -3;
        fill(f, "12345676-2-03", "20260000");
        s.ui.clear();
        f->letarol()->click();
        return f->result();
    };
    int setupResult = 0;
    s.ui.onModal = [&](QDialog* d) {
        if (auto* f = qobject_cast<TForm44*>(d))
            return setupResult = runSetup(f);
        return int(QDialog::Rejected);
    };
    TForm1 main;
    QVERIFY(main.formCreate(false));
    main.show();
    QTRY_VERIFY(setupResult != 0);
    QCOMPARE(setupResult, int(QDialog::Accepted));
    // (The refusals above cleared the record of the setup itself.)
    QCOMPARE(s.ui.modalNames, QStringList{"Form18"});
    QCOMPARE(db.scalar("select count(*) from atvevo"), QString("1"));
    QCOMPARE(db.scalar("select v_neve || '|' || v_akod || '|' || v_adoszam || '|' || v_irszam "
                       "|| '|' || v_helyseg || '|' || v_utca || ' ' || v_jelleg || ' ' || v_hazszam "
                       "from atvevo"),
             QString("Kiss Gazda Bt.|KG1|12345676203|6000|Kecskemét|Liszt utca 4"));
    QCOMPARE(db.scalar("select a_akod || '|' || a_fjbszam from sorszam"), QString("KG1|20260000"));
    QVERIFY(!buyer::needsSetup(con));
    main.close();

}

#include "tst_buyer.moc"

// Choosing the current buyer and editing the buyer's profile.
#include "testsupport.h"

#include "Unit1.h"
#include "Unit17.h"
#include "Unit18.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
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
    void profileTicketLockAndUnlock();
    void profileValidationsInOrder();
    void soleTraderBlanksAndRefresh();
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
        QVERIFY(f.field("V_NEVE")->isReadOnly());
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
}

void TstBuyer::profileValidationsInOrder()
{
    UiScope s;
    TestDb db;
    db.selectBuyer();
    TForm17 f;
    QVERIFY(f.load());
    f.show();
    f.field("V_KOZADOSZAM")->setText(" HU1234 ");
    f.ev()->setChecked(true);
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log.last(), QString("msg:Közösségi adószám kevesebb mint 8 karakter!"));
    f.field("V_KOZADOSZAM")->setText("HU12345676");
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log.last(), QString("msg:Nincs megadva az egyéni váll.adóazonositó száma!"));
    f.field("V_ADOAZON")->setText("8414090001");
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log.last(), QString("msg:Nincs megadva az egyéni váll.nyilvántart.száma!"));
    f.field("V_EVNYILV")->setText("ES-123");
    f.field("V_EV_NEVE")->setText("   ");
    QVERIFY(!f.save());
    QCOMPARE(s.ui.log.last(), QString("msg:Nincs megadva az egyéni váll. neve!"));
    QCOMPARE(db.scalar("select v_kozadoszam from atvevo"), QString());
    f.field("V_EV_NEVE")->setText("Minta Péter");
    QVERIFY(f.save());
    QCOMPARE(db.scalar("select v_ev from atvevo"), QString("true"));
    QCOMPARE(db.scalar("select v_ev_neve from atvevo"), QString("Minta Péter"));
    QCOMPARE(db.scalar("select v_kozadoszam from atvevo"), QString("HU12345676"));
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

QTEST_MAIN(TstBuyer)
#include "tst_buyer.moc"

// The ticket list and the year opening: sort, search, the modification locks,
// the tabs, the counter refusals and the counter's first setting.
#include "ticketfixture.h"

#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "tickets/Unit38.h"
#include "tickets/Unit8.h"
#include "tickets/Unit9.h"
#include "values.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

class TstTicketList : public QObject {
    Q_OBJECT
private slots:
    void sortLabelsAndOrders();
    void searchPositions();
    void modifyRefusals();
    void tabsKeepTheTicketOfTheSwitch();
    void yearOpening();
    void missingCounterRefusesNewAndVoiding();
    void longListReadAsTheGridScrolls();
    void refusedSaveKeepsTheStoredTicket();
};

namespace {

TicketSpec ticket(const QString& bszam, const QString& kod = "00001", const QString& kelt = "2026.03.10")
{
    TicketSpec t;
    t.bszam = bszam;
    t.ostermkod = kod;
    t.kelt = kelt;
    return t;
}

void threeTickets(TestDb& db)
{
    TicketSpec a = ticket("20260003", "00002", "2026.01.05");
    a.prn = "I";
    TicketSpec b = ticket("20260001", "00003", "2026.03.01");
    TicketSpec c = ticket("20260012", "00001", "2026.02.01");
    c.prn = " ";
    for (const TicketSpec& t : {a, b, c})
        addTicket(db, t);
    addLine(db, "20260001", "Búza", 10, 60, 12);
    addLine(db, "20260001", "Tojás", 5, 45, 7);
    addLine(db, "20260003", "Napraforgó", 7, 140, 12);
}

QStringList column(const char* field)
{
    QStringList out;
    TQuery* q = Data->ZQ10;
    for (int r = 0; r < q->recordCount(); ++r)
        out << val::asText(q->valueAt(r, q->fieldIndex(field))).trimmed();
    return out;
}

} // namespace

void TstTicketList::sortLabelsAndOrders()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    threeTickets(db);
    G.aktBszam = "20260003";
    TForm8 f;
    f.show();
    QCOMPARE(f.orderLabel()->text(), QString("A lista, \"Bszám\" szerint"));
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), QString("20260003"));
    QCOMPARE(f.panelText("F_OSTERMKOD"), QString("00002"));
    QCOMPARE(Data->ZQ10->asString("O_NEV"), QString("Szőke Ödön")); // producer beside it
    struct Case {
        int column;
        const char* label;
        const char* field;
        QStringList order;
    };
    const Case cases[] = {
        // Names in Hungarian order: "Árvai" with the A's, before "Kovács" and "Szőke".
        {2, "Felvásárlási jegy lista, név szerint", "F_BSZAM", {"20260001", "20260012", "20260003"}},
        {3, "Felvásárlási jegy lista, dátum szerint", "F_BSZAM", {"20260003", "20260012", "20260001"}},
        {1, "Felvásárlási jegy lista, \"Őstermelőkód\" szerint", "F_OSTERMKOD", {"00001", "00002", "00003"}},
        {0, "Felvásárlási jegy lista, \"Bizonylatszám\" szerint", "F_BSZAM", {"20260001", "20260003", "20260012"}},
    };
    for (const Case& c : cases) {
        f.sortByColumn(c.column);
        QCOMPARE(f.orderLabel()->text(), QString(c.label));
        QCOMPARE(column(c.field), c.order);
        QCOMPARE(Data->ZQ10->recNo(), 0); // stands on the first row
    }
    // "Print": the unprinted (NULL, " ") apart from the printed.
    f.sortByColumn(4);
    QCOMPARE(f.orderLabel()->text(), QString("Felvásárlási jegy lista, volt-e nyomtatva szerint"));
    QCOMPARE(column("F_PRN").last(), QString("I"));
    // "Megjegyzés" and "Irszám" do nothing.
    const QStringList was = column("F_BSZAM");
    Data->ZQ10->moveTo(1);
    f.sortByColumn(5);
    f.sortByColumn(6);
    QCOMPARE(column("F_BSZAM"), was);
    QCOMPARE(Data->ZQ10->recNo(), 1);
    QCOMPARE(f.orderLabel()->text(), QString("Felvásárlási jegy lista, volt-e nyomtatva szerint"));
}

void TstTicketList::searchPositions()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    threeTickets(db);
    TForm8 f;
    f.show();
    f.sortByColumn(2); // by name: typing goes back to number order
    QTest::keyClicks(f.kereso(), "2026001");
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), QString("20260012"));
    QCOMPARE(f.orderLabel()->text(), QString("Felvásárlási jegy lista, \"Bizonylatszám\" szerint"));
    QCOMPARE(column("F_BSZAM"), (QStringList{"20260001", "20260003", "20260012"}));
    QTest::keyClick(f.kereso(), Qt::Key_Backspace);
    QTest::keyClicks(f.kereso(), "03");
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), QString("20260003"));
    // No match leaves the list where it stood; "Keres" re-reads and finds new rows.
    f.kereso()->clear();
    QTest::keyClicks(f.kereso(), "3");
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), QString("20260003"));
    addTicket(db, ticket("20260039"));
    f.kereso()->setText("2026003");
    f.button("Button7")->click();
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), QString("20260039"));
}

void TstTicketList::modifyRefusals()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TicketSpec printedVoided = ticket("20260001");
    printedVoided.prn = "I";
    printedVoided.ervenyt = "20260002";
    TicketSpec voidingDoc = ticket("20260002");
    voidingDoc.tipus = "4";
    voidingDoc.ervenyt = "20260001";
    TicketSpec untyped = ticket("20260003");
    untyped.tipus = "";
    TicketSpec plain = ticket("20260004");
    for (const TicketSpec& t : {printedVoided, voidingDoc, untyped, plain})
        addTicket(db, t);
    addLine(db, "20260004", "Búza", 10, 60, 12);
    TForm8 f;
    f.show();
    const QString printed = "confirm:A felvásárlási jegy már nyomtatva volt!";
    const QString voided = "confirm:Az érvénytelenített felvásárlási jegy nem módosítható!";
    const QString want[] = {printed, voided, voided};
    for (int i = 0; i < 3; ++i) {
        s.ui.clear();
        Data->ZQ10->moveTo(i);
        f.button("Button2")->click();
        QCOMPARE(s.ui.log, QStringList{want[i]});
        QVERIFY(s.ui.modalNames.isEmpty());
    }
    // The print test reads the database, not the list row.
    db.exec("update fjfej set f_prn = 'I' where f_bszam = '20260004'");
    s.ui.clear();
    Data->ZQ10->moveTo(3);
    f.button("Button2")->click();
    QCOMPARE(s.ui.log, QStringList{printed});
    db.exec("update fjfej set f_prn = ' ' where f_bszam = '20260004'");
    // An unprinted ordinary ticket opens, loaded, in modification mode.
    s.ui.clear();
    G.aktBszam = "20260004";
    f.frissit("x");
    QString caption;
    s.ui.onModal = [&](QDialog* d) {
        caption = d->windowTitle();
        return 0;
    };
    f.button("Button2")->click();
    QCOMPARE(s.ui.modalNames.size(), 1);
    QCOMPARE(caption, TForm9::modeText(TForm9::Mode::Modify));
    // The service letter opens a printed ticket without the checks.
    s.ui.clear();
    Data->ZQ10->first();
    QTest::keyClick(f.button("Button2"), Qt::Key_X);
    QCOMPARE(s.ui.modalNames.size(), 1);
    QVERIFY(s.ui.log.isEmpty() || !s.ui.log.contains(printed));
}

void TstTicketList::tabsKeepTheTicketOfTheSwitch()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    threeTickets(db);
    G.aktBszam = "20260001";
    TForm8 f;
    f.show();
    f.tabs()->setCurrentIndex(1);
    QCOMPARE(Data->ZQ20->recordCount(), 2);
    QCOMPARE(Data->ZQ20->asString("S_BSZAM"), QString("20260001"));
    Data->ZQ10->moveTo(1); // 20260003 while the lines tab shows
    QCOMPARE(Data->ZQ20->asString("S_BSZAM"), QString("20260001"));
    f.tabs()->setCurrentIndex(2);
    QCOMPARE(f.producerText("O_NEV"), QString("Szőke Ödön"));
    QCOMPARE(f.producerText("CIM"), QString("6720 Szeged Kossuth Lajos"));
    f.tabs()->setCurrentIndex(1);
    QCOMPARE(Data->ZQ20->recordCount(), 1);
    QCOMPARE(Data->ZQ20->asString("S_MEGNEVEZES"), QString("Napraforgó"));
}

void TstTicketList::yearOpening()
{
    UiScope s;
    TestDb db;
    db.selectBuyer();
    {
        TForm38 f;
        f.show();
        QVERIFY(!f.locked());
        QVERIFY(f.jelenlegi()->text().isEmpty());
        const QStringList cases[] = {
            {"   ", "Nincs megadva sorszám!"},
            {"2020000", "Nem 8 hosszú a számsor!"},
            {"202000000", "Nem 8 hosszú a számsor!"},
            {"02020000", "Nullável nem kezdödhet!"},
        };
        for (const QStringList& c : cases) {
            s.ui.clear();
            f.uj()->setText(c[0]);
            QVERIFY(!f.storeClick());
            QCOMPARE(s.ui.log, QStringList{"msg:" + c[1]});
        }
        QCOMPARE(db.scalar("select count(*) from sorszam"), QString("0"));
        f.uj()->setText("20200000");
        QVERIFY(f.storeClick());
    }
    // Committed at once: a rollback of the shared transaction keeps it.
    Data->ZCon1.startTransaction();
    Data->ZCon1.rollback();
    QCOMPARE(db.scalar("select count(*) || '/' || max(a_fjbszam) from sorszam where a_akod = '00001'"),
             QString("1/20200000"));
    {
        TForm38 f;
        f.show();
        QCOMPARE(f.jelenlegi()->text(), QString("20200000"));
        // By keyboard: Enter in the field stores nothing, Enter on "Letárol" stores.
        f.uj()->setText("20210000");
        QTest::keyClick(f.uj(), Qt::Key_Return);
        QCOMPARE(db.scalar("select a_fjbszam from sorszam"), QString("20200000"));
        f.letarol()->setFocus();
        QTest::keyClick(f.letarol(), Qt::Key_Return);
        QCOMPARE(f.result(), int(QDialog::Accepted));
        QCOMPARE(db.scalar("select count(*) || '/' || max(a_fjbszam) from sorszam"),
                 QString("1/20210000"));
    }
    // One ticket locks it.
    addTicket(db, ticket("20210001"));
    s.ui.clear();
    TForm38 f;
    f.show();
    QVERIFY(f.locked());
    QVERIFY(!f.letarol()->isVisible());
    QVERIFY(!f.uj()->isVisible());
    QCOMPARE(s.ui.log, QStringList{"msg:Már készült felvásárlási jegy! Nem módositható."});
    QVERIFY(!f.storeClick());
    QCOMPARE(db.scalar("select a_fjbszam from sorszam"), QString("20210000"));
}

void TstTicketList::missingCounterRefusesNewAndVoiding()
{
    UiScope s;
    TestDb db;
    db.selectBuyer();
    TicketSpec t = ticket("20260001");
    t.prn = "I";
    addTicket(db, t);
    TForm8 f;
    f.show();
    for (const char* counter : {(const char*)nullptr, "2026x001", "99999999"}) {
        db.exec("delete from sorszam");
        if (counter)
            db.exec(QString("insert into sorszam (a_fjbszam, a_akod) values ('%1', '00001')").arg(counter));
        for (const char* b : {"Button1", "Button5"}) {
            s.ui.clear();
            f.button(b)->click();
            QCOMPARE(s.ui.log.size(), 1);
            QVERIFY2(s.ui.log[0].startsWith("msg:") && s.ui.log[0].contains("Évnyitás"),
                     qPrintable(s.ui.log[0]));
            QVERIFY(s.ui.modalNames.isEmpty());
        }
    }
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("1"));
    // With a counter both open.
    db.exec("update sorszam set a_fjbszam = '20260100'");
    s.ui.clear();
    f.button("Button1")->click();
    f.button("Button5")->click();
    QCOMPARE(s.ui.modalNames.size(), 2);
}

// A list longer than a window: the screen opens on the current ticket with
// the tickets before it at hand, Ctrl+Home/End reach the ends, page keys read
// on, and a search keystroke looks the number up.
void TstTicketList::longListReadAsTheGridScrolls()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.data()->ZCon1.executeImmediate(
        "EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < 1200) DO BEGIN "
        "INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_tipus) VALUES "
        "(CAST(10000001 + :i AS VARCHAR(8)), '00001', '00002', '1'); i = i + 1; END END");
    db.data()->ZCon1.commit();
    G.aktBszam = "10001100";
    TForm8 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    TQuery* q = Data->ZQ10;
    DBGrid* g = f.grid();
    QCOMPARE(f.panelText("F_BSZAM"), QString("10001100"));
    QCOMPARE(g->currentIndex().row(), q->recNo());
    QVERIFY(q->rowsHeld() < 1200);
    g->setFocus();
    QTest::keyClick(g, Qt::Key_Up);
    QCOMPARE(f.panelText("F_BSZAM"), QString("10001099"));
    QTest::keyClick(g, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(f.panelText("F_BSZAM"), QString("10000001"));
    // Page by page to the end: every ticket passes, the window stays bounded.
    int pages = 0;
    while (q->canFetchMore() || q->recNo() < q->rowsHeld() - 1) {
        QTest::keyClick(g, Qt::Key_PageDown);
        QVERIFY(q->rowsHeld() <= 11 * TQuery::PageRows);
        QVERIFY(++pages < 1200);
    }
    QCOMPARE(f.panelText("F_BSZAM"), QString("10001200"));
    QVERIFY(!f.findChild<QToolButton*>("navLast")->isEnabled());
    QTest::keyClick(g, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(g, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(f.panelText("F_BSZAM"), QString("10001200"));
    // Up from the end reads the pages before.
    for (int i = 0; i < 3 * TQuery::PageRows; ++i)
        QTest::keyClick(g, Qt::Key_Up);
    QCOMPARE(f.panelText("F_BSZAM"), QString::number(10001200 - 3 * TQuery::PageRows));
    // A keystroke in "Bizonylat:" finds the number; a character no number
    // can hold finds nothing and leaves the list alone.
    QTest::keyClicks(f.kereso(), "1000005");
    QCOMPARE(f.panelText("F_BSZAM"), QString("10000050"));
    f.kereso()->setText(QString::fromUtf8("1Ŵ"));
    f.keres(false);
    QCOMPARE(f.panelText("F_BSZAM"), QString("10000050"));
    QVERIFY(s.ui.log.filter("error:").isEmpty());
}

// A text the database cannot hold, typed into the entry: the save is refused
// as a whole, the screen says so, and the stored ticket is as it was.
void TstTicketList::refusedSaveKeepsTheStoredTicket()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TicketSpec t = ticket("20260001");
    t.megj = "Első szállítás";
    addTicket(db, t);
    addLine(db, "20260001", "Búza", 10, 60, 12);
    G.aktBszam = "20260001";
    TForm8 list;
    TForm9 f(TForm9::Mode::Modify);
    QVERIFY(f.load());
    f.edit("megj")->setText(QString::fromUtf8("Második szállítás Ŵ"));
    QVERIFY(!f.save());
    QCOMPARE(s.ui.messages().size(), 1);
    QVERIFY2(s.ui.messages().first().startsWith("Hiba"), qPrintable(s.ui.messages().first()));
    QCOMPARE(db.scalar("SELECT f_megj FROM fjfej WHERE f_bszam = '20260001'"), QString::fromUtf8("Első szállítás"));
    // Within the column's 200 characters and its character set, it saves.
    f.edit("megj")->setText(QString::fromUtf8("Második szállítás"));
    QVERIFY(f.save());
    QCOMPARE(db.scalar("SELECT f_megj FROM fjfej WHERE f_bszam = '20260001'"), QString::fromUtf8("Második szállítás"));
}

QTEST_MAIN(TstTicketList)
#include "tst_ticketlist.moc"

// Voiding a printed ticket: the list's refusals, the voiding screen's date
// checks, the negated copy with its references and the counter, and a failure
// in the middle that must leave nothing behind.
#include "ticketfixture.h"

#include "tickets/Unit39.h"
#include "tickets/Unit8.h"
#include "tickets/voiding.h"

#include "gui/edits.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TstVoiding : public QObject {
    Q_OBJECT
private slots:
    void listRefusals();
    void threeLineTicket();
    void dateRules();
    void failureInTheMiddleLeavesNothing();
    void olderBlankNumberedRowsAreNotTaken();
    void codesComeFromTheContext();
};

namespace {

void printedTicket(TestDb& db, const QString& bszam, const QString& ervenyt = {},
                   const QString& tipus = "1", const QString& prn = "I")
{
    TicketSpec t;
    t.bszam = bszam;
    t.prn = prn;
    t.tipus = tipus;
    t.ervenyt = ervenyt;
    t.levonas = 150;
    t.szja = 15;
    t.muvktg = 12345;
    t.sumvar = 16789.5;
    addTicket(db, t);
}

// Runs the list's "Érvénytelenit" on the ticket; the voiding screen, if it opens,
// gets the date typed and OK pressed (or whatever `drive` does).
void voidFromList(const QString& bszam, RecordingUi& ui, std::function<void(TForm39*)> drive)
{
    G.aktBszam = bszam;
    TForm8 list;
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), bszam);
    ui.onModal = [&](QDialog* d) {
        if (auto* f = qobject_cast<TForm39*>(d))
            drive(f);
        return int(d->result());
    };
    list.button("Button5")->click();
}

QString snapshot(TestDb& db)
{
    return db.scalar("select list(f_bszam || '/' || coalesce(f_ervenyt, '-') || '/' || "
                     "coalesce(f_tipus, '-'), ',') from (select * from fjfej order by id_fjfej)") +
           "|" +
           db.scalar("select list(s_bszam || '/' || s_brutto, ',') from (select * from fjsor "
                     "order by id_fjsor)") +
           "|" + db.scalar("select a_fjbszam from sorszam");
}

} // namespace

void TstVoiding::listRefusals()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("update sorszam set a_fjbszam = '20260100'");
    printedTicket(db, "20260001", {}, "1", "");             // not printed
    printedTicket(db, "20260002", "20260050");              // voided already
    printedTicket(db, "20260003", "20260060", "4");         // printed voiding document
    printedTicket(db, "20260004", "20260070", "4", "");     // unprinted voiding document
    printedTicket(db, "20260005");
    const QString before = snapshot(db);
    const QStringList want = {"Nem volt nyomtatva. Nem érvényteleníthető!",
                              "Már érvénytelenítve van!",
                              "Érvénytelent (storno) nem lehet érvényteleníteni!",
                              "Nem volt nyomtatva. Nem érvényteleníthető!"};
    for (int i = 0; i < 4; ++i) {
        s.ui.clear();
        voidFromList(QString("2026000%1").arg(i + 1), s.ui, [](TForm39*) {});
        QCOMPARE(s.ui.log, QStringList{"msg:" + want[i]});
        QVERIFY(s.ui.modalNames.isEmpty());
    }
    // No to the question: nothing opens.
    s.ui.clear();
    s.ui.answers = {false};
    voidFromList("20260005", s.ui, [](TForm39*) {});
    QCOMPARE(s.ui.log, QStringList{"ask:Érvényteleniteni szeretné a 20260005 bizonylatot? "});
    QVERIFY(s.ui.modalNames.isEmpty());
    QCOMPARE(snapshot(db), before);
}

void TstVoiding::threeLineTicket()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("update sorszam set a_fjbszam = '20260100'");
    printedTicket(db, "20260007");
    addLine(db, "20260007", "Búza", 100, 62.5, 12);
    addLine(db, "20260007", "Napraforgó", 20.5, 140, 12, 2);
    addLine(db, "20260007", "Tojás", 300, 45, 7);
    addLine(db, "20260101", "Árva sor", 1, 1, 0); // left by an abandoned entry
    s.ui.todayValue = QDate(2026, 3, 20);
    voidFromList("20260007", s.ui, [](TForm39* f) {
        QCOMPARE(f->szam()->text(), QString("20260101"));
        QCOMPARE(f->kelt()->text(), QString("2026.03.20"));
        f->okButton()->click();
    });
    QCOMPARE(s.ui.log.last(), QString("msg:Az érvénytelenítő bizonylat 20260101 sorszámmal elkészült!"));
    auto q = [&](const QString& sql) { return db.scalar(sql); };
    QCOMPARE(q("select f_ervenyt from fjfej where f_bszam = '20260007'"), QString("20260101"));
    QCOMPARE(q("select f_tipus || '/' || f_ervenyt || '/' || f_kelt || '/' || coalesce(f_prn, 'null') "
               "from fjfej where f_bszam = '20260101'"),
             QString("4/20260007/2026-03-20/null"));
    QCOMPARE(q("select f_levonas || '/' || f_muvktg || '/' || cast(f_sumvar as numeric(18,2)) || '/' || f_szja || '/' || "
               "f_pipa from fjfej where f_bszam = '20260101'"),
             QString("-150.0000/-12345.0000/-16789.50/15/p"));
    // Every line negated, amounts derived negative, nothing left with a blank number.
    QCOMPARE(q("select count(*) from fjsor where s_bszam = '20260101'"), QString("3"));
    QCOMPARE(q("select count(*) from fjsor where s_bszam = '20260101' and s_megnevezes = 'Árva sor'"),
             QString("0"));
    QCOMPARE(q("select count(*) from fjsor a join fjsor b on a.s_megnevezes = b.s_megnevezes "
               "where a.s_bszam = '20260007' and b.s_bszam = '20260101' and b.s_brutto = -a.s_brutto "
               "and b.s_vetelar = -a.s_vetelar and b.s_felvar = -a.s_felvar and b.s_levonszaz = "
               "a.s_levonszaz and b.s_ear = a.s_ear"),
             QString("3"));
    QCOMPARE(q("select count(*) from fjsor where s_bszam = ' '"), QString("0"));
    QCOMPARE(q("select count(*) from fjfej where f_bszam = ' '"), QString("0"));
    // The counter moved by one; the list stands on the new document.
    QCOMPARE(q("select a_fjbszam from sorszam"), QString("20260101"));
    QCOMPARE(G.aktBszam, QString("20260101"));
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), QString("20260101"));
    // The document itself cannot be voided, even once printed.
    db.exec("update fjfej set f_prn = 'I' where f_bszam = '20260101'");
    s.ui.clear();
    voidFromList("20260101", s.ui, [](TForm39*) {});
    QCOMPARE(s.ui.log, QStringList{"msg:Érvénytelent (storno) nem lehet érvényteleníteni!"});
}

void TstVoiding::dateRules()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("update sorszam set a_fjbszam = '20260100'");
    printedTicket(db, "20260008"); // issued 2026.03.10
    addLine(db, "20260008", "Búza", 10, 60, 12);
    TForm39 f("20260008", QDate(2026, 3, 10));
    QVERIFY(f.prepare());
    const QStringList cases[] = {
        {"  ", "Nincs megadva a kiállítás dátuma!"},
        {"2026.02.30", "Hibás a kiállítás dátuma!"},
        {"2026.03.09", "Érvénytelenítendő bizonylaton szereplő dátumtól korábbi!"},
    };
    for (const QStringList& c : cases) {
        s.ui.clear();
        f.kelt()->setText(c[0]);
        QVERIFY(!f.okClick());
        QCOMPARE(s.ui.log, QStringList{"msg:" + c[1]});
    }
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("1"));
    f.kelt()->setText("2026.03.10"); // the same day is allowed
    QVERIFY(f.okClick());
    QCOMPARE(db.scalar("select f_kelt from fjfej where f_bszam = '20260101'"), QString("2026.03.10"));
}

void TstVoiding::failureInTheMiddleLeavesNothing()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("update sorszam set a_fjbszam = '20260100'");
    printedTicket(db, "20260009");
    addLine(db, "20260009", "Búza", 100, 62.5, 12);
    addLine(db, "20260009", "Tojás", 30, 45, 7);
    // The renumbering of the copied lines fails, after the header was copied and
    // completed, the ticket marked and the lines copied.
    db.exec("CREATE EXCEPTION E_TEST_FAIL 'line update refused'");
    db.exec("CREATE TRIGGER T_TEST_FAIL FOR FJSOR BEFORE UPDATE AS BEGIN "
            "IF (NEW.S_BSZAM <> OLD.S_BSZAM) THEN EXCEPTION E_TEST_FAIL; END");
    const QString before = snapshot(db);
    TForm39 f("20260009", QDate(2026, 3, 10));
    QVERIFY(f.prepare());
    f.kelt()->setText("2026.03.15");
    QVERIFY(!f.okClick());
    QVERIFY(!Data->ZCon1.inTransaction()); // rolled back, not left pending
    QCOMPARE(s.ui.log, QStringList{"msg:Hiba397: Új UPDATE FjFej -ben "});
    QCOMPARE(snapshot(db), before);

    // The counter write is the last step: its failure takes everything back too.
    db.exec("DROP TRIGGER T_TEST_FAIL");
    db.exec("CREATE TRIGGER T_TEST_FAIL2 FOR SORSZAM BEFORE UPDATE AS BEGIN "
            "EXCEPTION E_TEST_FAIL; END");
    s.ui.clear();
    QVERIFY(!f.okClick());
    QCOMPARE(s.ui.log, QStringList{"msg:Hiba398: Új UPDATE Sorszam -ba "});
    QCOMPARE(snapshot(db), before);

    // The screen stayed open: once the cause is gone, the same screen succeeds.
    db.exec("DROP TRIGGER T_TEST_FAIL2");
    s.ui.clear();
    QVERIFY(f.okClick());
    QCOMPARE(db.scalar("select count(*) from fjsor where s_bszam = '20260101' and s_brutto < 0"),
             QString("2"));
    QCOMPARE(db.scalar("select a_fjbszam from sorszam"), QString("20260101"));
}

void TstVoiding::olderBlankNumberedRowsAreNotTaken()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    db.exec("update sorszam set a_fjbszam = '20260100'");
    // Left with a blank number long ago (an interrupted copy of an older version).
    TicketSpec blank(" ");
    blank.tipus = "";
    addTicket(db, blank);
    addLine(db, " ", "Régi sor", 7, 10, 0);
    printedTicket(db, "20260011");
    addLine(db, "20260011", "Búza", 100, 62.5, 12);
    addLine(db, "20260011", "Tojás", 30, 45, 7);
    const rec::Outcome o =
        voiding::run(contextFor(db), {"20260011", QDate(2026, 3, 10), "20260101", "2026.03.12"});
    QVERIFY2(o.ok(), qPrintable(o.message + " " + o.dbText));
    // The old rows keep their blank number and their values.
    QCOMPARE(db.scalar("select count(*) || '/' || coalesce(max(f_ervenyt), '-') || '/' || "
                       "coalesce(max(f_tipus), '-') from fjfej where f_bszam = ' '"),
             QString("1/-/-"));
    QCOMPARE(db.scalar("select count(*) || '/' || max(s_brutto) from fjsor where s_bszam = ' '"),
             QString("1/7.0000"));
    QCOMPARE(db.scalar("select count(*) from fjfej where f_bszam = '20260101' and f_ervenyt = "
                       "'20260011' and f_kelt = '2026-03-12'"),
             QString("1"));
    QCOMPARE(db.scalar("select list(s_brutto, ',') from (select s_brutto from fjsor where "
                       "s_bszam = '20260101' order by id_fjsor)"),
             QString("-100.0000,-30.0000"));
}

void TstVoiding::codesComeFromTheContext()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer("00001");
    db.exec("insert into sorszam (a_fjbszam, a_akod) values ('20270500', '00002')");
    TicketSpec t("20270007");
    t.prn = "I";
    addTicket(db, t, "00002");
    addLine(db, "20270007", "Búza", 10, 60, 12, 0, "00002");
    // The globals point elsewhere; the rule goes by its context.
    G.akod = "00001";
    G.ervTipus = "9";
    rec::Context ctx = contextFor(db, "00002");
    ctx.ervTipus = "4";
    const QString buyer1Counter = db.scalar("select a_fjbszam from sorszam where a_akod = '00001'");
    QVERIFY(voiding::run(ctx, {"20270007", QDate(2026, 3, 10), "20270501", "2026.03.10"}).ok());
    QCOMPARE(db.scalar("select f_tipus || '/' || f_akod from fjfej where f_bszam = '20270501'"),
             QString("4/00002"));
    QCOMPARE(db.scalar("select a_fjbszam from sorszam where a_akod = '00002'"), QString("20270501"));
    QCOMPARE(db.scalar("select a_fjbszam from sorszam where a_akod = '00001'"), buyer1Counter);
}

QTEST_MAIN(TstVoiding)
#include "tst_voiding.moc"

// The ticket header, line and year opening rules on their own, without a
// screen: the checks in order with their fields, each value in its column, a
// row deleted meanwhile, the bounds of rates and amounts.
#include "ticketfixture.h"

#include "applog.h"
#include "tickets/ticketcounter.h"
#include "tickets/payable.h"
#include "tickets/ticketentry.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using ticketentry::Header;
using ticketentry::Line;
using ticketentry::Mode;

class TstTicketSave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void headerChecksInOrder();
    void taxRateBounds();
    void headerValuesGoToTheirColumns();
    void modifiedTicketDeletedElsewhereIsNotSaved();
    void counterOfTheContextBuyer();
    void lineChecksInOrder();
    void weightDeductionMustBeANumber();
    void changedLineDeletedElsewhereIsNotSaved();
    void storedTicketTotalsFollowItsLines();
    void amountsAtTheLimit();
    void yearOpening();
};

namespace {

Header validHeader(const QString& bszam)
{
    Header h;
    h.bszam = bszam;
    h.ostKod = "00002";
    h.kelt = "2026.03.01";
    h.felvkelt = "2026.02.27";
    h.fizkelt = "2026.03.09";
    h.szja = "16";
    h.levonas = "123,5";
    h.levonszaz = "2,5";
    h.jarul = "3,25";
    h.utal = true;
    h.megj = "Második szállítás";
    h.nyilatk = "Saját termelésből.";
    h.muvktg = 4321;
    h.sumvar = 5678.25;
    return h;
}

Line validLine(const QString& bszam)
{
    Line l;
    l.bszam = bszam;
    l.termekkod = "00004";
    l.megnevezes = "Napraforgó";
    l.vtsz = "1206";
    l.brutto = "40,5";
    l.megy = "kg";
    l.ear = "140";
    l.kompmerteke = "12";
    l.bizonylat = "77";
    l.levonszaz = "0";
    return l;
}

void expectCheck(const rec::Outcome& o, const QString& message, const QString& field)
{
    QCOMPARE(o.kind, rec::Outcome::CheckFailed);
    QCOMPARE(o.message, message);
    QCOMPARE(o.field, field);
}

TQuery* row(TestDb& db, const QString& sql)
{
    auto* q = new TQuery(&db.data()->ZCon1, "row", db.data());
    q->setSql(sql);
    q->open();
    return q;
}

} // namespace

void TstTicketSave::init() { applog::setPath(QDir::temp().filePath("vadmo7-tst-ticketsave.log")); }

void TstTicketSave::cleanup()
{
    QFile::remove(applog::path());
    applog::setPath({});
}

void TstTicketSave::headerChecksInOrder()
{
    TestDb db(true);
    const rec::Context ctx = contextFor(db);
    Header h;
    h.bszam = "20260101";
    h.kelt = " ";
    h.ostKod = " ";
    h.levonszaz = "  ";
    // Each step repairs the field of the previous message; the next check must fire.
    struct Step {
        const char* message;
        const char* field;
        std::function<void()> repair;
    };
    const Step steps[] = {
        {"Nincs megadva a kiállítás dátuma!", "Edit2", [&] { h.kelt = "2026.13.01"; }},
        {"Nincs megadva a felvásárlás dátuma!", "Edit3", [&] { h.felvkelt = "2026.02.30"; }},
        {"Nincs megadva a átvétel dátum!", "Edit4", [&] { h.fizkelt = "2026.03"; }},
        {"Nincs megadva az szja!", "Edit5", [&] { h.szja = "1,,6"; }},
        {"Nincs kiválasztva őstermelő!", "Button3", [&] { h.ostKod = "00002"; }},
        {"Nincs megadva vagy nem nulla a levonás!", "Edit13", [&] { h.levonas = "12,3,4"; }},
        {"Nincs megadva súlylevonás % -a vagy nem nulla!", "Edit14", [&] { h.levonszaz = ","; }},
        {"Nincs megadva tagok hozzájárulása % -a vagy nem nulla!", "Edit15", [&] { h.jarul = "2,,5"; }},
        {"Hibás a kiállítás dátuma!", "Edit2", [&] { h.kelt = "2026.03.01"; }},
        {"Hibás a felvásárlás dátuma!", "Edit3", [&] { h.felvkelt = "2026.02.27"; }},
        {"Hibás az átvétel/utalás dátuma!", "Edit4",
         [&] { h.fizkelt = "2026.03.09"; }},
        {"Nincs a felvásárlási jegynek tételsora!", "Button3",
         [&] { addLine(db, "20260101", "Búza", 10, 60, 12); }},
        {"A(z) \"Szja %\" mezőben nem szám áll!", "Edit5", [&] { h.szja = "15"; }},
        {"A(z) \"Levonás (Ft)\" mezőben nem szám áll!", "Edit13", [&] { h.levonas = "0"; }},
        {"A(z) \"Súlylevon.%\" mezőben nem szám áll!", "Edit14", [&] { h.levonszaz = "0"; }},
        {"A(z) \"Tagi h.járul.%\" mezőben nem szám áll!", "Edit15", [&] { h.jarul = "0"; }},
    };
    for (const Step& s : steps) {
        expectCheck(ticketentry::saveHeader(ctx, h, Mode::New), QString::fromUtf8(s.message),
                    s.field);
        s.repair();
    }
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("0"));
    QVERIFY(ticketentry::saveHeader(ctx, h, Mode::New).ok());
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("1"));
}

void TstTicketSave::taxRateBounds()
{
    TestDb db(true);
    const rec::Context ctx = contextFor(db);
    db.exec("update sorszam set a_fjbszam = '20260100'");
    addLine(db, "20260101", "Búza", 10, 60, 12);
    Header h = validHeader("20260101");
    // Nineteen digits once came back as -9223372036854775808.
    for (const char* bad : {"9999999999999999999", "101", "-1", "15,5", "100,0001"}) {
        h.szja = bad;
        expectCheck(ticketentry::saveHeader(ctx, h, Mode::New),
                    "Az \"Szja %\" 0 és 100 közötti egész szám lehet!", "Edit5");
    }
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("0"));
    QCOMPARE(db.scalar("select a_fjbszam from sorszam"), QString("20260100"));
    h.szja = "15";
    for (const char* bad : {"100,5", "-0,5", "10000000000"}) {
        h.jarul = bad;
        expectCheck(ticketentry::saveHeader(ctx, h, Mode::New),
                    "A \"Tagi h.járul.%\" 0 és 100 közötti szám lehet!", "Edit15");
    }
    h.jarul = "0";
    for (const char* bad : {"1000000000000", "-1000000000000"}) {
        h.levonas = bad;
        expectCheck(ticketentry::saveHeader(ctx, h, Mode::New),
                    "A \"Levonás (Ft)\" legfeljebb 999 999 999 999 Ft lehet!", "Edit13");
    }
    h.levonas = "999999999999";
    h.jarul = "100";
    QVERIFY(ticketentry::saveHeader(ctx, h, Mode::New).ok());
    QCOMPARE(db.scalar("select f_jarulszaz from fjfej"), QString("100"));
    db.exec("delete from fjfej");
    db.exec("update sorszam set a_fjbszam = '20260100'");
    h.levonas = "0";
    h.jarul = "0";
    h.szja = "100";
    QVERIFY(ticketentry::saveHeader(ctx, h, Mode::New).ok());
    QCOMPARE(db.scalar("select f_szja from fjfej"), QString("100"));
    h.szja = "0";
    h.id = db.scalar("select id_fjfej from fjfej").toLongLong();
    QVERIFY(ticketentry::saveHeader(ctx, h, Mode::Modify).ok());
    QCOMPARE(db.scalar("select f_szja from fjfej"), QString("0"));
}

void TstTicketSave::headerValuesGoToTheirColumns()
{
    TestDb db(true);
    db.selectBuyer();
    db.exec("update sorszam set a_fjbszam = '20260100'");
    addLine(db, "20260101", "Búza", 10, 60, 12);
    // The rule takes the buyer and the type code from its context, not from the globals.
    G.akod = "99999";
    G.tipus = "8";
    const rec::Context ctx = contextFor(db, "00001");
    Header h = validHeader("20260101");
    QVERIFY(ticketentry::saveHeader(ctx, h, Mode::New).ok());
    QVERIFY(!db.data()->ZCon1.inTransaction()); // committed
    TQuery* q = row(db, "select * from fjfej where f_bszam = '20260101'");
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(q->asString("F_AKOD"), QString("00001"));
    QCOMPARE(q->asString("F_OSTERMKOD"), QString("00002"));
    QCOMPARE(q->asDate("F_KELT"), QDate(2026, 3, 1));
    QCOMPARE(q->asDate("F_FELVKELT"), QDate(2026, 2, 27));
    QCOMPARE(q->asDate("F_FIZKELT"), QDate(2026, 3, 9));
    QCOMPARE(q->asInteger("F_SZJA"), 16);
    QCOMPARE(q->asFloat("F_LEVONAS"), 123.5);
    QCOMPARE(q->asFloat("F_JARULSZAZ"), 3.25);
    QCOMPARE(q->asString("F_UTAL"), QString("x"));
    QCOMPARE(q->asString("F_MEGJ"), QString("Második szállítás"));
    QCOMPARE(q->asString("F_NYILATK"), QString("Saját termelésből."));
    QCOMPARE(q->asFloat("F_MUVKTG"), 4321.0);
    QCOMPARE(q->asFloat("F_SUMVAR"), 5678.25);
    QCOMPARE(q->asString("F_TIPUS"), QString("1"));
    QVERIFY(q->isNull("F_PRN"));
    QCOMPARE(db.scalar("select a_fjbszam from sorszam where a_akod = '00001'"), QString("20260101"));

    // The modification: other values, each distinct, the print mark cleared, the
    // type and the counter left alone.
    db.exec("update fjfej set f_prn = 'I'");
    h.id = q->asInteger("ID_FJFEJ");
    h.printed = true; // opened printed, through the list's service shortcut
    h.kelt = "2026.04.02";
    h.felvkelt = "2026.04.01";
    h.fizkelt = "2026.04.10";
    h.szja = "15";
    h.levonas = "0";
    h.jarul = "1,5";
    h.utal = false;
    h.megj = "Javítva";
    h.nyilatk = " ";
    h.muvktg = 1234;
    h.sumvar = 1500.75;
    QVERIFY(ticketentry::saveHeader(ctx, h, Mode::Modify).ok());
    q->open();
    QCOMPARE(q->recordCount(), 1);
    QCOMPARE(q->asDate("F_KELT"), QDate(2026, 4, 2));
    QCOMPARE(q->asDate("F_FELVKELT"), QDate(2026, 4, 1));
    QCOMPARE(q->asDate("F_FIZKELT"), QDate(2026, 4, 10));
    QCOMPARE(q->asInteger("F_SZJA"), 15);
    QCOMPARE(q->asFloat("F_JARULSZAZ"), 1.5);
    QCOMPARE(q->asString("F_UTAL"), QString(" "));
    QCOMPARE(q->asString("F_MEGJ"), QString("Javítva"));
    QCOMPARE(q->asString("F_NYILATK"), QString(" "));
    QCOMPARE(q->asFloat("F_MUVKTG"), 1234.0);
    QCOMPARE(q->asFloat("F_SUMVAR"), 1500.75);
    QCOMPARE(q->asString("F_PRN"), QString(" "));
    QCOMPARE(q->asString("F_TIPUS"), QString("1"));
    QCOMPARE(db.scalar("select a_fjbszam from sorszam where a_akod = '00001'"), QString("20260101"));
}

void TstTicketSave::modifiedTicketDeletedElsewhereIsNotSaved()
{
    TestDb db(true);
    const rec::Context ctx = contextFor(db);
    TicketSpec t("20260042", "00002");
    addTicket(db, t);
    addLine(db, "20260042", "Búza", 10, 60, 12);
    Header h = validHeader("20260042");
    h.id = db.scalar("select id_fjfej from fjfej").toLongLong();
    execElsewhere(db, "delete from fjfej where f_bszam = '20260042'");
    const rec::Outcome o = ticketentry::saveHeader(ctx, h, Mode::Modify);
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba95: Módositás, UPDATE a Fjegy fejben "));
    QVERIFY2(o.dbText.contains("1 sor helyett 0"), qPrintable(o.dbText));
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("0"));
    QFile log(applog::path());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    QVERIFY(logged.contains("Hiba95") && logged.contains("1 sor helyett 0"));
}

void TstTicketSave::counterOfTheContextBuyer()
{
    TestDb db(true);
    db.selectBuyer("00001"); // has a counter; the context's buyer has none
    addLine(db, "20260101", "Búza", 10, 60, 12, 0, "00007");
    const rec::Outcome o =
        ticketentry::saveHeader(contextFor(db, "00007"), validHeader("20260101"), Mode::New);
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba93: Új UPDATE Sorszam -ba "));
    // The header went back with the counter.
    QCOMPARE(db.scalar("select count(*) from fjfej"), QString("0"));
    QVERIFY(db.scalar("select a_fjbszam from sorszam where a_akod = '00001'") != "20260101");
}

void TstTicketSave::lineChecksInOrder()
{
    TestDb db(true);
    const rec::Context ctx = contextFor(db);
    Line l;
    l.bszam = "20260101";
    l.brutto = "   ";
    struct Step {
        const char* message;
        const char* field;
        std::function<void()> repair;
    };
    const Step steps[] = {
        {"Nincs megadva a megnevezés!", "Edit2", [&] { l.megnevezes = "Búza"; }},
        {"Nincs megadva a VTSZ!", "Edit3", [&] { l.vtsz = "1001"; }},
        {"Nincs megadva a mennyiség!", "Edit4", [&] { l.brutto = "-"; }},
        {"Nincs megadva a mennyiség egység!", "Edit5", [&] { l.megy = "kg"; }},
        {"Nincs megadva az egységár!", "Edit6", [&] { l.ear = "6,2,5"; }},
        {"Nincs megadva a komp.mértéke!", "Edit8", [&] { l.kompmerteke = ","; }},
        {"A mennyiség nem szám!", "Edit4", [&] { l.brutto = "-12,5"; }},
        {"Az egységár nem szám!", "Edit6", [&] { l.ear = "62,5"; }},
        {"A komp.mértéke nem szám!", "Edit8", [&] { l.kompmerteke = "12"; }},
        {"Nincs megadva súlylevonás % -a vagy nem nulla!", "", [&] { l.levonszaz = "4"; }},
    };
    for (const Step& s : steps) {
        expectCheck(ticketentry::saveLine(ctx, l, Mode::New), QString::fromUtf8(s.message),
                    s.field);
        s.repair();
    }
    QCOMPARE(db.scalar("select count(*) from fjsor"), QString("0"));
    QVERIFY(ticketentry::saveLine(ctx, l, Mode::New).ok());
    // A negative quantity is stored as typed; the amounts come out negative.
    TQuery* q = row(db, "select * from fjsor");
    QCOMPARE(q->asFloat("S_BRUTTO"), -12.5);
    QCOMPARE(q->asFloat("S_LEVONSZAZ"), 4.0);
    QCOMPARE(q->asFloat("S_VETELAR"), -12 * 62.5 * 1.12);
}

void TstTicketSave::weightDeductionMustBeANumber()
{
    TestDb db(true);
    const rec::Context ctx = contextFor(db, "00003");
    Line l = validLine("20260101");
    for (const char* bad : {"5,,5", "1,2,3", ",", "5,5,"}) {
        l.levonszaz = bad;
        expectCheck(ticketentry::saveLine(ctx, l, Mode::New),
                    "A(z) \"Súlylevon.%\" mezőben nem szám áll!", "");
    }
    QCOMPARE(db.scalar("select count(*) from fjsor"), QString("0"));
    l.levonszaz = "5,5";
    QVERIFY(ticketentry::saveLine(ctx, l, Mode::New).ok());
    TQuery* q = row(db, "select * from fjsor");
    QCOMPARE(q->asFloat("S_LEVONSZAZ"), 5.5);
    QCOMPARE(q->asString("S_AKOD"), QString("00003"));
    QCOMPARE(q->asFloat("S_BRUTTO"), 40.5);
    QCOMPARE(q->asFloat("S_EAR"), 140.0);
    QCOMPARE(q->asFloat("S_KOMPMERTEKE"), 12.0);
    QCOMPARE(q->asString("S_TERMEKKOD"), QString("00004"));
    QCOMPARE(q->asString("S_BIZONYLAT"), QString("77"));
    // 40,5 kg less 5,5 % = 38,2725 kg net.
    QCOMPARE(q->asFloat("S_NETTO"), 38.2725);
}

void TstTicketSave::changedLineDeletedElsewhereIsNotSaved()
{
    TestDb db(true);
    const rec::Context ctx = contextFor(db);
    addLine(db, "20260101", "Búza", 10, 60, 12);
    Line l = validLine("20260101");
    l.id = db.scalar("select id_fjsor from fjsor").toLongLong();
    QVERIFY(ticketentry::saveLine(ctx, l, Mode::Modify).ok());
    QCOMPARE(db.scalar("select s_megnevezes from fjsor"), QString("Napraforgó"));
    execElsewhere(db, "delete from fjsor");
    l.brutto = "41";
    const rec::Outcome o = ticketentry::saveLine(ctx, l, Mode::Modify);
    QCOMPARE(o.kind, rec::Outcome::StepFailed);
    QCOMPARE(o.message, QString("Hiba104: Módosit, UPDATE a fjsorban "));
    QCOMPARE(db.scalar("select count(*) from fjsor"), QString("0"));
}

// A line saved or deleted on a stored ticket is committed at once; the header's
// purchase price and payable amount must not keep the lines before, even if the
// ticket's own "OK" never comes.
void TstTicketSave::storedTicketTotalsFollowItsLines()
{
    TestDb db(true);
    const rec::Context ctx = contextFor(db);
    TicketSpec t("20260101");
    t.szja = 15;
    t.sumvar = 1200;  // 20 kg × 60 Ft, no surcharge
    t.muvktg = 1020;  // 1200 less 15 %, cash
    addTicket(db, t);
    addLine(db, "20260101", "Búza", 20, 60, 0);
    Line l = validLine("20260101");
    l.id = db.scalar("select id_fjsor from fjsor").toLongLong();
    l.brutto = "30";
    l.ear = "60";
    l.kompmerteke = "0";
    QVERIFY(ticketentry::saveLine(ctx, l, Mode::Modify).ok());
    // 30 × 60 = 1800; less 270 advance = 1530, a multiple of 5 for cash.
    QCOMPARE(db.scalar("select f_sumvar from fjfej").toDouble(), 1800.0);
    QCOMPARE(db.scalar("select f_muvktg from fjfej").toDouble(), 1530.0);
    QCOMPARE(db.scalar("select f_szjalevon from fjfej").toDouble(), 270.0);
    // The ticket's stored rates count; the header's other values stay.
    QCOMPARE(db.scalar("select f_szja from fjfej"), QString("15"));
    QVERIFY(ticketentry::deleteLine(ctx, l.id).ok());
    QCOMPARE(db.scalar("select f_sumvar from fjfej").toDouble(), 0.0);
    QCOMPARE(db.scalar("select f_muvktg from fjfej").toDouble(), 0.0);
}

void TstTicketSave::amountsAtTheLimit()
{
    TestDb db(true);
    const rec::Context ctx = contextFor(db);
    const QString limitText = "999 999 999 999";
    auto refusedForSize = [&](const rec::Outcome& o) {
        QCOMPARE(o.kind, rec::Outcome::CheckFailed);
        QVERIFY2(o.message.contains(limitText), qPrintable(o.message));
        // No exponent form ("1.1424e+17") anywhere in the text.
        QVERIFY2(!o.message.contains(QRegularExpression("\\d[eE][+-]?\\d")), qPrintable(o.message));
        QCOMPARE(o.field, QString("Edit4"));
    };
    Line a = validLine("20260101");
    a.brutto = "999999999999";
    a.ear = "1";
    a.kompmerteke = "0";
    a.rates.transfer = true;
    // Exactly the limit, paid by transfer.
    QVERIFY(ticketentry::saveLine(ctx, a, Mode::New).ok());
    a.id = db.scalar("select id_fjsor from fjsor").toLongLong();
    // Saving the same line again does not count it twice.
    QVERIFY(ticketentry::saveLine(ctx, a, Mode::Modify).ok());
    // One forint more, on this line or on another one, is refused.
    Line b = validLine("20260101");
    b.brutto = "1";
    b.ear = "1";
    b.kompmerteke = "0";
    b.rates.transfer = true;
    refusedForSize(ticketentry::saveLine(ctx, b, Mode::New));
    a.brutto = "1000000000000";
    refusedForSize(ticketentry::saveLine(ctx, a, Mode::Modify));
    QCOMPARE(db.scalar("select count(*) || '/' || sum(s_brutto) from fjsor"),
             QString("1/999999999999.0000"));

    // The payable counts too: in cash the limit rounds up to the next 5 forint,
    // and a negative deduction adds to it.
    Line c = a;
    c.id = 0;
    c.bszam = "20260102";
    c.brutto = "999999999999";
    c.rates.transfer = false;
    refusedForSize(ticketentry::saveLine(ctx, c, Mode::New));
    c.rates.transfer = true;
    c.rates.deduction = -1;
    refusedForSize(ticketentry::saveLine(ctx, c, Mode::New));
    c.rates.deduction = 1;
    QVERIFY(ticketentry::saveLine(ctx, c, Mode::New).ok());

    // The quantity from the first day's report: refused, nothing stored.
    Line d = validLine("20260103");
    d.brutto = "99999999999999";
    d.ear = "1";
    d.kompmerteke = "14,24";
    refusedForSize(ticketentry::saveLine(ctx, d, Mode::New));
    QCOMPARE(db.scalar("select count(*) from fjsor where s_bszam = '20260103'"), QString("0"));
}

void TstTicketSave::yearOpening()
{
    TestDb db;
    db.selectBuyer("00001");
    db.exec("insert into sorszam (a_fjbszam, a_akod) values ('20250000', '00001')");
    const rec::Context ctx = contextFor(db, "00002");
    counter::YearOpening y = counter::yearOpening(ctx);
    QVERIFY(!y.locked);
    QVERIFY(y.current.isEmpty());
    expectCheck(counter::storeYearOpening(ctx, "0202000"), "Nem 8 hosszú a számsor!", "Edit2");
    QVERIFY(counter::storeYearOpening(ctx, "20300000").ok());
    QCOMPARE(db.scalar("select list(a_akod || '=' || a_fjbszam, ',') from (select * from sorszam "
                       "order by a_akod)"),
             QString("00001=20250000,00002=20300000"));
    QVERIFY(counter::storeYearOpening(ctx, "20310000").ok());
    QCOMPARE(counter::yearOpening(ctx).current, QString("20310000"));

    // Failures keep the database's reason and store nothing.
    db.exec("CREATE EXCEPTION E_TEST_FAIL 'counter refused'");
    db.exec("CREATE TRIGGER T_TEST_FAIL FOR SORSZAM BEFORE INSERT OR UPDATE AS BEGIN "
            "EXCEPTION E_TEST_FAIL; END");
    rec::Outcome o = counter::storeYearOpening(ctx, "20320000");
    QCOMPARE(o.message, QString("Hiba381: Letároláskor az UPDATE Sorszam -ba "));
    QVERIFY2(o.dbText.contains("counter refused"), qPrintable(o.dbText));
    o = counter::storeYearOpening(contextFor(db, "00003"), "20330000");
    QCOMPARE(o.message, QString("Hiba382: Letároláskor az INSERT Sorszam -ba "));
    QCOMPARE(db.scalar("select count(*) from sorszam"), QString("2"));
    QCOMPARE(counter::yearOpening(ctx).current, QString("20310000"));
    db.exec("DROP TRIGGER T_TEST_FAIL");

    // A ticket of the buyer locks the counter, also for the rule itself.
    addTicket(db, TicketSpec("20310001"), "00002");
    y = counter::yearOpening(ctx);
    QVERIFY(y.locked);
    QCOMPARE(y.current, QString("20310000"));
    expectCheck(counter::storeYearOpening(ctx, "20400000"),
                "Már készült felvásárlási jegy! Nem módositható.", "");
    QCOMPARE(counter::yearOpening(ctx).current, QString("20310000"));
    // The other buyer is not locked by it.
    QVERIFY(!counter::yearOpening(contextFor(db, "00001")).locked);
}

QTEST_MAIN(TstTicketSave)
#include "tst_ticketsave.moc"

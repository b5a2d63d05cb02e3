// The audit data supply: the collection into the work table with its checks,
// what a document comes to, the whole XML file against one written out by hand, every file checked
// against the authority's schema, what the schema would refuse found before
// writing, the widened work table, and the screen's settings and export.
#include "../tickets/ticketfixture.h"

#include "Query.h"
#include "settings.h"
#include "textfile.h"
#include "taxdata/Unit40.h"
#include "taxdata/auditxml.h"
#include "folders.h"
#include "taxdata/navtables.h"
#include "taxdata/xsdcheck.h"

#include "gui/dbwidgets.h"
#include "gui/edits.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

class TstAuditXml : public QObject {
    Q_OBJECT
private slots:
    void formats();
    void totals();
    void wholeFile();
    void numberRangeIsText();
    void emptyCollection();
    void collectionChecks();
    void stoppingChecks();
    void schemaProblemsFoundBeforeWriting();
    void brokenFileReportedWithItsLine();
    void narrowWorkTableWidened();
    void screen();
};

namespace {

const QString kXsd = QString(VADMO_SOURCE_DIR) + "/src/taxdata/23_2014_szamlasema.xsd";
const QString kPapir = "Papir alapon számítógéppel kiállított";

rec::Context ctx() { return {&Data->ZCon1, "00001", "1", "4", QDate(2026, 12, 9)}; }

auditxml::Settings defaults() { return {"/tmp/x.xml", "true", kPapir}; }

auditxml::Range march()
{
    auditxml::Range r;
    r.from = QDate(2026, 3, 1);
    r.to = QDate(2026, 3, 31);
    return r;
}

auditxml::Options options(const auditxml::Range& r = march())
{
    auditxml::Options o;
    o.range = r;
    o.settings = defaults();
    o.today = QDate(2026, 12, 9);
    return o;
}

void buyer(TestDb& db)
{
    db.exec("UPDATE atvevo SET v_neve = 'Minta Felvásárló Kft.', v_irszam = '6000', "
            "v_helyseg = 'Kecskemét', v_utca = 'Fő', v_jelleg = 'utca', v_hazszam = '1.', "
            "v_adoszam = '12345678213', v_bankszla = '11111111-22222222', v_kisado = 'false', "
            "v_ev = NULL, v_evnyilv = NULL, v_ev_neve = NULL, v_kerulet = NULL, v_epulet = NULL, "
            "v_lepcso = NULL, v_szint = NULL, v_ajto = NULL, v_kozadoszam = NULL "
            "WHERE v_akod = '00001'");
}

void producer(TestDb& db, const QString& kod, const QString& nev, const QString& irszam = "6100")
{
    db.exec(QString("INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, "
                    "o_jelleg, o_hazszam) VALUES (%1, %2, %3, 'Kiskunfélegyháza', 'Petőfi', "
                    "'tér', '2')")
                .arg(sqlText(kod), sqlText(nev), sqlOrNull(irszam)));
}

void ticket(TestDb& db, const QString& bszam, const QString& kelt, const QString& tipus = "1",
            const QString& ervenyt = {}, int szja = 0, double sumvar = 0, double levonas = 0,
            const QString& kod = "00002")
{
    // Purchase two days before the issue, payment eight days after: a value
    // or a filter taken from the wrong date column shows.
    const QDate d = QDate::fromString(kelt, "yyyy.MM.dd");
    TicketSpec t;
    t.bszam = bszam;
    t.ostermkod = kod;
    t.kelt = kelt;
    t.felvkelt = d.addDays(-2).toString("yyyy.MM.dd");
    t.fizkelt = d.addDays(8).toString("yyyy.MM.dd");
    t.transfer = true;
    t.tipus = tipus;
    t.ervenyt = ervenyt;
    t.szja = szja;
    t.sumvar = sumvar;
    t.levonas = levonas;
    addTicket(db, t);
}

// The three documents of the whole-file test.
void threeDocuments(TestDb& db)
{
    buyer(db);
    producer(db, "00002", "Kovács & Fia");
    ticket(db, "26000001", "2026.03.10", "1", "26000002", 15, 10000);
    addLine(db, "26000001", "Búza", 100, 50, 7);
    addLine(db, "26000001", "Alma", 200, 10, 12, 10);
    ticket(db, "26000002", "2026.03.11", "4", "26000001", 15, -10000);
    addLine(db, "26000002", "Búza", -100, 50, 7);
    addLine(db, "26000002", "Alma", -200, 10, 12, 10);
    ticket(db, "26000003", "2026.03.12", "1", {}, 0, 0, 250);
}

QByteArray file(const QStringList& lines)
{
    return "\xEF\xBB\xBF" + (lines.join("\r\n") + "\r\n").toUtf8();
}

QStringList parties()
{
    return {
        "    <szamlakibocsato>",
        "      <adoszam>12345678213</adoszam>",
        "      <kisadozo>false</kisadozo>",
        "      <nev>Minta Felvásárló Kft.</nev>",
        "      <cim>",
        "        <iranyitoszam>6000</iranyitoszam>",
        "        <telepules>Kecskemét</telepules>",
        "        <kozterulet_neve>Fő</kozterulet_neve>",
        "        <kozterulet_jellege>utca</kozterulet_jellege>",
        "        <hazszam>1.</hazszam>",
        "      </cim>",
        "    </szamlakibocsato>",
        "    <vevo>",
        "      <nev>Kovács &amp; Fia</nev>",
        "      <cim>",
        "        <iranyitoszam>6100</iranyitoszam>",
        "        <telepules>Kiskunfélegyháza</telepules>",
        "        <kozterulet_neve>Petőfi</kozterulet_neve>",
        "        <kozterulet_jellege>tér</kozterulet_jellege>",
        "        <hazszam>2</hazszam>",
        "      </cim>",
        "    </vevo>",
    };
}

QStringList fejlec(const QString& n, const QString& tipus, const QString& date,
                   const QString& telj)
{
    return {"  <szamla>",
            "    <fejlec>",
            "        <szlasorszam>" + n + "</szlasorszam>",
            "        <szlatipus>" + tipus + "</szlatipus>",
            "        <szladatum>" + date + "</szladatum>",
            "        <teljdatum>" + telj + "</teljdatum>",
            "    </fejlec>"};
}

QStringList item(const QString& name, const QString& menny, const QString& netto,
                 const QString& ear, const QString& kulcs, const QString& ado)
{
    return {"    <termek_szolgaltatas_tetelek>",
            "      <termeknev>" + name + "</termeknev>",
            "      <besorszam>1001</besorszam>",
            "      <menny>" + menny + "</menny>",
            "      <mertekegys>kg</mertekegys>",
            "      <nettoar>" + netto + "</nettoar>",
            "      <nettoegysar>" + ear + "</nettoegysar>",
            "      <adokulcs>" + kulcs + "</adokulcs>",
            "      <adoertek>" + ado + "</adoertek>",
            "    </termek_szolgaltatas_tetelek>"};
}

QStringList deduction(const QString& name, const QString& amount)
{
    return {"    <termek_szolgaltatas_tetelek>",
            "      <termeknev>" + name + "</termeknev>",
            "      <menny>1.00</menny>",
            "      <mertekegys>db</mertekegys>",
            "      <nettoar>" + amount + "</nettoar>",
            "    </termek_szolgaltatas_tetelek>"};
}

QStringList tail(const QString& hatarido)
{
    return {"    <zaradekok>",
            "      <onszamla>true</onszamla>",
            "    </zaradekok>",
            "    <nem_kotelezo>",
            "      <fiz_hatarido>" + hatarido + "</fiz_hatarido>",
            "      <fiz_mod>átutalás</fiz_mod>",
            "      <penznem>Ft</penznem>",
            "      <szla_forma>Papir alapon számítógéppel kiállított</szla_forma>",
            "      <kibocsato_bankszla>11111111-22222222</kibocsato_bankszla>",
            "    </nem_kotelezo>",
            "    <osszesites>"};
}

QStringList rate(const QString& netto, const QString& kulcs, const QString& ado,
                 const QString& brutto)
{
    return {"      <afarovat>",
            "        <nettoar>" + netto + "</nettoar>",
            "        <adokulcs>" + kulcs + "</adokulcs>",
            "        <adoertek>" + ado + "</adoertek>",
            "        <bruttoar>" + brutto + "</bruttoar>",
            "      </afarovat>"};
}

QStringList total(const QString& netto, const QString& afa, const QString& brutto)
{
    return {"      <vegosszeg>",
            "        <nettoarossz>" + netto + "</nettoarossz>",
            "        <afaertekossz>" + afa + "</afaertekossz>",
            "        <bruttoarossz>" + brutto + "</bruttoarossz>",
            "      </vegosszeg>",
            "    </osszesites>",
            "  </szamla>"};
}

QStringList head(const QString& count, const QString& from, const QString& to,
                 const QString& first, const QString& last)
{
    return {"<?xml version=\"1.0\" encoding=\"utf-8\"?>",
            "<szamlak xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
            "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
            "xmlns=\"http://schemas.nav.gov.hu/2013/szamla\">",
            "  <export_datuma>2026-12-09</export_datuma>",
            "  <export_szla_db>" + count + "</export_szla_db>",
            "  <kezdo_ido>" + from + "</kezdo_ido>",
            "  <zaro_ido>" + to + "</zaro_ido>",
            "  <kezdo_szla_szam>" + first + "</kezdo_szla_szam>",
            "  <zaro_szla_szam>" + last + "</zaro_szla_szam>"};
}

void expectValid(const QByteArray& xml)
{
    const xsdcheck::Result v = xsdcheck::validate(xml, kXsd);
    QVERIFY2(v.valid, qPrintable(v.problems.join('\n')));
}

QString columnLength(TestDb& db, const QString& col)
{
    return db.scalar("SELECT f.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS rf JOIN RDB$FIELDS f "
                     "ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE WHERE rf.RDB$RELATION_NAME = "
                     "'NAVFEJ' AND rf.RDB$FIELD_NAME = '" + col + "'");
}

} // namespace

void TstAuditXml::formats()
{
    QCOMPARE(auditxml::xmlAmount(1), QString("1.00"));
    QCOMPARE(auditxml::xmlAmount(-1520), QString("-1520.00"));
    QCOMPARE(auditxml::xmlAmount(7), QString("7.00"));
    QCOMPARE(auditxml::xmlAmount(1234.565), QString("1234.57"));
    QCOMPARE(auditxml::xmlAmount(-1234.565), QString("-1234.57"));
    QCOMPARE(auditxml::xmlAmount(0.005), QString("0.01"));
    QCOMPARE(auditxml::xmlAmount(-0.004), QString("0.00"));
    QCOMPARE(auditxml::xmlAmount(2.675), QString("2.68")); // 2.67499999… in binary
    QCOMPARE(auditxml::xmlAmount(123456789012.345), QString("123456789000.00"));
    QCOMPARE(auditxml::xmlAmount(12345.678901234), QString("12345.68"));
    QCOMPARE(auditxml::xmlDate(QDate(2020, 3, 15)), QString("2020-03-15"));
    QCOMPARE(auditxml::xmlDate(QDate()), QString("--"));
    QCOMPARE(auditxml::xmlText("  A & B <c>  "), QString("A &amp; B &lt;c&gt;"));
    QCOMPARE(auditxml::xmlText(QString("Ki\x01ss") + QChar(0x1F)), QString("Kiss"));
    QVERIFY(auditxml::hasControlChars(QString("a\x0B")));
    QVERIFY(!auditxml::hasControlChars("Árvíztűrő\ttükör"));
}

void TstAuditXml::totals()
{
    // The sums take each line's purchase value, surcharge and price (not its
    // quantity or unit price); a deduction is an item only when not zero, in
    // a fixed order, and stays out of the sums.
    const auditxml::Line wheat{"Búza", "1001", "kg", 100, 5000, 50, 7, 350, 5350};
    const auditxml::Line apple{"Alma", "1001", "kg", 180, 1800, 10, 12, 216, 2016};
    const auditxml::Line back{"Búza", "1001", "kg", -100, -5000, 50, 7, -350, -5350};
    const struct {
        const char* what;
        QList<auditxml::Line> lines;
        auditxml::Deductions d;
        const char* want;
    } cases[] = {
        {"empty", {}, {}, " | 0 0 0"},
        {"lines", {wheat, apple}, {}, " | 6800 566 7366"},
        {"voiding", {back}, {1500, 0, 0}, "Szja levonás 1500 | -5000 -350 -5350"},
        {"every deduction", {wheat}, {-1500, -300, -250},
         "Szja levonás -1500, Tagi hozzájárul levonás -300, Levonás -250 | 5000 350 5350"},
        {"only the one not zero", {}, {0, -300, 0}, "Tagi hozzájárul levonás -300 | 0 0 0"},
    };
    for (const auto& c : cases) {
        const auditxml::Totals t = auditxml::totals(c.lines, c.d);
        QStringList items;
        for (const auditxml::DeductionItem& i : t.deductions)
            items << i.name + " " + QString::number(i.amount);
        QCOMPARE(QString(c.what) + ": " + items.join(", ") +
                     QString(" | %1 %2 %3").arg(t.netto).arg(t.afa).arg(t.brutto),
                 QString(c.what) + ": " + QString::fromUtf8(c.want));
    }
}

void TstAuditXml::wholeFile()
{
    TestDb db;
    threeDocuments(db);
    addLine(db, "29999999", "Más bizonylaté", 1, 1, 7); // not collected
    const rec::Outcome o = auditxml::collect(ctx(), march(), defaults());
    QVERIFY2(o.ok(), qPrintable(o.message + o.dbText));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM navfej"), QString("3"));
    // The default invoice form text (37 characters) fits the work table.
    QCOMPARE(db.scalar("SELECT MAX(ne_szla_forma) FROM navfej"), kPapir);
    QCOMPARE(auditxml::stoppingCheck(&Data->ZCon1), QString());
    QCOMPARE(auditxml::schemaProblems(&Data->ZCon1, options()), QStringList());

    auditxml::Header h;
    const QByteArray xml = auditxml::build(&Data->ZCon1, options(), &h);
    QCOMPARE(h.minbiz, QString("26000001"));
    QCOMPARE(h.maxbiz, QString("26000003"));

    QStringList e = head("3", "2026-03-01", "2026-03-31", "26000001", "26000003");
    e << fejlec("26000001", "1", "2026-03-10", "2026-03-08") << parties();
    e << item("Búza", "100.00", "5000.00", "50.00", "7.00", "350.00");
    e << item("Alma", "180.00", "1800.00", "10.00", "12.00", "216.00");
    e << deduction("Szja levonás", "-1500.00");
    e << tail("2026-03-18");
    e << rate("5000.00", "7.00", "350.00", "5350.00");
    e << rate("1800.00", "12.00", "216.00", "2016.00");
    e << total("6800.00", "566.00", "7366.00");

    e << fejlec("26000002", "4", "2026-03-11", "2026-03-09") << parties();
    e << item("Búza", "-100.00", "-5000.00", "50.00", "7.00", "-350.00");
    e << item("Alma", "-180.00", "-1800.00", "10.00", "12.00", "-216.00");
    e << deduction("Szja levonás", "1500.00");
    e << "    <modosito_szla>"
      << "      <eredeti_sorszam>26000001</eredeti_sorszam>"
      << "    </modosito_szla>";
    e << tail("2026-03-19");
    e << rate("-5000.00", "7.00", "-350.00", "-5350.00");
    e << rate("-1800.00", "12.00", "-216.00", "-2016.00");
    e << total("-6800.00", "-566.00", "-7366.00");

    e << fejlec("26000003", "1", "2026-03-12", "2026-03-10") << parties();
    e << deduction("Levonás", "-250.00");
    e << tail("2026-03-20");
    e << total("0.00", "0.00", "0.00");
    e << "</szamlak>";

    const QByteArray expected = file(e);
    if (xml != expected) {
        const QList<QByteArray> got = xml.split('\n'), want = expected.split('\n');
        for (int i = 0; i < std::min(got.size(), want.size()); ++i)
            QVERIFY2(got[i] == want[i], qPrintable(QString("line %1: %2 <> %3")
                                                        .arg(i + 1)
                                                        .arg(QString::fromUtf8(got[i]),
                                                             QString::fromUtf8(want[i]))));
    }
    QCOMPARE(xml, expected);
    expectValid(xml);
    // Written whole into a folder that did not exist yet.
    QTemporaryDir out;
    const QString path = out.filePath("VADMO6/szamlak.xml");
    auditxml::writeFile(path, xml);
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected);
    QCOMPARE(QDir(out.filePath("VADMO6")).entryList(QDir::Files), QStringList{"szamlak.xml"});

    // Without the optional block, and with the purchase date as the range.
    auditxml::Options o2 = options();
    o2.nemKotelezo = false;
    const QByteArray lean = auditxml::build(&Data->ZCon1, o2);
    QVERIFY(!lean.contains("nem_kotelezo"));
    expectValid(lean);
    auditxml::Range byPurchase = march();
    byPurchase.kind = auditxml::RangeKind::PurchaseDate;
    byPurchase.to = QDate(2026, 3, 9); // the issue and payment dates lie later
    QVERIFY(auditxml::collect(ctx(), byPurchase, defaults()).ok());
    QCOMPARE(db.scalar("SELECT LIST(fe_szlasorszam) FROM (SELECT fe_szlasorszam FROM navfej "
                       "ORDER BY 1)"),
             QString("26000001,26000002"));
}

void TstAuditXml::numberRangeIsText()
{
    TestDb db;
    buyer(db);
    producer(db, "00002", "Kovács & Fia");
    for (const char* n : {"19999999", "20000001", "26000001", "29999999", "30000000"}) {
        ticket(db, n, "2026.03.10");
        addLine(db, n, "Búza", 1, 1, 7);
    }
    auditxml::Range r;
    r.kind = auditxml::RangeKind::Number;
    r.numFrom = "2";
    r.numTo = "3";
    r.from = r.to = QDate(2026, 1, 1); // ignored by number, but still checked
    QVERIFY(auditxml::collect(ctx(), r, defaults()).ok());
    QCOMPARE(db.scalar("SELECT LIST(fe_szlasorszam) FROM (SELECT fe_szlasorszam FROM navfej "
                       "ORDER BY 1)"),
             QString("20000001,26000001,29999999"));
    const QByteArray xml = auditxml::build(&Data->ZCon1, options(r));
    // With a range by number the days come from the documents.
    QVERIFY(xml.contains("\r\n  <kezdo_ido>2026-03-10</kezdo_ido>\r\n  <zaro_ido>2026-03-10</zaro_ido>\r\n"));
    QVERIFY(xml.contains("<kezdo_szla_szam>20000001</kezdo_szla_szam>"));
    expectValid(xml);
}

void TstAuditXml::emptyCollection()
{
    TestDb db;
    buyer(db);
    auditxml::Range r;
    r.kind = auditxml::RangeKind::Number;
    r.numFrom = "5";
    r.numTo = "6";
    const rec::Outcome o = auditxml::collect(ctx(), r, defaults());
    QVERIFY(o.ok());
    QCOMPARE(auditxml::stoppingCheck(&Data->ZCon1), QString());
    const QStringList p = auditxml::schemaProblems(&Data->ZCon1, options(r));
    QCOMPARE(p.size(), 1);
    QVERIFY(p[0].startsWith("Nincs bizonylat"));
    const QByteArray xml = auditxml::build(&Data->ZCon1, options(r));
    QCOMPARE(xml, file(head("0", "--", "--", "", "") << "</szamlak>"));
    // The schema says the same, with the line.
    const xsdcheck::Result v = xsdcheck::validate(xml, kXsd);
    QVERIFY(!v.valid);
    QVERIFY2(v.problems.join('\n').contains("5. sor, <kezdo_ido>"), qPrintable(v.problems.join('\n')));
}

void TstAuditXml::collectionChecks()
{
    TestDb db;
    buyer(db);
    producer(db, "00002", "Kovács & Fia");
    ticket(db, "26000001", "2026.03.10");
    QVERIFY(auditxml::collect(ctx(), march(), defaults()).ok());
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM navfej"), QString("1"));

    auditxml::Range wrong = march();
    wrong.from = QDate(2026, 4, 1);
    wrong.kind = auditxml::RangeKind::Number;
    QCOMPARE(auditxml::collect(ctx(), wrong, defaults()).message, QString("Dátum tól-ig hiba."));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM navfej"), QString("1")); // nothing happened

    db.exec("UPDATE atvevo SET v_utca = '   '");
    const rec::Outcome street = auditxml::collect(ctx(), march(), defaults());
    QCOMPARE(street.message, QString("Javitandó! Nincs megadva az átvevő utca!"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM navfej"), QString("0")); // emptied first
    db.exec("UPDATE atvevo SET v_utca = 'Fő', v_kozadoszam = ' HU1234 '");
    QCOMPARE(auditxml::collect(ctx(), march(), defaults()).message,
             QString("Javitandó! Közösségi adószám legalább 8 karakter!"));
    db.exec("UPDATE atvevo SET v_kozadoszam = 'HU12345678'");
    QVERIFY(auditxml::collect(ctx(), march(), defaults()).ok());

    // A ticket without its payment date: nothing of the range goes in.
    ticket(db, "26000002", "2026.03.11");
    db.exec("UPDATE fjfej SET f_fizkelt = NULL WHERE f_bszam = '26000002'");
    const rec::Outcome missing = auditxml::collect(ctx(), march(), defaults());
    QCOMPARE(missing.kind, rec::Outcome::StepFailed);
    QCOMPARE(missing.message, QString("Hiba401: NAV INSERT -ben"));
    QVERIFY(missing.dbText.contains("26000002"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM navfej"), QString("0"));
}

void TstAuditXml::stoppingChecks()
{
    TestDb db;
    buyer(db);
    producer(db, "00002", "Kovács & Fia", "61");
    ticket(db, "26000001", "2026.03.10");
    QVERIFY(auditxml::collect(ctx(), march(), defaults()).ok());
    QCOMPARE(auditxml::stoppingCheck(&Data->ZCon1),
             QString("Javitandó! Négy karekternél kevesebb a(z) 26000001bizonylatban az őstermelő "
                     "irányitószáma!"));
    db.exec("UPDATE navfej SET ve_iranyitoszam = NULL");
    QCOMPARE(auditxml::stoppingCheck(&Data->ZCon1),
             QString("Javitandó! Nincs megadva a(z) 26000001bizonylatban az őstermelő "
                     "irányitószáma!"));
    db.exec("UPDATE navfej SET ve_iranyitoszam = '6100', ki_iranyitoszam = ' '");
    QCOMPARE(auditxml::stoppingCheck(&Data->ZCon1),
             QString("Javitandó! Nincs megadva az átvevő irányitószám!"));
    db.exec("UPDATE navfej SET ki_iranyitoszam = '6000', ve_kozadoszam = 'HU1'");
    QCOMPARE(auditxml::stoppingCheck(&Data->ZCon1),
             QString("Javitandó! Kevesebb mint 8 karakter a(z) 26000001bizonylatban az őstermelő "
                     "közösségi adószáma!"));
}

void TstAuditXml::schemaProblemsFoundBeforeWriting()
{
    TestDb db;
    buyer(db);
    producer(db, "00002", "Kovács & Fia");
    producer(db, "00003", "");
    ticket(db, "26000001", "2026.03.10");
    addLine(db, "26000001", "", 1, 1, 7);
    db.exec("UPDATE fjsor SET s_megy = '' WHERE s_bszam = '26000001'");
    ticket(db, "26000002", "2026.03.10", "", {}, 0, 0, 0, "00003"); // no lines, no type
    ticket(db, "26000003", "2026.03.10", "4", " ");                 // voiding, no reference
    addLine(db, "26000003", "Óriás tétel", 1e9, 1e4, 7);
    ticket(db, "26000004", "2026.03.10");
    addLine(db, "26000004", QString("Sz\x01ilva"), 1, 1, 7);
    db.exec("UPDATE atvevo SET v_adoszam = '1234', v_irszam = '600'");
    const QString onszla = "igen";
    QVERIFY(auditxml::collect(ctx(), march(), {"/tmp/x", onszla, " "}).ok());

    auditxml::Options o = options();
    const QString all = auditxml::schemaProblems(&Data->ZCon1, o).join('\n');
    for (const char* expected :
         {"Önszámla beállítás (ZA_ONSZAMLA) nem true/false/1/0: 4 bizonylatban, az első: "
          "26000001: \"igen\"",
          "Számla forma beállítás (NE_SZLA_FORMA): 1–100 karakter kell; 4 bizonylatban",
          "26000001 bizonylat: 1. tétel: termék megnevezése hiányzik",
          "26000001 bizonylat: 1. tétel: mértékegység hiányzik",
          "26000001 bizonylat: átvevő adószáma (KI_ADOSZAM) 8 karakternél rövidebb",
          "26000001 bizonylat: átvevő irányítószáma (KI_IRANYITOSZAM)",
          "26000002 bizonylat: bizonylattípus (FE_SZLATIPUS) \"\" nem 1–6",
          "26000002 bizonylat: őstermelő neve (VE_NEV) hiányzik",
          "26000002 bizonylat: nincs tétele és levonása",
          "26000003 bizonylat: érvénytelenítő bizonylat, de nincs eredeti sorszám",
          "26000003 bizonylat: túl nagy összeg",
          "26000004 bizonylat: 1. tétel: vezérlőkarakter"})
        QVERIFY2(all.contains(QString::fromUtf8(expected)), qPrintable(expected + QString("\n---\n") + all));
    QVERIFY(!all.contains("26000004 bizonylat: 1. tétel: termék"));
    // Without the optional block the invoice form is not written, so not checked.
    o.nemKotelezo = false;
    QVERIFY(!auditxml::schemaProblems(&Data->ZCon1, o).join('\n').contains("Számla forma"));

    // Written anyway, the file is still well-formed (no control character) and
    // the schema names what it refuses.
    const QByteArray xml = auditxml::build(&Data->ZCon1, o);
    QVERIFY(!xml.contains('\x01'));
    QVERIFY(xml.contains("<termeknev>Szilva</termeknev>"));
    const xsdcheck::Result v = xsdcheck::validate(xml, kXsd, 50);
    QVERIFY(!v.valid);
    QVERIFY(v.total >= 5);
    QVERIFY2(!v.problems.join('\n').contains("nem XML tartalom"), qPrintable(v.problems.join('\n')));
}

void TstAuditXml::brokenFileReportedWithItsLine()
{
    TestDb db;
    threeDocuments(db);
    QVERIFY(auditxml::collect(ctx(), march(), defaults()).ok());
    QByteArray xml = auditxml::build(&Data->ZCon1, options());
    expectValid(xml);

    // The first document's seller name left out (line 19 of the file).
    QList<QByteArray> lines = xml.split('\n');
    QCOMPARE(lines[18], QByteArray("      <nev>Minta Felvásárló Kft.</nev>\r"));
    lines.removeAt(18);
    xsdcheck::Result v = xsdcheck::validate(lines.join('\n'), kXsd);
    QVERIFY(!v.valid);
    QCOMPARE(v.total, 1);
    QVERIFY2(v.problems[0].startsWith("19. sor, <cim>: ezen a helyen nem várt elem"),
             qPrintable(v.problems[0]));

    // An unescaped "&": not XML at all.
    QByteArray amp = xml;
    amp.replace("Kovács &amp; Fia", "Kovács & Fia");
    v = xsdcheck::validate(amp, kXsd);
    QVERIFY(!v.valid);
    QVERIFY2(v.problems.join('\n').contains("29. sor"), qPrintable(v.problems.join('\n')));
    const QString msg = xsdcheck::message(v, "/x/szamlak.xml");
    QVERIFY(msg.contains("NEM SZABAD elküldeni"));
}

void TstAuditXml::narrowWorkTableWidened()
{
    TestDb db;
    // The work table as older databases have it.
    QFile f(QString(VADMO_SOURCE_DIR) + "/src/data/schema.sql");
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString schema = QString::fromUtf8(f.readAll());
    const QRegularExpression create("CREATE GLOBAL TEMPORARY TABLE NAVFEJ \\([^;]*\\)");
    QString old = create.match(schema).captured(0).replace("GLOBAL TEMPORARY ", "");
    QVERIFY(old.contains("NE_SZLA_FORMA VARCHAR(100)"));
    old.replace("NE_SZLA_FORMA VARCHAR(100)", "NE_SZLA_FORMA VARCHAR(20)");
    old.replace("ZA_ONSZAMLA VARCHAR(100)", "ZA_ONSZAMLA VARCHAR(5)");
    db.exec("DROP TABLE NAVFEJ");
    db.exec(old);
    QCOMPARE(columnLength(db, "NE_SZLA_FORMA"), QString("20"));

    buyer(db);
    producer(db, "00002", "Kovács & Fia");
    ticket(db, "26000001", "2026.03.10");
    const rec::Outcome narrow = auditxml::collect(ctx(), march(), defaults());
    QCOMPARE(narrow.message, QString("Hiba401: NAV INSERT -ben"));

    QVERIFY(navtables::widen(&Data->ZCon1));
    QCOMPARE(columnLength(db, "NE_SZLA_FORMA"), QString("100"));
    QCOMPARE(columnLength(db, "ZA_ONSZAMLA"), QString("100"));
    QVERIFY(navtables::widen(&Data->ZCon1)); // a second run has nothing to do
    QVERIFY(auditxml::collect(ctx(), march(), defaults()).ok());
    QCOMPARE(db.scalar("SELECT ne_szla_forma FROM navfej"), kPapir);
}

void TstAuditXml::screen()
{
    TestDb db;
    db.selectBuyer();
    threeDocuments(db);
    QVERIFY(QFile::copy(kXsd, "23_2014_szamlasema.xsd"));
    const QString ini = settings::iniFileName("XML.ini");
    const QString out = QDir::current().filePath("export/szamlak.xml");
    QDir().mkpath("export");
    textfile::writeLines(ini, {"[XML]", "hova=" + out, "onszla=true", "papir=Papír alapú"});
    QFile prev(out);
    QVERIFY(prev.open(QIODevice::WriteOnly));
    prev.write("az előző export");
    prev.close();

    UiScope scope;
    scope.ui.todayValue = QDate(2026, 3, 20);
    TForm40 f;
    QCOMPARE(f.pathField()->text(), out);
    QCOMPARE(f.papirField()->text(), QString("Papír alapú"));
    QCOMPARE(f.dateFrom()->date(), QDate(2026, 3, 20));
    QVERIFY(!f.exportButton()->isEnabled());
    QVERIFY(QFile::exists(out)); // opening keeps the earlier export

    // The self-billing box writes its text; "Mentés" stores the three keys.
    f.onszlaBox()->setChecked(false);
    QCOMPARE(f.onszlaField()->text(), QString("false"));
    f.onszlaBox()->setChecked(true);
    QCOMPARE(f.onszlaField()->text(), QString("true"));
    f.papirField()->setText(kPapir);
    f.MentesClick();
    const auditxml::Settings saved = auditxml::readSettings(ini);
    QCOMPARE(saved.papir, kPapir);
    QCOMPARE(saved.hova, out);
    QCOMPARE(saved.onszla, QString("true"));

    f.XmlBetoltesClick();
    QCOMPARE(f.xmlViewer()->toPlainText(), QString("az előző export"));
    f.XsdBetoltesClick();
    QVERIFY(f.xsdViewer()->toPlainText().contains("szamlak_tipus"));

    f.dateFrom()->setDate(QDate(2026, 3, 1));
    scope.ui.clear();
    QTest::mouseClick(f.collectButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log, QStringList{"msg:" + auditxml::collectedMessage()});
    QVERIFY(f.exportButton()->isEnabled());
    QCOMPARE(f.grid()->model()->rowCount(), 3);

    // "Mégsem" on the progress: the earlier export stays as it was.
    scope.ui.clear();
    scope.ui.cancelAt = 1;
    QTest::mouseClick(f.exportButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY2(scope.ui.log[0].contains("megszakítva"), qPrintable(scope.ui.log[0]));
    QCOMPARE(scope.ui.progressOpen, 0);
    QFile kept(out);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("az előző export"));

    scope.ui.clear();
    QTest::mouseClick(f.exportButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 2);
    QCOMPARE(scope.ui.log[0], "msg:" + auditxml::exportedMessage(out));
    QVERIFY2(scope.ui.log[1].contains("érvényes"), qPrintable(scope.ui.log[1]));
    QCOMPARE(f.numFrom()->text(), QString("26000001"));
    QCOMPARE(f.numTo()->text(), QString("26000003"));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray xml = written.readAll();
    expectValid(xml);
    QVERIFY(QDir("export").entryList(QDir::Files) == QStringList{"szamlak.xml"});

    // A typed folder that does not exist is asked about; "No" makes nothing.
    f.pathField()->setText(QDir::current().filePath("nincs/szamlak.xml"));
    scope.ui.clear();
    scope.ui.answers = {false};
    QTest::mouseClick(f.exportButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log, QStringList{"ask:" + folders::question(QDir::current().filePath("nincs"))});
    QVERIFY(!QDir("nincs").exists());
    f.pathField()->setText(out);

    // A problem the schema would refuse: the user is asked, and "No" writes nothing.
    db.exec("UPDATE navfej SET ne_szla_forma = ' '");
    f.nemKotelezoBox()->setChecked(true);
    f.papirField()->setText(" ");
    scope.ui.clear();
    scope.ui.answers = {false};
    QTest::mouseClick(f.exportButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].startsWith("ask:Javitandó!"));
    QFile again(out);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), xml);

    // Written anyway: the verdict says it must not be sent.
    scope.ui.clear();
    scope.ui.answers = {true};
    QTest::mouseClick(f.exportButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 3);
    QVERIFY2(scope.ui.log[2].contains("NEM SZABAD elküldeni"), qPrintable(scope.ui.log[2]));

    // "Tallóz" names a new file; the last export stays where it is.
    const QString other = QDir::current().filePath("export/szamlak00001.xml");
    scope.ui.files = {other};
    f.TallozClick();
    QCOMPARE(f.pathField()->text(), other);
    QVERIFY(QFile::exists(out));

    scope.ui.clear();
    f.XmlBetoltesClick(); // nothing exported under the new name yet
    QCOMPARE(scope.ui.log, QStringList{"msg:Nincs \"szamlak.XML\" fálj!"});
    QFile::remove("23_2014_szamlasema.xsd");
    scope.ui.clear();
    f.XsdBetoltesClick();
    QCOMPARE(scope.ui.log, QStringList{"msg:Nincs \"23_2014_szamlasema.xsd\" fálj!"});
    QVERIFY(f.xsdViewer()->toPlainText().contains("szamlak_tipus")); // keeps its text
}

QTEST_MAIN(TstAuditXml)
#include "tst_auditxml.moc"

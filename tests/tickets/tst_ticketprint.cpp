// The ticket print: every report variable, the print mark and the copy mark,
// the edition rules, and the document the templates make of it.
#include "ticketfixture.h"

#include "tickets/Unit8.h"
#include "reports/engine/Report.h"
#include "tickets/ticketlist.h"
#include "tickets/ticketprint.h"
#include "tickets/words.h"

#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class TstTicketPrint : public QObject {
    Q_OBJECT
private slots:
    void cashTicketWithAdvance();
    void transferTicket();
    void contributionByEdition();
    void voidingDocument();
    void viewAndPrintThroughTheList();
    void templatesMakeTheDocument();
    void longNamesWrapInTheirCells();
    void longProducerDataNeverOverlaps();
    void copiesOverSeveralPages();
    void noMarkWithoutPages();
    void pdfNameOfTheTicket();
};

namespace {

QString v(const char* name) { return rep::variable(name).toString(); }
double n(const char* name) { return rep::variable(name).toDouble(); }

// The list standing on the ticket, as the user would have it.
void standOn(const QString& bszam)
{
    G.aktBszam = bszam;
    ticketlist::requery();
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), bszam);
}

// Cash, 15 % advance, 2 % contribution: 7000 − 1050 − 119 = 5831 → 5830.
void addCashTicket(TestDb& db, const QString& bszam = "20260001")
{
    TicketSpec t;
    t.bszam = bszam;
    t.szja = 15;
    t.jarulszaz = 2;
    addTicket(db, t);
    addLine(db, bszam, "Búza", 100, 62.5, 12);
}

// A 75-character product name (the column's length) with a 10-digit VTSZ.
QString longName(int i)
{
    QString n = QString("%1. Étkezési őszi búza, malmi minőség, tisztítva és szárítva, ömlesztve").arg(i);
    n = n.leftJustified(75, QLatin1Char('x'), true);
    return n;
}

void addLongLines(TestDb& db, const QString& bszam, int count)
{
    for (int i = 1; i <= count; ++i)
        addLine(db, bszam, longName(i), 1000 + i, 62.5, 12);
    db.exec("update fjsor set s_vtsz = '1001990000' where s_bszam = '" + bszam + "'");
}

// Every fault of the printed pages: a text cut at its box, two texts on top of
// each other, anything beyond the bottom margin.
QStringList layoutFaults(const std::vector<rep::PreparedPage>& pages)
{
    QStringList faults;
    for (size_t p = 0; p < pages.size(); ++p) {
        std::vector<const rep::PreparedItem*> texts;
        for (const auto& it : pages[p].items) {
            if (it.kind != rep::PreparedItem::Text || it.text.trimmed().isEmpty())
                continue;
            texts.push_back(&it);
            if (it.clipped)
                faults << QString("%1: cut: %2").arg(p + 1).arg(it.text);
            if (it.rect.bottom() > pages[p].size.height() - 8 + 0.01)
                faults << QString("%1: below the margin: %2").arg(p + 1).arg(it.text);
        }
        for (size_t i = 0; i < texts.size(); ++i)
            for (size_t j = i + 1; j < texts.size(); ++j) {
                const QRectF both = texts[i]->rect & texts[j]->rect;
                if (both.width() > 0.05 && both.height() > 0.05)
                    faults << QString("%1: overlap: %2 / %3").arg(p + 1).arg(texts[i]->text, texts[j]->text);
            }
    }
    return faults;
}

int countText(const std::vector<rep::PreparedPage>& pages, const QString& text)
{
    int n = 0;
    for (const auto& p : pages)
        n += int(p.texts().count(text));
    return n;
}

// Prints the ticket the list stands on, as "Megtekint" does, and keeps the pages.
std::vector<rep::PreparedPage> viewPages(RecordingUi& ui)
{
    rep::Report* r = Data->frMegtekint.get();
    if (!ticketprint::print(ticketprint::Mode::View, *r)) {
        qWarning() << ui.log;
        return {};
    }
    if (!qEnvironmentVariableIsEmpty("VADMO_TICKET_PDF_DIR"))
        r->exportPdf(qEnvironmentVariable("VADMO_TICKET_PDF_DIR") + "/" + r->fileName());
    return r->pages();
}

} // namespace

void TstTicketPrint::cashTicketWithAdvance()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    addCashTicket(db);
    // Another buyer's ticket under the same number must not enter the sums.
    db.exec("insert into atvevo (v_neve, v_akod) values ('Másik', '00002')");
    addTicket(db, TicketSpec{"20260001"}, "00002");
    standOn("20260001");

    auto out = ticketprint::prepareData();
    QCOMPARE(out.payable, qint64(5830));
    QVERIFY(!out.copy);
    QVERIFY(!out.marked);
    QCOMPARE(v("v_ostermeloutca"), QString(" Petőfi Sándor utca 12    "));
    QCOMPARE(v("v_atvevoutca"), QString(" Fő utca 1    "));
    QCOMPARE(n("v_far"), 6250.0);
    QCOMPARE(n("v_kar"), 750.0);
    QCOMPARE(n("v_var"), 7000.0);
    QCOMPARE(n("v_szja"), 15.0);
    QCOMPARE(n("v_szja2"), 1050.0);
    QCOMPARE(n("v_jszaz"), 2.0);
    QCOMPARE(n("v_jarul"), 119.0);
    QCOMPARE(n("v_levon"), 0.0);
    QCOMPARE(v("v_kif"), QString("5830"));
    QCOMPARE(v("v_azaz"), QString("ötezer-nyolcszázharminc  00/100 Forint"));
    QCOMPARE(v("v_fizmod"), QString("Fizetés módja: Kp."));
    QCOMPARE(v("v_utal"), QString(" "));
    QCOMPARE(v("v_kp1"), QString("Az adóelöleggel csökkentett vételár összegét 5830 Ft -ot, azaz"));
    QCOMPARE(v("v_kp2"), QString("ötezer-nyolcszázharminc  00/100 Forint -ot a mai napon átvettem."));
    QCOMPARE(v("v_kp3"), QString("Az összeg átvételének idöpontja:2026.03.11"));
    QCOMPARE(v("v_kp4"), QString(77, '.'));
    QCOMPARE(v("v_kp5"), QString(" a mezögazd. tevék. folytató adóalany aláirása"));
    QCOMPARE(v("v_nyilatk1"), QString("Nyilatkozat: Saját termelésből származik."));
    QCOMPARE(v("v_nyilatk2"), QString(77, '.'));
    QCOMPARE(v("v_nyilatk3"), QString(" a mezögazd. tevék. folytató adóalany aláirása"));
    QCOMPARE(v("v_masolat"), QString(" "));
    QCOMPARE(v("v_ervenyteleniti"), QString());
    // The named data the template reads.
    QCOMPARE(Data->ZQ20->recordCount(), 1);
    QCOMPARE(Data->ZQ30->asString("O_NEV"), QString("Kovács János"));
    QCOMPARE(Data->ZQ60->asString("V_AKOD"), QString("00001"));
    QCOMPARE(Data->ZQ11->asString("F_AKOD"), QString("00001"));
    QVERIFY(db.scalar("select f_prn from fjfej where f_akod = '00001'").isEmpty());

    // Without an advance the receipt speaks of the purchase price.
    db.exec("update fjfej set f_szja = 0 where f_bszam = '20260001'");
    ticketprint::prepareData();
    QCOMPARE(v("v_kp1"), QString("A vételár összegét 6860 Ft -ot, azaz"));
}

void TstTicketPrint::transferTicket()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TicketSpec t;
    t.bszam = "20260002";
    t.transfer = true;
    t.levonas = 100;
    t.nyilatk = "rövid";
    t.kelt = "2026.04.01";
    addTicket(db, t);
    addLine(db, "20260002", "Tojás", 10, 100.7, 7);
    standOn("20260002");
    // 1077.49 − 100 = 977.49 → 977 by transfer (cash would give 975).
    auto out = ticketprint::prepareData();
    QCOMPARE(out.payable, qint64(977));
    QCOMPARE(v("v_kif"), QString("977"));
    QCOMPARE(n("v_levon"), 100.0);
    QCOMPARE(n("v_szja2"), 0.0);
    QCOMPARE(v("v_fizmod"), QString("Fizetés módja: Átutalás"));
    QCOMPARE(v("v_utal"), QString("Átutalás határideje:  2026.04.02"));
    for (const char* k : {"v_kp1", "v_kp2", "v_kp3", "v_kp4", "v_kp5"})
        QVERIFY2(v(k).isEmpty(), k);
    QCOMPARE(v("v_nyilatk1"), QString(" "));
    QCOMPARE(v("v_nyilatk2"), QString(" "));
    QCOMPARE(v("v_nyilatk3"), QString("  "));
    QCOMPARE(v("v_azaz"), QString("kilencszázhetvenhét  00/100 Forint"));
}

void TstTicketPrint::contributionByEdition()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TicketSpec t;
    t.bszam = "20260003";
    t.szja = 15;
    t.jarulszaz = 2;
    addTicket(db, t);
    addLine(db, "20260003", "Napraforgó", 100, 80, 12.5); // far 8000, kar 1000
    addLine(db, "20260003", "Búza", 10, 100, 0);         // far 1000
    standOn("20260003");
    struct Case {
        const char* letter;
        double jarul;
        const char* kif;
    };
    // far 9000, var 10000, advance 1500: L takes 2 % of far, O of var, the rest of var − advance.
    for (const Case& c : {Case{"L", 180, "8320"}, Case{"O", 200, "8300"}, Case{"", 170, "8330"},
                          Case{"X", 170, "8330"}}) {
        G.verzioBetu = c.letter;
        ticketprint::prepareData();
        QCOMPARE(n("v_jarul"), c.jarul);
        QCOMPARE(v("v_kif"), QString(c.kif));
    }
    QCOMPARE(ticketprint::templateName("L"), QString("FjLista7L.frf"));
    QCOMPARE(ticketprint::templateName(""), QString("FjLista7.frf"));
}

void TstTicketPrint::voidingDocument()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    TicketSpec t;
    t.bszam = "20260010";
    t.tipus = "4";
    t.ervenyt = "20260001";
    t.szja = 15;
    t.jarulszaz = 2;
    addTicket(db, t);
    addLine(db, "20260010", "Búza", -100, 62.5, 12);
    standOn("20260010");
    auto out = ticketprint::prepareData();
    QCOMPARE(out.payable, qint64(-5830));
    QCOMPARE(v("v_kif"), QString("-5830"));
    QCOMPARE(v("v_azaz"), QString("mínusz ötezer-nyolcszázharminc  00/100 Forint"));
    QCOMPARE(v("v_ervenyteleniti"), QString("Érvényteleníti a 20260001 számú bizonylatot."));
    // A header without type or reference is no voiding document.
    db.exec("update fjfej set f_tipus = null, f_ervenyt = null");
    ticketprint::prepareData();
    QCOMPARE(v("v_ervenyteleniti"), QString());
}

void TstTicketPrint::viewAndPrintThroughTheList()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyTicketTemplates();
    addCashTicket(db, "20260001");
    addCashTicket(db, "20260002");
    // Another buyer's series uses the same number; printing ours leaves it alone.
    db.exec("insert into atvevo (v_neve, v_akod) values ('Másik', '00002')");
    addTicket(db, TicketSpec{"20260001"}, "00002");
    G.aktBszam = "20260001";
    TForm8 f;
    f.show();
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), QString("20260001"));
    auto prn = [&] {
        return db.scalar("select f_prn from fjfej where f_bszam = '20260001' and f_akod = '00001'");
    };

    QStringList masolat;
    s.ui.onModal = [&](QDialog*) {
        masolat << v("v_masolat");
        return 0;
    };
    f.button("Button3")->click(); // Megtekint
    QVERIFY(prn().isEmpty());
    f.button("Button4")->click(); // Nyomtat: no copy mark, marks
    QCOMPARE(prn(), QString("I"));
    f.button("Button4")->click(); // again: a copy
    f.button("Button3")->click();
    QCOMPARE(masolat, (QStringList{" ", " ", "MÁSOLATI PÉLDÁNY", "MÁSOLATI PÉLDÁNY"}));
    QVERIFY(s.ui.log.isEmpty());
    // The mark is committed at once: a rollback of the shared transaction keeps it.
    Data->ZCon1.startTransaction();
    Data->ZCon1.rollback();
    QCOMPARE(prn(), QString("I"));
    QCOMPARE(db.scalar("select count(*) from fjfej where f_prn = 'I'"), QString("1"));
    // Back on the current ticket, in number order, with the list's print mark read again.
    QCOMPARE(Data->ZQ10->asString("F_BSZAM"), QString("20260001"));
    QCOMPARE(Data->ZQ10->asString("F_PRN"), QString("I"));
    QCOMPARE(f.orderLabel()->text(), QString("A lista, \"Bszám\" szerint"));
}

void TstTicketPrint::templatesMakeTheDocument()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyTicketTemplates();
    db.exec("update ostermelo set o_adoszam = '12345678213', o_betetlap = 'BL-7', "
            "o_bankszla = '11773016-22222222' where o_kod = '00001'");
    addCashTicket(db, "20260001");
    addLine(db, "20260001", "Napraforgó", 1234.5, 140, 12);
    TicketSpec vd;
    vd.bszam = "20260002";
    vd.tipus = "4";
    vd.ervenyt = "20260001";
    vd.szja = 15;
    vd.jarulszaz = 2;
    vd.kelt = "2026.03.12";
    addTicket(db, vd);
    addLine(db, "20260002", "Búza", -100, 62.5, 12);
    addLine(db, "20260002", "Napraforgó", -1234.5, 140, 12);

    const QString keep = qEnvironmentVariable("VADMO_TICKET_PDF_DIR");
    for (const QString& bszam : {QString("20260001"), QString("20260002")}) {
        standOn(bszam);
        for (const QString& letter : {QString(), QString("L"), QString("O")}) {
            G.verzioBetu = letter;
            rep::Report* r = Data->frNyomtat.get();
            QVERIFY2(ticketprint::print(ticketprint::Mode::View, *r), qPrintable(s.ui.log.join('\n')));
            QCOMPARE(r->pages().size(), size_t(1)); // both copies on one sheet
            const QStringList texts = r->pages()[0].texts();
            QCOMPARE(texts.count("Sorszám: " + bszam), 2);
            QVERIFY(texts.contains("1. példány: Az átvevöé"));
            QVERIFY(texts.contains("2. példány: Az östermelőé"));
            QCOMPARE(texts.count("12345676-2-03"), 2); // buyer's tax number, 8-1-2
            QCOMPARE(texts.count("12345678-2-13"), 2);
            QCOMPARE(texts.count("123 456 788"), 2); // TAJ in three groups
            QCOMPARE(texts.count("Napraforgó (1206)") + texts.count("Napraforgó (1001)"), 2);
            QCOMPARE(texts.count(v("v_azaz")), 2);
            if (bszam == "20260002")
                QCOMPARE(texts.count("Érvényteleníti a 20260001 számú bizonylatot."), 2);
            if (!keep.isEmpty())
                QVERIFY(r->exportPdf(keep + "/ticket_" + bszam + "_" +
                                     (letter.isEmpty() ? "-" : letter) + ".pdf"));
        }
    }
}

// Every row shows its whole name and tariff number: a name too long for the
// column wraps and its row grows, with the other cells as high.
void TstTicketPrint::longNamesWrapInTheirCells()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyTicketTemplates();
    addTicket(db, TicketSpec{"20260001"});
    addLongLines(db, "20260001", 3);
    addLine(db, "20260001", "Búza", 10, 62.5, 12);
    standOn("20260001");
    const auto pages = viewPages(s.ui);
    QVERIFY(!pages.empty());
    QCOMPARE(longName(1).size(), 75);
    for (int i = 1; i <= 3; ++i) {
        const QString row = longName(i) + " (1001990000)";
        QCOMPARE(countText(pages, row), 2);
        for (const auto& page : pages)
        for (const auto& it : page.items) {
            if (it.text != row)
                continue;
            QVERIFY2(!it.clipped, qPrintable(row));
            QVERIFY(it.rect.height() > 6); // two lines at least
            // the quantity cell of the same row is as high as the name
            const rep::PreparedItem* qty = nullptr;
            for (const auto& o : page.items)
                if (o.kind == rep::PreparedItem::Text && qFuzzyCompare(o.rect.top(), it.rect.top()) &&
                    o.rect.left() > it.rect.left() && o.text.startsWith("1 00"))
                    qty = &o;
            QVERIFY(qty);
            QCOMPARE(qty->rect.height(), it.rect.height());
        }
    }
    QCOMPARE(countText(pages, "Búza (1001)"), 2);
    const QStringList faults = layoutFaults(pages);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

// A producer born in Hódmezővásárhely, with every field as long as real data
// gets: the birth date stays visible and no field runs into another.
void TstTicketPrint::longProducerDataNeverOverlaps()
{
    UiScope s;
    TestDb db(true);
    db.exec("update atvevo set v_neve = 'Dél-alföldi Mezőgazdasági Termelő, Felvásárló és Szolgáltató "
            "Szövetkezet', v_helyseg = 'Hódmezővásárhely', v_kerulet = 'II.', "
            "v_utca = 'Szentesi Dr. Kovács Ferenc Gyula', v_jelleg = 'körút', v_hazszam = '123/B', "
            "v_epulet = 'C', v_lepcso = '2', v_szint = '10', v_ajto = '45', "
            "v_bankszla = '11773016-22222222-33333333'");
    db.selectBuyer();
    db.exec("update ostermelo set o_nev = 'Hódmezővásárhelyi-Kiskunfélegyházi Bernadett', "
            "o_szulhely = 'Hódmezővásárhely', o_szido = '1970-05-12', o_helysegnev = "
            "'Balatonfenyves-Alsóbélatelep-Felsőmajor', o_kerulet = 'XXIII.', "
            "o_utca = 'Szent István király', o_jelleg = 'sugárút', o_hazszam = '1234/5', "
            "o_epulet = 'A/2', o_lepcso = 'III', o_szint = 'fsz.', o_ajto = '12/a', "
            "o_szulnev = 'Hódmezővásárhelyi-Kiskunfélegyházi Bernadett', "
            "o_anyja = 'Szentgyörgyvölgyi-Mezőkovácsházi Erzsébet', "
            "o_betetlap = 'BL-2026-000123456789', o_kamara = 'KAM-HU-0123456789012', "
            "o_felir = 'FELIR-1234567890ABCD', o_regszam = '1234567890', "
            "o_adoszam = '12345678213', o_csgazd = '12345678', o_bankszla = "
            "'11773016-22222222-44444444' where o_kod = '00001'");
    copyTicketTemplates();
    TicketSpec t{"20260001"};
    t.szja = 15;
    t.jarulszaz = 2;
    t.megj = QString("Szállítólevél 2026/12345, mázsajegy 998877, ").repeated(5).left(200);
    t.nyilatk = QString("Kijelentem, hogy a terméket saját gazdaságomban állítottam elő. ").repeated(4).left(250);
    addTicket(db, t);
    addLongLines(db, "20260001", 2);
    standOn("20260001");
    for (const QString& letter : {QString(), QString("L"), QString("O")}) {
        G.verzioBetu = letter;
        const auto pages = viewPages(s.ui);
        QVERIFY(!pages.empty());
        QCOMPARE(countText(pages, "Hódmezővásárhely, 1970.05.12"), 2);
        const QStringList faults = layoutFaults(pages);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
    // The buyer's street line keeps its district.
    QVERIFY(rep::variable("v_atvevoutca").toString().startsWith("II. Szentesi"));
}

// Two copies that do not fit one sheet start on pages of their own; a copy
// longer than a page goes on with its label, number, "folytatás" and the
// column titles, its pages numbered within the copy.
void TstTicketPrint::copiesOverSeveralPages()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyTicketTemplates();
    auto copyOf = [](const rep::PreparedPage& p) {
        const QStringList t = p.texts();
        return t.contains("1. példány: Az átvevöé") ? 1 : (t.contains("2. példány: Az östermelőé") ? 2 : 0);
    };
    auto bothOn = [](const rep::PreparedPage& p) {
        const QStringList t = p.texts();
        return t.contains("1. példány: Az átvevöé") && t.contains("2. példány: Az östermelőé");
    };

    // 12 short lines: too many for one sheet, one page per copy.
    addTicket(db, TicketSpec{"20260012"});
    for (int i = 1; i <= 12; ++i)
        addLine(db, "20260012", QString("Termék %1").arg(i), 10 * i, 62.5, 12);
    standOn("20260012");
    auto pages = viewPages(s.ui);
    QCOMPARE(pages.size(), size_t(2));
    QCOMPARE(copyOf(pages[0]), 1);
    QCOMPARE(copyOf(pages[1]), 2);
    QVERIFY(!bothOn(pages[0]) && !bothOn(pages[1]));
    for (const auto& p : pages) {
        const QStringList t = p.texts();
        QCOMPARE(t.count("Sorszám: 20260012"), 1);
        QCOMPARE(t.count("Megnevezés (VTSZ)"), 1);
        QCOMPARE(t.count("1./1. oldal"), 1);
        QCOMPARE(t.count("Összesen:"), 1);
        for (int i = 1; i <= 12; ++i)
            QCOMPARE(t.count(QString("Termék %1 (1001)").arg(i)), 1);
    }
    QVERIFY2(layoutFaults(pages).isEmpty(), qPrintable(layoutFaults(pages).join('\n')));

    // 40 lines with 75-character names: each copy runs over two pages, its
    // rows too.
    addTicket(db, TicketSpec{"20260030"});
    addLongLines(db, "20260030", 40);
    standOn("20260030");
    pages = viewPages(s.ui);
    QCOMPARE(pages.size(), size_t(4));
    const int copies[] = {1, 1, 2, 2};
    for (size_t p = 0; p < pages.size(); ++p) {
        const QStringList t = pages[p].texts();
        QCOMPARE(copyOf(pages[p]), copies[p]);
        QVERIFY(!bothOn(pages[p]));
        QCOMPARE(t.first(), copies[p] == 1 ? QString("1. példány: Az átvevöé") : QString("2. példány: Az östermelőé"));
        QCOMPARE(t.count("Sorszám: 20260030"), 1);
        QCOMPARE(t.count(QString("%1./2. oldal").arg(p % 2 + 1)), 1);
        const bool further = p % 2 == 1;
        QCOMPARE(t.contains("FELVÁSÁRLÁSI JEGY – folytatás"), further);
        QCOMPARE(t.contains("Összesen:"), further); // the totals close each copy
        // The column titles stand above the rows on every page, the further ones too.
        const qsizetype titles = t.indexOf("Megnevezés (VTSZ)");
        QVERIFY2(titles >= 0, qPrintable(QString::number(p)));
        int rows = 0;
        for (int i = 1; i <= 40; ++i) {
            const qsizetype row = t.indexOf(longName(i) + " (1001990000)");
            if (row >= 0) {
                QVERIFY(row > titles);
                ++rows;
            }
        }
        QVERIFY(rows > 0);
    }
    for (int i = 1; i <= 40; ++i)
        QCOMPARE(countText(pages, longName(i) + " (1001990000)"), 2);
    QVERIFY2(layoutFaults(pages).isEmpty(), qPrintable(layoutFaults(pages).join('\n')));
}

// "Nyomtat" marks a ticket only when there were pages to print: a missing or
// broken template says why in Hungarian, naming the file, and leaves it
// unmarked; and it prints a first copy only once the mark is stored.
void TstTicketPrint::noMarkWithoutPages()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    addCashTicket(db, "20260001");
    G.aktBszam = "20260001";
    QFile::remove("FjLista7.frf");
    TForm8 f;
    f.show();
    auto prn = [&] { return db.scalar("select f_prn from fjfej where f_bszam = '20260001'"); };

    f.button("Button4")->click(); // Nyomtat, no template
    QVERIFY(prn().isEmpty());
    QVERIFY(s.ui.modalNames.isEmpty());
    QCOMPARE(s.ui.log.size(), 1);
    const QString path = QDir::toNativeSeparators(QDir::current().absoluteFilePath("FjLista7.frf"));
    QCOMPARE(s.ui.log[0], "msg:A nyomtatási sablon nem nyitható meg: " + path + " (a fájl nem létezik)");

    s.ui.clear();
    QFile bad("FjLista7.frf");
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("band static height=5\n  text x=0 y=0 w=50 h=5 \"[ZQ11.F_NINCS]\"\nend\n");
    bad.close();
    f.button("Button4")->click(); // broken template
    QVERIFY(prn().isEmpty());
    QVERIFY(s.ui.modalNames.isEmpty());
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY2(s.ui.log[0].startsWith("msg:FjLista7.frf") && s.ui.log[0].contains("F_NINCS"), qPrintable(s.ui.log[0]));

    // Another computer holds the ticket (a change not yet saved): the mark
    // cannot be stored, so no first print opens.
    s.ui.clear();
    copyTicketTemplates();
    {
        fb::Connection other;
        other.attach(db.file());
        other.executeImmediate("UPDATE fjfej SET f_megj = 'A' WHERE f_bszam = '20260001'");
        f.button("Button4")->click();
        QVERIFY(prn().isEmpty());
        QVERIFY(s.ui.modalNames.isEmpty());
        QCOMPARE(s.ui.log.size(), 1);
        QVERIFY2(s.ui.log[0].startsWith("msg:Hiba81: prn UPDATE Fjfej-be \n"), qPrintable(s.ui.log[0]));
        other.rollback();
    }

    s.ui.clear();
    f.button("Button4")->click(); // now it prints, and marks
    QCOMPARE(prn(), QString("I"));
    QCOMPARE(s.ui.modalNames, QStringList{"ReportPreview"});
    QVERIFY(s.ui.log.isEmpty());
    f.close();
}

// Saving a ticket as PDF offers a name of its own in the documents folder.
void TstTicketPrint::pdfNameOfTheTicket()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyTicketTemplates();
    addCashTicket(db, "20260007");
    standOn("20260007");
    rep::Report* r = Data->frNyomtat.get();
    QVERIFY(ticketprint::print(ticketprint::Mode::Print, *r));
    QCOMPARE(r->fileName(), QString("felvasarlasi_jegy_20260007.pdf"));
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty() || !QFileInfo(docs).isDir())
        docs = QDir::homePath();
    QCOMPARE(r->proposedPdfPath(), QDir(docs).filePath("felvasarlasi_jegy_20260007.pdf"));
    QVERIFY(!r->proposedPdfPath().startsWith(QDir::currentPath())); // not beside the program
    // The PDF's title is the document's, not the template's file name.
    QVERIFY(r->exportPdf("jegy.pdf"));
    QProcess info;
    info.start("pdfinfo", {"jegy.pdf"});
    QVERIFY(info.waitForFinished());
    QVERIFY(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression(
        QString::fromUtf8("^Title: +Felvásárlási jegy 20260007$"), QRegularExpression::MultilineOption)));
}

QTEST_MAIN(TstTicketPrint)
#include "tst_ticketprint.moc"

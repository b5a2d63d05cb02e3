// The ticket print: every report variable, the print mark and the copy mark,
// the edition rules, and the document the templates make of it.
#include "ticketfixture.h"

#include "tickets/Unit8.h"
#include "reports/engine/Report.h"
#include "tickets/ticketlist.h"
#include "tickets/ticketprint.h"
#include "tickets/words.h"

#include <QLabel>
#include <QPushButton>
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

    auto out = ticketprint::prepare(ticketprint::Mode::View);
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
    QCOMPARE(v("v_kp3"), QString("Az összeg átvételének idöpontja:2026.03.10"));
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
    ticketprint::prepare(ticketprint::Mode::View);
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
    auto out = ticketprint::prepare(ticketprint::Mode::View);
    QCOMPARE(out.payable, qint64(977));
    QCOMPARE(v("v_kif"), QString("977"));
    QCOMPARE(n("v_levon"), 100.0);
    QCOMPARE(n("v_szja2"), 0.0);
    QCOMPARE(v("v_fizmod"), QString("Fizetés módja: Átutalás"));
    QCOMPARE(v("v_utal"), QString("Átutalás határideje:  2026.04.01"));
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
        ticketprint::prepare(ticketprint::Mode::View);
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
    auto out = ticketprint::prepare(ticketprint::Mode::View);
    QCOMPARE(out.payable, qint64(-5830));
    QCOMPARE(v("v_kif"), QString("-5830"));
    QCOMPARE(v("v_azaz"), QString("mínusz ötezer-nyolcszázharminc  00/100 Forint"));
    QCOMPARE(v("v_ervenyteleniti"), QString("Érvényteleníti a 20260001 számú bizonylatot."));
    // A header without type or reference is no voiding document.
    db.exec("update fjfej set f_tipus = null, f_ervenyt = null");
    ticketprint::prepare(ticketprint::Mode::View);
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
            ticketprint::prepare(ticketprint::Mode::Print);
            rep::Report* r = Data->frNyomtat.get();
            r->setOrientation(QPageLayout::Portrait);
            r->loadFromFile(ticketprint::templateName(letter));
            QVERIFY2(r->prepare(), qPrintable(r->errorText()));
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

QTEST_MAIN(TstTicketPrint)
#include "tst_ticketprint.moc"

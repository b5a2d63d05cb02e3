// The data check run over collected ticket lines and over the producers, and
// the check screen's two tabs.
#include "../tickets/ticketfixture.h"

#include "masterdata/Unit14.h"
#include "masterdata/datacheck.h"

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class TstDataCheck : public QObject {
    Q_OBJECT
private slots:
    void ticketRunFindsPerLine();
    void unitPriceAndQuantityAndRate();
    void conversionStopsKeepingLines();
    void producerRun();
    void emptyCollection();
    void screenTabsAndRefusal();
};

namespace {

// A producer with every field filled and valid check digits, then changed.
void addProducer(TestDb& db, const QString& kod, const QString& extra = QString())
{
    db.exec(QString("INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, "
                    "o_adoazon, o_igszam, o_taj, o_adoszam, o_szulhely, o_szido, o_anyja, o_neme, "
                    "o_szulnev) VALUES ('%1', 'Próba Péter', '6000', 'Kecskemét', 'Fő', "
                    "'8351770000', '1234567', '123456788', '12345676203', 'Szeged', '1960-01-01', "
                    "'Anya Anna', '1', 'Próba Péter')")
                .arg(kod));
    if (!extra.isEmpty())
        db.exec("UPDATE ostermelo SET " + extra + " WHERE o_kod = '" + kod + "'");
}

QStringList findings(const QStringList& lines, const QString& prefix)
{
    QStringList out;
    for (const QString& l : lines)
        if (l.startsWith(prefix))
            out << l;
    return out;
}

// The lines between a section's start and end line.
QStringList section(const QStringList& lines, const QString& title)
{
    const int a = int(lines.indexOf("    " + title + "... "));
    const int b = int(lines.indexOf("    " + title + " vége. "));
    if (a < 0 || b < a)
        return {"missing section " + title};
    return lines.mid(a + 1, b - a - 1);
}

datacheck::Run ticketRun(TestDb& db)
{
    datacheck::collectTickets(contextFor(db), Data->ZQ20, QDate(2026, 1, 1), QDate(2026, 12, 31));
    return datacheck::checkTickets(Data->ZQ20);
}

} // namespace

void TstDataCheck::ticketRunFindsPerLine()
{
    TestDb db;
    db.selectBuyer();
    addProducer(db, "00007", "o_taj = NULL");
    TicketSpec t("20260001", "00007");
    t.prn = "I";
    addTicket(db, t);
    for (int i = 0; i < 3; ++i)
        addLine(db, "20260001", "Búza", 100 + i, 60, 12);
    // A ticket outside the payment period is not collected.
    TicketSpec late("20260002", "00007", "2027.01.05");
    addTicket(db, late);
    addLine(db, "20260002", "Búza", 10, 60, 12);

    const datacheck::Run r = ticketRun(db);
    QVERIFY(r.ok());
    QCOMPARE(Data->ZQ20->recordCount(), 3);
    const QStringList taj = section(r.lines, "TAJ ellenörzés");
    QCOMPARE(taj.size(), 3);
    for (const QString& l : taj)
        QCOMPARE(l, QString("Hiba (kevesebb 9 számnál):  Próba Péter Kódja: 00007"));
    // 20 sections, each with start, end and a blank line, then the closing line.
    QCOMPARE(r.lines.size(), 20 * 3 + 3 + 1);
    QCOMPARE(r.lines.last(), QString("Klikk az ablakba és kurzor billentyüvel mozoghat benne. "));
    QCOMPARE(r.lines.first(), QString("    Adószám ellenörzés... "));
    QCOMPARE(r.lines.value(1), QString("    Adószám ellenörzés vége. "));
    QCOMPARE(r.lines.value(2), QString(" "));
    // Printed, with product code, quantity, price and rate: no other finding.
    QCOMPARE(findings(r.lines, "Hiba").size(), 3);
    QCOMPARE(findings(r.lines, "Figyelmeztetés").size(), 0);
}

void TstDataCheck::unitPriceAndQuantityAndRate()
{
    TestDb db;
    db.selectBuyer();
    addProducer(db, "00007");
    TicketSpec t("20260001", "00007");
    t.prn = "I";
    addTicket(db, t);
    addLine(db, "20260001", "Nulla ár", 10, 0, 12);
    addLine(db, "20260001", "Negatív ár", 10, -5, 7);
    addLine(db, "20260001", "Öt százalék", 10, 60, 5);
    addLine(db, "20260001", "Huszonhét", 10, 60, 27);
    addLine(db, "20260001", "Nulla menny.", 0, 60, 12);
    // A voiding document's line: negative quantity, no quantity finding.
    TicketSpec v("20260002", "00007");
    v.prn = "I";
    addTicket(db, v);
    addLine(db, "20260002", "Búza", -100, 60, 12);
    // A line without a product code and an unprinted ticket.
    TicketSpec u("20260003", "00007");
    addTicket(db, u);
    addLine(db, "20260003", "Búza", 5, 60, 12);
    db.exec("UPDATE fjsor SET s_termekkod = NULL WHERE s_bszam = '20260003'");
    addLine(db, "20260003", "Zab", 5, 60, 12); // a second line: still one print warning

    const datacheck::Run r = ticketRun(db);
    QVERIFY2(r.ok(), qPrintable(r.error));
    const QStringList ear = section(r.lines, "Egységár ellenörzés");
    QCOMPARE(ear, QStringList({"Hiba (nullás egységár van megadva): 20260001",
                               "Hiba (nulla vagy minuszos egységár van megadva): 20260001"}));
    const QStringList rate = section(r.lines, "Komp.felár ellenörzés");
    QCOMPARE(rate, QStringList({"Hiba (nem 7, 12 % van megadva): 20260001",
                                "Hiba (nem 7, 12 % van megadva): 20260001"}));
    QCOMPARE(section(r.lines, "Mennyiség ellenörzés"),
             QStringList({"Hiba (nullás mennyiség van megadva): 20260001"}));
    QCOMPARE(section(r.lines, "Volt-e nyomtatva? ellenörzés"),
             QStringList({"Figyelmeztetés (még nincs kinyomtatva): 20260003"}));
    QCOMPARE(section(r.lines, "Termékkód ellenörzés"),
             QStringList({"Figyelmeztetés (nincs termékkód megadva): 20260003"}));
}

void TstDataCheck::conversionStopsKeepingLines()
{
    TestDb db;
    db.selectBuyer();
    // Eleven blanks: long enough for the ticket run's length test, so the
    // check digits are read and the run stops there.
    addProducer(db, "00007", "o_adoszam = '           '");
    TicketSpec t("20260001", "00007");
    addTicket(db, t);
    addLine(db, "20260001", "Búza", 10, 60, 12);
    datacheck::Run r = ticketRun(db);
    QVERIFY(!r.ok());
    QCOMPARE(r.lines, QStringList({"    Adószám ellenörzés... "}));

    // A rate with a fraction is not a whole number: stops in the last section.
    db.exec("UPDATE ostermelo SET o_adoszam = '12345676203'");
    db.exec("UPDATE fjsor SET s_kompmerteke = 12.5");
    r = ticketRun(db);
    QVERIFY(!r.ok());
    QVERIFY2(r.error.contains("12,5"), qPrintable(r.error));
    QCOMPARE(r.lines.last(), QString("    Komp.felár ellenörzés... "));
    // 19 whole sections, the unprinted ticket's warning, the started section.
    QCOMPARE(r.lines.size(), 19 * 3 + 1 + 1);

    // The producer run trims the length test: eleven blanks are too short.
    db.exec("UPDATE ostermelo SET o_adoszam = '           '");
    datacheck::collectProducers(Data->ZQ20);
    r = datacheck::checkProducers(Data->ZQ20);
    QVERIFY(r.ok());
    QCOMPARE(section(r.lines, "Adószám ellenörzés"),
             QStringList({"Hiba (kevesebb nyolc számnál):             Próba Péter Kódja: 00007"}));
}

void TstDataCheck::producerRun()
{
    TestDb db;
    addProducer(db, "00001");
    addProducer(db, "00002", "o_szido = NULL, o_adoazon = '8351770001', o_taj = '123456789', "
                             "o_utca = '', o_neme = NULL");
    datacheck::collectProducers(Data->ZQ20);
    const datacheck::Run r = datacheck::checkProducers(Data->ZQ20);
    QVERIFY2(r.ok(), qPrintable(r.error));
    QCOMPARE(r.lines.size(), 13 * 3 + 1 + 6);
    const QString who = " Próba Péter Kódja: 00002";
    QCOMPARE(section(r.lines, "Adóazonositó ellenörzés"),
             QStringList({"Hiba (hibás adóazonositó): 8351770001" + who}));
    QCOMPARE(section(r.lines, "TAJ ellenörzés"), QStringList({"Hiba (hibás TAJ): 123456789" + who}));
    QCOMPARE(section(r.lines, "Östermelö Utca ellenörzés"),
             QStringList({"Hiba (nincs östermelö Utca megadva)   Próba Péter Kódja: 00002"}));
    QCOMPARE(section(r.lines, "Östermelö neme ellenörzés"),
             QStringList({"Hiba (nincs östermelö neme megadva)   Próba Péter Kódja: 00002"}));
    // An empty birth date is reported twice: empty, and not a date.
    QCOMPARE(section(r.lines, "Östermelö születési idö ellenörzés"),
             QStringList({"Hiba (nincs östermelö születési idö megadva)   Próba Péter Kódja: 00002",
                          "Hiba (Hibás östermelö születési idö )   Próba Péter Kódja: 00002"}));
    QCOMPARE(findings(r.lines, "Hiba").size(), 6);
}

void TstDataCheck::emptyCollection()
{
    TestDb db;
    db.selectBuyer();
    const datacheck::Run t = ticketRun(db);
    QVERIFY(t.ok());
    QCOMPARE(Data->ZQ20->recordCount(), 0);
    QCOMPARE(t.lines.size(), 20 * 3 + 1);
    QCOMPARE(findings(t.lines, "Hiba").size() + findings(t.lines, "Figyelm").size(), 0);
    db.exec("DELETE FROM ostermelo");
    datacheck::collectProducers(Data->ZQ20);
    const datacheck::Run p = datacheck::checkProducers(Data->ZQ20);
    QCOMPARE(p.lines.size(), 13 * 3 + 1);
}

void TstDataCheck::screenTabsAndRefusal()
{
    UiScope s;
    TestDb db;
    db.selectBuyer();
    addProducer(db, "00007", "o_taj = NULL");
    addTicket(db, TicketSpec("20260001", "00007"));
    addLine(db, "20260001", "Búza", 100, 60, 12);

    TForm14 f;
    f.show();
    QCOMPARE(f.jegyTol()->date(), QDate(2026, 1, 1));
    QCOMPARE(f.jegyIg()->date(), QDate(2026, 12, 31));
    QCOMPARE(f.ostNaplo()->toPlainText(), QString("Hiba üzenet"));
    QVERIFY(!f.jegyEllenorzesButton()->isEnabled());
    f.findChild<QPushButton*>("Button1")->click();
    QVERIFY(f.jegyEllenorzesButton()->isEnabled());
    f.jegyEllenorzesButton()->click();
    QVERIFY(f.jegyNaplo()->toPlainText().contains("Hiba (kevesebb 9 számnál):  Próba Péter Kódja: 00007"));

    // The producer tab collects; the ticket tab's run now refuses.
    f.findChild<QPushButton*>("Button4")->click();
    QVERIFY(f.ostEllenorzesButton()->isEnabled());
    // The collected columns under the words of the program, not the table's names.
    const QAbstractItemModel* ostModel = f.findChild<QTableView*>("DBGrid2")->model();
    QStringList titles;
    for (int c = 0; c < ostModel->columnCount(); ++c)
        titles << ostModel->headerData(c, Qt::Horizontal).toString();
    QVERIFY2(titles.contains("Adóazonosító") && titles.contains("Anyja neve") &&
                 !titles.join(' ').contains("O_"),
             qPrintable(titles.join('|')));
    const QString before = f.jegyNaplo()->toPlainText();
    f.jegyEllenorzesButton()->click();
    QCOMPARE(s.ui.messages().size(), 1);
    QVERIFY(s.ui.messages().first().contains("Östermelö lapról"));
    QCOMPARE(f.jegyNaplo()->toPlainText(), before);
    f.ostEllenorzesButton()->click();
    QVERIFY(f.ostNaplo()->toPlainText().contains("Hiba (kevesebb 9 számnál):  Próba Péter Kódja: 00007"));

    // A conversion error is shown and the lines so far stay in the log.
    db.exec("UPDATE ostermelo SET o_adoazon = '83517700x0'");
    s.ui.clear();
    f.findChild<QPushButton*>("Button4")->click();
    f.ostEllenorzesButton()->click();
    QCOMPARE(s.ui.messages().size(), 1);
    QVERIFY(s.ui.messages().first().startsWith("Az ellenörzés megszakadt"));
    QVERIFY(f.ostNaplo()->toPlainText().endsWith("    Adóazonositó ellenörzés... "));
    f.close();
}

QTEST_MAIN(TstDataCheck)
#include "tst_datacheck.moc"

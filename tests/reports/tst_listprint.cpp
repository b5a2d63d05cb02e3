// Every list template prepared by its screen on an empty and on a busy
// database: the buyer and period in the heading, page numbers, nothing cut,
// the grand total in the PDF; and the screens' button states.
#include "listfixture.h"

#include "reports/Unit12.h"
#include "reports/Unit13.h"
#include "reports/Unit19.h"
#include "reports/Unit30.h"
#include "reports/Unit31.h"
#include "reports/Unit32.h"
#include "reports/Unit33.h"
#include "gui/dbwidgets.h"
#include "reporttest.h"
#include "values.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QProcess>
#include <QTest>

class TstListPrint : public QObject {
    Q_OBJECT
private slots:
    void periodListsEmpty();
    void periodListsBusy();
    void cashAndStatistics_data();
    void cashAndStatistics();
    void producerBreakdownScreen();
    void contractScreen();
    void inputsDisablePrinting();
};

namespace {

// The report as the preview would have shown it; with VADMO_PDF_DIR set the
// pages are also written there for a look.
struct Printed {
    std::vector<rep::PreparedPage> pages;
    QString text;
    QStringList clipped;
    QString fileName;
    QString title; // the PDF's own title, read back by pdfinfo
    QString pdf;
};

Printed print(RecordingUi& ui, QPushButton* button, const QString& pdfName, QTemporaryDir& out)
{
    Printed p;
    ui.onModal = [&](QDialog*) {
        p.pages = Data->frNyomtat->pages();
        p.text = pagesText(*Data->frNyomtat);
        p.clipped = clippedTexts(*Data->frNyomtat);
        p.fileName = Data->frNyomtat->fileName();
        const QString dir = qEnvironmentVariableIsEmpty("VADMO_PDF_DIR")
                                ? out.path()
                                : qEnvironmentVariable("VADMO_PDF_DIR");
        const QString path = dir + "/" + pdfName;
        if (Data->frNyomtat->exportPdf(path)) {
            p.pdf = pdfText(path);
            QProcess info;
            info.start("pdfinfo", {path});
            info.waitForFinished();
            for (const QString& l : QString::fromUtf8(info.readAllStandardOutput()).split('\n'))
                if (l.startsWith("Title:"))
                    p.title = l.mid(6).trimmed();
        }
        return int(QDialog::Rejected);
    };
    button->click();
    ui.onModal = nullptr;
    return p;
}

// The heading and page numbers every list carries.
void checkFrame(const Printed& p)
{
    QVERIFY(!p.pages.empty());
    QVERIFY2(p.clipped.isEmpty(), qPrintable(p.clipped.join('\n')));
    QVERIFY(p.text.contains("Minta Felvásárló Kft."));
    QVERIFY(p.text.contains("6000 Kecskemét, Fő utca 1"));
    const QString last = QString("%1./%1. oldal").arg(p.pages.size());
    QVERIFY2(p.pages.back().texts().contains(last), qPrintable(last));
    QVERIFY(p.pages.front().texts().contains(QString("1./%1. oldal").arg(p.pages.size())));
}

// The sum of the lines' purchase prices of the busy year, in the database.
double yearTotal(TestDb& db, const QString& where = QString())
{
    return val::parseNumber(
               db.scalar("SELECT SUM(s_vetelar) FROM fjsor JOIN fjfej ON s_bszam = f_bszam "
                         "WHERE f_akod = '00001' " + where)
                   .replace('.', ','))
        .value_or(-1);
}

} // namespace

void TstListPrint::periodListsEmpty()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyListTemplates();
    QTemporaryDir out;
    {
        TForm12 f;
        f.show();
        f.collectButton()->click();
        const Printed p = print(s.ui, f.printButton(), "FjLista4_ures.pdf", out);
        checkFrame(p);
        QCOMPARE(p.pages.size(), size_t(1));
        QVERIFY(p.text.contains("Fizetési dátum: 2026.01.01 - 2026.12.31"));
        QVERIFY(p.pdf.contains("Az időszak vételára összesen (Ft):"));
        QVERIFY(p.text.split(QChar(10)).contains("0,00"));
        QCOMPARE(p.fileName, QString("teteles_lista_2026-01-01_2026-12-31.pdf"));
        QCOMPARE(p.title, QString("Tételes lista 2026.01.01–2026.12.31"));
    }
    for (int form : {13, 19}) {
        std::unique_ptr<GroupListScreen> f;
        if (form == 13)
            f.reset(new TForm13);
        else
            f.reset(new TForm19);
        f->show();
        f->collectButton()->click();
        QCOMPARE(f->total(), QString("0"));
        const Printed p = print(s.ui, f->printButton(), QString("FjLista%1_ures.pdf").arg(form == 13 ? 5 : 8), out);
        checkFrame(p);
        QCOMPARE(p.pages.size(), size_t(1));
        // No groups: no column titles of the lines.
        QVERIFY(!p.text.contains("Bszám"));
        QVERIFY(p.pdf.contains("összesen (Ft):"));
    }
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
}

void TstListPrint::periodListsBusy()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyListTemplates();
    addBusyYear(db, 100, 10);
    QTemporaryDir out;
    const QString total = val::fmtNumber(yearTotal(db));
    const QString printed = val::fmtFixed(yearTotal(db), 2, true); // as the totals print
    {
        TForm12 f;
        f.show();
        f.orderButton(lists::ItemOrder::Termek)->setChecked(true);
        f.collectButton()->click();
        QCOMPARE(Data->ZQ20->recordCount(), 1000);
        QCOMPARE(f.total(), total);
        const Printed p = print(s.ui, f.printButton(), "FjLista4.pdf", out);
        checkFrame(p);
        QVERIFY(p.pages.size() > 20);
        QVERIFY(p.pages[0].size.width() > p.pages[0].size.height());
        QVERIFY(p.text.contains("Sorrend: termék megnevezés"));
        QVERIFY2(p.pdf.contains(printed), qPrintable(printed));
        // Column titles on every page.
        for (const auto& page : p.pages)
            QVERIFY(page.texts().contains("Vételár (Ft)"));
        QVERIFY(p.text.contains("Összesen 1000 tétel"));
    }
    {
        TForm13 f;
        f.show();
        f.collectButton()->click();
        QCOMPARE(Data->ZQ20->recordCount(), 4);
        const Printed p = print(s.ui, f.printButton(), "FjLista5.pdf", out);
        checkFrame(p);
        QVERIFY2(p.pdf.contains(printed), qPrintable(printed));
        QVERIFY(p.text.contains("Fizetési dátum: 2026.01.01 - 2026.12.31"));
        // Each group's amount, as printed, sums to the grand total.
        double sum = 0;
        int groups = 0;
        for (Data->ZQ20->first(); !Data->ZQ20->eof(); Data->ZQ20->next()) {
            const QString amount = val::fmtFixed(Data->ZQ20->asFloat("KIFIZETETT"), 2, true);
            QVERIFY2(p.text.split('\n').contains(amount), qPrintable(amount));
            sum += Data->ZQ20->asFloat("KIFIZETETT");
            ++groups;
        }
        QCOMPARE(groups, 4);
        QVERIFY(std::abs(sum - yearTotal(db)) < 1e-3);
        // Every line printed once under its group: 1 000 ticket numbers.
        int numbers = 0;
        for (const QString& t : p.text.split('\n'))
            if (t.size() == 8 && t.startsWith("300"))
                ++numbers;
        QCOMPARE(numbers, 1000);
        // A group that goes on to a new page says so.
        QVERIFY(p.text.contains("Búza (folytatás)"));
        // A group's heading never stands alone at the foot of a page: its
        // column titles and first line follow it on the same page.
        for (size_t i = 0; i < p.pages.size(); ++i) {
            const QStringList t = p.pages[i].texts();
            for (const char* g : {"Búza", "Napraforgó", "Őszibarack"}) {
                const int at = int(t.indexOf(QString::fromUtf8(g)));
                if (at >= 0)
                    QVERIFY2(t.indexOf("Bszám", at) > at && t.size() > t.indexOf("Bszám", at) + 8,
                             qPrintable(QString("page %1: %2").arg(i + 1).arg(g)));
            }
        }
    }
    {
        TForm19 f;
        f.show();
        f.collectButton()->click();
        QCOMPARE(Data->ZQ20->recordCount(), 3);
        const Printed p = print(s.ui, f.printButton(), "FjLista8.pdf", out);
        checkFrame(p);
        QVERIFY2(p.pdf.contains(printed), qPrintable(printed));
        for (const char* name : {"Kovács János", "Szőke Ödön", "Árvai Éva"})
            QVERIFY(p.text.contains(QString::fromUtf8(name)));
        QVERIFY(p.text.contains("Étkezési minőségű"));
    }
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
}

void TstListPrint::cashAndStatistics_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("templ");
    QTest::newRow("napi") << 31 << false << "FjLista10.frf";
    QTest::newRow("napi termekenkent") << 31 << true << "FjLista11.frf";
    QTest::newRow("statisztika havi") << 32 << false << "FjLista12.frf";
    QTest::newRow("statisztika termekenkent") << 32 << true << "FjLista13.frf";
}

void TstListPrint::cashAndStatistics()
{
    QFETCH(int, form);
    QFETCH(bool, ticked);
    QFETCH(QString, templ);
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyListTemplates();
    QTemporaryDir out;
    for (bool busy : {false, true}) {
        if (busy)
            addBusyYear(db, 100, 10);
        std::unique_ptr<QDialog> f(form == 31 ? static_cast<QDialog*>(new TForm31)
                                              : static_cast<QDialog*>(new TForm32));
        f->show();
        auto* box = f->findChild<QCheckBox*>("CheckBox1");
        auto* collect = f->findChild<QPushButton*>("Button1");
        auto* printButton = f->findChild<QPushButton*>("Button2");
        if (ticked)
            box->click();
        collect->click();
        QVERIFY(printButton->isEnabled());
        const Printed p = print(s.ui, printButton, templ + (busy ? ".pdf" : "_ures.pdf"), out);
        checkFrame(p);
        QCOMPARE(Data->frNyomtat->templateName(), templ);
        QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
        if (!busy) {
            QCOMPARE(Data->ZQ11->recordCount(), 0);
            QCOMPARE(p.pages.size(), size_t(1));
            continue;
        }
        // The grand total, computed here from the rows, is in the PDF.
        double expected = 0;
        if (form == 31 && !ticked)
            expected = db.scalar("SELECT SUM(f_muvktg) FROM fjfej WHERE f_utal <> 'x'").toDouble();
        else if (form == 31)
            expected = yearTotal(db, "AND f_utal <> 'x'");
        else
            expected = yearTotal(db);
        const QString shown = val::fmtFixed(expected, 2, true);
        QVERIFY2(p.pdf.contains(shown), qPrintable(shown + "\n" + p.pdf.right(400)));
        if (form == 31 && !ticked) {
            QCOMPARE(QString::number(Data->ZQ11->recordCount()),
                     db.scalar("SELECT COUNT(DISTINCT f_fizkelt) FROM fjfej WHERE f_utal <> 'x'"));
            // Named after the first and the last cash day.
            QCOMPARE(p.fileName, QString("napi_penztar_2026-01-02_2026-04-09.pdf"));
            QCOMPARE(p.title, QString("Kp. napi lista 2026.01.02–2026.04.09"));
        }
    }
}

void TstListPrint::producerBreakdownScreen()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyListTemplates();
    addBusyYear(db, 100, 10);
    QTemporaryDir out;
    TForm30 f;
    f.show();
    QVERIFY(!f.collectButton()->isEnabled());
    QCOMPARE(f.vetelar()->text(), QString("0"));
    // The producer list opens on the first name that begins with the typed
    // text; the row it stands on when it closes is the chosen one.
    f.search()->setText("kov");
    QString startedOn;
    s.ui.onModal = [&](QDialog*) {
        startedOn = G.ostKod;
        Data->ZQ30->locatePrefix("O_KOD", G.ostKod); // where the list opens
        return int(QDialog::Accepted);
    };
    f.findChild<QPushButton*>("Button3")->click();
    QCOMPARE(startedOn, QString("00001"));
    QCOMPARE(f.code()->text(), QString("00001"));
    QCOMPARE(f.search()->text(), QString("Kovács János"));
    QCOMPARE(f.address()->text(), QString("6000  Kecskemét  Petőfi Sándor"));
    QVERIFY(f.collectButton()->isEnabled());
    f.collectButton()->click();
    const double total = yearTotal(db, "AND f_ostermkod = '00001'");
    QCOMPARE(f.vetelar()->text(), val::fmtNumber(total));
    // The grid's titles are the list's words, not the query's names.
    QStringList titles;
    for (int c = 0; c < f.grid()->model()->columnCount(); ++c)
        titles << f.grid()->model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(titles, (QStringList{"Östermelö kód", "Östermelö neve", "Hónap", "Megnevezés", "Mennyiség",
                                  "Felvásárlási ár", "Átlagár", "Komp. felár", "Vételár"}));
    QVERIFY(f.printButton()->isEnabled());
    Printed p = print(s.ui, f.printButton(), "FjLista9.pdf", out);
    checkFrame(p);
    QVERIFY(p.text.contains("Őstermelő: Kovács János"));
    QVERIFY(p.text.contains("4. hónap összesen"));
    QVERIFY2(p.pdf.contains(val::fmtFixed(total, 2, true)), qPrintable(val::fmtFixed(total, 2, true)));
    // The detailed form: the check box disables printing until collected again.
    f.detailed()->click();
    QVERIFY(!f.printButton()->isEnabled());
    f.collectButton()->click();
    QCOMPARE(Data->ZQ11->recordCount(), 340); // the producer's lines
    p = print(s.ui, f.printButton(), "FjLista9_reszletes.pdf", out);
    checkFrame(p);
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
}

void TstListPrint::contractScreen()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    copyListTemplates();
    QTemporaryDir out;
    TForm33 f;
    f.show();
    // Without a producer nothing happens.
    f.field("v_szam")->setText("12/2026");
    f.printButton()->click();
    QVERIFY(s.ui.modalNames.isEmpty());
    QVERIFY(s.ui.log.isEmpty());

    s.ui.onModal = [&](QDialog*) {
        Data->ZQ30->locatePrefix("O_NEV", "Szőke");
        return int(QDialog::Accepted);
    };
    f.findChild<QPushButton*>("Button1")->click();
    QCOMPARE(f.producerCode(), QString("00002"));
    QCOMPARE(f.producerName()->text(), QString("Szőke Ödön"));
    f.field("v_hrsz")->setText("0123/4");
    f.field("v_szmenny")->setText("25");
    f.field("v_ev")->setText("2026");
    f.field("v_that")->setText(QString("2026.09.30 – a hosszú teljesítési feltételekkel együtt, ").repeated(3));
    const Printed p = print(s.ui, f.printButton(), "FjSzerzodes.pdf", out);
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join(QChar(10))));
    checkFrame(p);
    QVERIFY(p.text.contains("Szőke Ödön"));
    QVERIFY(p.text.contains("Sorszám: 12/2026"));
    QVERIFY(p.text.contains("0123/4"));
    QVERIFY(p.text.contains("25 t"));
    // Empty particulars print as empty texts.
    QVERIFY(p.text.contains("\n ha\n"));
    QCOMPARE(rep::variable("v_pal").toString(), QString());
    QVERIFY(p.pdf.contains("TERMELÉSI ÉS ÉRTÉKESÍTÉSI SZERZŐDÉS"));
    QVERIFY2(s.ui.log.isEmpty(), qPrintable(s.ui.log.join('\n')));
}

void TstListPrint::inputsDisablePrinting()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    addBusyYear(db, 10, 2);
    {
        TForm12 f;
        f.show();
        QCOMPARE(f.tol()->date(), QDate(2026, 1, 1));
        QVERIFY(!f.printButton()->isEnabled());
        f.collectButton()->click();
        QVERIFY(f.printButton()->isEnabled());
        f.ig()->setDate(QDate(2026, 6, 30));
        QVERIFY(!f.printButton()->isEnabled());
        QCOMPARE(Data->ZQ20->recordCount(), 20); // the grid keeps its rows
        f.collectButton()->click();
        f.orderButton(lists::ItemOrder::Fjegy)->setChecked(true);
        QVERIFY(!f.printButton()->isEnabled());
        // The quantity column shows the net quantity.
        QCOMPARE(f.grid()->model()->headerData(2, Qt::Horizontal).toString(), QString("Mennyiség"));
        QVERIFY(!f.grid()->model()->index(0, 2).data().toString().isEmpty());
    }
    {
        TForm19 f;
        f.show();
        QVERIFY(!Data->ZQ20->active());
        f.collectButton()->click();
        QVERIFY(Data->ZQ20->recordCount() > 0);
        f.felvasarlasi()->setChecked(true);
        QVERIFY(!f.printButton()->isEnabled());
        QVERIFY(!Data->ZQ20->active());
        f.collectButton()->click();
        f.tol()->setDate(QDate(2026, 2, 1));
        QVERIFY(!f.printButton()->isEnabled());
    }
    {
        TForm31 f;
        f.show();
        f.findChild<QPushButton*>("Button1")->click();
        QVERIFY(f.printButton()->isEnabled());
        f.byProduct()->click();
        QVERIFY(!f.printButton()->isEnabled());
    }
    QVERIFY(s.ui.log.isEmpty());
}

QTEST_MAIN(TstListPrint)
#include "tst_listprint.moc"

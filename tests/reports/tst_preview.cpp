// showReport and the preview: what each report object offers, the error
// paths, printing through the print dialog and saving as PDF.

#include "reporttest.h"
#include "testsupport.h"

#include "reports/gui/ReportPreview.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace rep;

namespace {
const char* kTemplate = "band title height=10\n"
                        "  text x=0 y=0 w=150 h=6 \"Előnézet próba: [v_cim]\"\n"
                        "end\n";

QStringList actionNames(QDialog* d)
{
    QStringList out;
    for (QAction* a : d->findChildren<QAction*>())
        out << a->objectName() + "=" + a->text();
    return out;
}
} // namespace

class TstPreview : public QObject {
    Q_OBJECT
private slots:
    void viewReportOffersNoPrintNorExport()
    {
        UiScope scope;
        DataRegistry reg;
        Report view("frMegtekint", Report::Kind::View, &reg);
        Report print("frNyomtat", Report::Kind::Print, &reg);
        view.loadFromText(kTemplate, "FjLista7.frf");
        print.loadFromText(kTemplate, "FjLista7.frf");
        QStringList viewActions, printActions;
        int shownPages = -1;
        scope.ui.onModal = [&](QDialog* d) {
            auto* pv = qobject_cast<ReportPreview*>(d);
            if (!pv)
                return int(QDialog::Rejected);
            (view.canPrint() ? printActions : viewActions) = actionNames(d);
            shownPages = int(pv->pageView()->sizeHint().height() > 0);
            return int(QDialog::Rejected);
        };
        QVERIFY(view.showReport());
        QCOMPARE(scope.ui.modalNames, QStringList("ReportPreview"));
        QVERIFY(!viewActions.isEmpty());
        for (const QString& a : viewActions) {
            QVERIFY2(!a.contains("Print", Qt::CaseInsensitive) && !a.contains("Nyomt") && !a.contains("PDF"),
                     qPrintable(a));
        }
        QVERIFY(viewActions.join(',').contains("actZoomIn"));
        QVERIFY(viewActions.join(',').contains("actClose"));
        QCOMPARE(shownPages, 1);

        scope.ui.onModal = [&](QDialog* d) {
            printActions = actionNames(d);
            return int(QDialog::Rejected);
        };
        QVERIFY(print.showReport());
        QVERIFY(printActions.join(',').contains("actPrint="));
        QVERIFY(printActions.join(',').contains("actPdf="));
        QVERIFY(scope.ui.log.isEmpty());
    }

    // A fault in preparation shows its message, keeps no pages and opens no preview.
    void preparationErrorShowsMessageOnly()
    {
        UiScope scope;
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText("band static height=5\n text x=0 y=0 w=50 h=5 \"[S_NEVE]\"\nend\n", "FjLista2.frf");
        QVERIFY(!r.showReport());
        QVERIFY(scope.ui.modalNames.isEmpty());
        QCOMPARE(scope.ui.log.size(), 1);
        QVERIFY(scope.ui.log[0].startsWith("msg:FjLista2.frf"));
        QVERIFY(scope.ui.log[0].contains("S_NEVE"));
        QVERIFY(r.pages().empty());
    }

    void missingTemplateEndsThePrint()
    {
        UiScope scope;
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(kTemplate, "regi.frf");
        bool thrown = false;
        try {
            r.loadFromFile("FjLista5.frf");
            r.showReport(); // as a screen's handler would go on; the throw skips it
        } catch (const std::exception& e) {
            thrown = true;
            QCOMPARE(QString::fromUtf8(e.what()),
                     "A nyomtatási sablon nem nyitható meg: " +
                         QDir::toNativeSeparators(QDir(dir.path()).absoluteFilePath("FjLista5.frf")) +
                         " (a fájl nem létezik)");
        }
        QDir::setCurrent(old);
        QVERIFY(thrown);
        QVERIFY(scope.ui.modalNames.isEmpty());
        QVERIFY(!r.hasTemplate());
    }

    void saveAsPdfFromPreview()
    {
        UiScope scope;
        QTemporaryDir dir;
        const QString path = dir.filePath("mentett"); // the extension is added
        scope.ui.files.push_back(path);
        setVariable("v_cim", QString("Tűzőgép ő"));
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.loadFromText(kTemplate, "FjLista4.frf");
        scope.ui.onModal = [&](QDialog* d) {
            auto* pv = qobject_cast<ReportPreview*>(d);
            pv->pdfAction()->trigger();
            return int(QDialog::Rejected);
        };
        QVERIFY(r.showReport());
        QVERIFY(QFile::exists(path + ".pdf"));
        QVERIFY(pdfText(path + ".pdf").contains("Előnézet próba: Tűzőgép ő"));
    }

    // "Save as PDF" starts in the documents folder with the name the print
    // gave, or the template's; a new template drops an earlier print's name.
    void pdfNameProposed()
    {
        struct Ui : RecordingUi {
            QStringList proposed;
            QString saveFileName(const QString& c, const QString& d, const QString& f) override
            {
                proposed << d;
                return RecordingUi::saveFileName(c, d, f);
            }
        } ui;
        seams::setUi(&ui);
        QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (docs.isEmpty() || !QFileInfo(docs).isDir())
            docs = QDir::homePath();
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        ui.onModal = [&](QDialog* d) {
            qobject_cast<ReportPreview*>(d)->pdfAction()->trigger(); // cancelled: no file
            return int(QDialog::Rejected);
        };
        r.loadFromText(kTemplate, "FjLista10.frf");
        r.setFileName("napi_penztar_2026-12-01_2026-12-31.pdf");
        QVERIFY(r.showReport());
        r.loadFromText(kTemplate, "FjLista10.frf");
        QVERIFY(r.showReport());
        r.loadFromText(kTemplate, "FjLista4.frf");
        r.setFileName("tételes lista: 12/1.pdf");
        QVERIFY(r.showReport());
        seams::setUi(nullptr);
        QCOMPARE(ui.proposed, QStringList({QDir(docs).filePath("napi_penztar_2026-12-01_2026-12-31.pdf"),
                                           QDir(docs).filePath("FjLista10.pdf"),
                                           QDir(docs).filePath("tételes_lista__12_1.pdf")}));
    }

    // The print dialog goes through the seams; "print to file" stands in for a printer.
    void printThroughThePrintDialog()
    {
        UiScope scope;
        QTemporaryDir dir;
        const QString out = dir.filePath("nyomtatott.pdf");
        setVariable("v_cim", QString("nyomtatva"));
        DataRegistry reg;
        Report r("frNyomtat", Report::Kind::Print, &reg);
        r.setOrientation(QPageLayout::Landscape);
        r.loadFromText(kTemplate, "FjLista2.frf");
        bool cancelled = true;
        bool printedWhenCancelled = true;
        QSizeF paper;
        scope.ui.onModal = [&](QDialog* d) {
            if (auto* pd = qobject_cast<QPrintDialog*>(d)) {
                paper = pd->printer()->pageLayout().fullRect(QPageLayout::Millimeter).size();
                if (cancelled)
                    return int(QDialog::Rejected);
                pd->printer()->setOutputFormat(QPrinter::PdfFormat);
                pd->printer()->setOutputFileName(out);
                return int(QDialog::Accepted);
            }
            auto* pv = qobject_cast<ReportPreview*>(d);
            pv->printAction()->trigger(); // cancelled: nothing printed
            printedWhenCancelled = QFile::exists(out);
            cancelled = false;
            pv->printAction()->trigger();
            return int(QDialog::Rejected);
        };
        QVERIFY(r.showReport());
        QCOMPARE(scope.ui.modalNames, QStringList({"ReportPreview", "PrintDialog", "PrintDialog"}));
        QVERIFY(!printedWhenCancelled);
        QCOMPARE(paper.toSize(), QSize(297, 210));
        QVERIFY(QFile::exists(out));
        QVERIFY(pdfText(out).contains("Előnézet próba: nyomtatva"));
    }
};

QTEST_MAIN(TstPreview)
#include "tst_preview.moc"

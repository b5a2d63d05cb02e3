// vadmo7-guide: builds the user guide "sugo.pdf" from docs/guide/sugo.md with
// screenshots taken from the real screens of this build, on a sample register,
// without a display. Run by the build; arguments: source.md output.pdf shots-folder.
#include "Unit1.h"
#include "Unit2.h"
#include "gui/guard.h"
#include "gui/screens.h"
#include "newdb.h"
#include "seams.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMap>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

// The guide's register lives in a temporary folder; its pictures show the
// folder a user's register is in instead.
QString g_workDir;
const char kShownDataDir[] = "/home/felhasznalo/.local/share/vadmo7";

// Answers every question with yes, reports messages on stderr, and for each
// screen run as a modal dialog: shows it, takes its picture, runs the step
// that leads to the next screen, and closes it.
class GuideUi : public seams::Ui {
public:
    QMap<QString, QImage> shots;
    QMap<QString, std::function<void(QDialog*)>> next;

    void showMessage(const QString& t) override { std::fprintf(stderr, "üzenet: %s\n", qPrintable(t)); }
    void information(const QString&, const QString& t) override { showMessage(t); }
    bool confirm(const QString& t) override { showMessage(t); return true; }
    bool askYesNo(const QString&) override { return true; }
    void showError(const QString& t) override { showMessage(t); }
    void beep() override {}
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString existingDirectory(const QString&, const QString&) override { return {}; }
    bool openExternal(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
    QDate today() override { return QDate::currentDate(); }

    int runModal(QDialog* d) override
    {
        d->show();
        settle();
        const QString name = d->objectName();
        if (!g_workDir.isEmpty())
            for (auto* e : d->findChildren<QLineEdit*>())
                if (e->text().contains(g_workDir))
                    e->setText(e->text().replace(g_workDir, kShownDataDir));
        if (!shots.contains(name))
            shots[name] = d->grab().toImage();
        d->setResult(QDialog::Rejected);
        if (auto f = next.value(name))
            app::guarded([&] { f(d); });
        const int r = d->result();
        d->hide();
        return r;
    }

    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }
};

void press(QDialog* d, const QString& caption)
{
    for (auto* b : d->findChildren<QAbstractButton*>())
        if (b->text() == caption && b->isVisible() && b->isEnabled()) {
            b->click();
            return;
        }
    std::fprintf(stderr, "nincs \"%s\" gomb: %s\n", qPrintable(caption), qPrintable(d->objectName()));
}

// Screens without a picture (not built yet, or not reachable on the samples)
// leave their image line out rather than a broken image.
QString withShots(const QString& md, const QMap<QString, QImage>& shots)
{
    static const QRegularExpression image("^!\\[[^\\]]*\\]\\(([^)]+)\\)\\s*$",
                                          QRegularExpression::MultilineOption);
    QString out = md;
    auto it = image.globalMatch(md);
    QStringList drop;
    while (it.hasNext()) {
        auto m = it.next();
        if (!shots.contains(m.captured(1)))
            drop << m.captured(0);
    }
    for (const QString& line : drop)
        out.replace(line, QString());
    // Each picture gets its caption under it.
    static const QRegularExpression kept("^!\\[([^\\]]*)\\]\\(([^)]+)\\)\\s*$",
                                         QRegularExpression::MultilineOption);
    out.replace(kept, "![\\1](\\2)\n\n*\\1*\n");
    return out;
}

// A few tickets, so that the list and the 2008M screen show rows: this
// year's first days, the sample producer without income tax (the payable
// amount is then the purchase value, 5-forint rounded for cash).
void addSampleTickets()
{
    fb::Connection& db = Data->ZCon1;
    const int year = QDate::currentDate().year();
    struct T { int n; const char* product; const char* kod; double kg; double ear; int komp; bool printed; };
    const T tickets[] = {
        {1, "Búza", "00001", 1000, 62.5, 12, true},
        {2, "Napraforgó", "00002", 500, 140, 12, true},
        {3, "Őszibarack", "00003", 200, 220, 7, false},
    };
    for (const T& t : tickets) {
        const QString bszam = QString::number(year) + QString("%1").arg(t.n, 4, 10, QLatin1Char('0'));
        const QString date = QString("'%1-01-%2'").arg(year).arg(t.n + 4, 2, 10, QLatin1Char('0'));
        const double value = t.kg * t.ear * (1 + t.komp / 100.0);
        const double payable = std::nearbyint(value / 5) * 5;
        db.startTransaction();
        db.executeImmediate(QString("INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, "
                                    "f_felvkelt, f_fizkelt, f_utal, f_prn, f_szja, f_jarulszaz, "
                                    "f_levonas, f_megj, f_nyilatk, f_muvktg, f_tipus, f_sumvar, "
                                    "f_pipa) VALUES ('%1', '00001', '00002', %2, %2, %2, ' ', %3, 0, "
                                    "0, 0, ' ', 'Saját termelésből származik.', %4, '1', %5, 'p')")
                                .arg(bszam, date, t.printed ? "'I'" : "NULL")
                                .arg(payable)
                                .arg(value));
        db.executeImmediate(QString::fromUtf8(
                                "INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, "
                                "s_levonszaz, s_brutto, s_megy, s_ear, s_kompmerteke, s_akod, "
                                "s_szja, s_bizonylat) VALUES ('%1', '%2', '%3', '1001', 0, %4, "
                                "'kg', %5, %6, '00001', 0, ' ')")
                                .arg(bszam, t.kod, QString::fromUtf8(t.product))
                                .arg(t.kg)
                                .arg(t.ear)
                                .arg(t.komp));
        db.executeImmediate("UPDATE sorszam SET a_fjbszam = '" + bszam + "' WHERE a_akod = '00001'");
        db.commit();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "használat: vadmo7-guide sugo.md sugo.pdf képek-mappája\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VADMO_NO_SPLASH", "1");
    app::TApplication app(argc, argv);
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString shotsDir = QString::fromLocal8Bit(argv[3]);

    QFile src(source);
    if (!src.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "nem olvasható: %s\n", argv[1]);
        return 1;
    }
    const QString md = QString::fromUtf8(src.readAll());

    QTemporaryDir work;
    QDir::setCurrent(work.path());
    g_workDir = QDir(work.path()).canonicalPath();
    // Folders the screens propose under home show a neutral home, not the
    // build machine's.
    qputenv("HOME", "/home/felhasznalo");
    newdb::Options opt;
    opt.samples = true;
    newdb::create("vadmo7.fdb", opt);

    GuideUi ui;
    seams::setUi(&ui);
    ui.next["Form18"] = [](QDialog* d) {
        // As a pick in the list would.
        if (auto* c = d->findChild<QComboBox*>())
            emit c->activated(c->currentIndex());
        press(d, "Kiválaszt");
    };
    ui.next["Form4"] = [](QDialog* d) { press(d, "Új"); };
    ui.next["Form6"] = [](QDialog* d) { press(d, "Új"); };
    ui.next["Form8"] = [](QDialog* d) { press(d, "Új"); };
    ui.next["Form9"] = [](QDialog* d) { press(d, "Új"); };

    int status = 0;
    {
        TForm1 w;
        if (!w.formCreate(false)) {
            std::fprintf(stderr, "a minta-nyilvántartás nem nyílik meg\n");
            std::fflush(stderr);
            std::_Exit(1);
        }
        addSampleTickets();
        w.resize(760, 420);
        w.show();
        GuideUi::settle();
        for (const char* act : {"actValasztas", "actAtvevoBeallitas", "actEvnyitas", "actOstermelo",
                                "actTermek", "actFelvasarlasiJegy", "act2008M",
                                "actAdatokMentese"})
            if (QAction* a = w.action(act))
                a->trigger();
        // Screens whose menu entries are hidden are shown all the same.
        for (int formNo : {40, 44}) {
            std::unique_ptr<QDialog> d(app::createScreen(formNo, &w));
            if (d)
                ui.runModal(d.get());
        }
        GuideUi::settle();
        ui.shots["Form1"] = w.grab().toImage();

        QDir().mkpath(shotsDir);
        const QString part = output + ".resz";
        {
            QPdfWriter pdf(part);
            pdf.setResolution(96);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            pdf.setPageMargins(QMarginsF(8, 6, 8, 8), QPageLayout::Millimeter);
            pdf.setTitle("Felvásárlási jegy – felhasználói leírás");
            pdf.setCreator("vadmo7");

            QTextDocument doc;
            doc.setDefaultFont(QFont("DejaVu Sans", 10));
            doc.setMarkdown(withShots(md, ui.shots));
            // Printing lays the text out on the printable area less 2 cm each
            // side (and numbers the pages); pictures are fitted to that width.
            const int maxWidth = pdf.width() - int(2 * 2 / 2.54 * pdf.logicalDpiX()) - 4;
            // Resources go in after the text: setting the text clears them.
            for (auto it = ui.shots.cbegin(); it != ui.shots.cend(); ++it) {
                it.value().save(QDir(shotsDir).filePath(it.key() + ".png"));
                QImage img = it.value().width() > maxWidth
                                 ? it.value().scaledToWidth(maxWidth, Qt::SmoothTransformation)
                                 : it.value();
                doc.addResource(QTextDocument::ImageResource, QUrl(it.key()), img);
            }
            doc.print(&pdf);
        }
        QFile::remove(output);
        if (!QFile::rename(part, output)) {
            std::fprintf(stderr, "nem írható: %s\n", qPrintable(output));
            status = 1;
        }
        std::fprintf(stderr, "%s: %lld kép\n", qPrintable(output), qint64(ui.shots.size()));
        Data->finish();
    }
    work.remove(); // _Exit below runs no destructors
    std::fflush(stderr);
    // The embedded engine's exit handlers are not to be trusted with a clean exit.
    std::_Exit(status);
}

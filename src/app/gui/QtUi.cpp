#include "QtUi.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QProgressDialog>
#include <climits>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

namespace app {
namespace {

QWidget* parentWindow()
{
    QWidget* w = QApplication::activeModalWidget();
    if (!w)
        w = QApplication::activeWindow();
    return w;
}

QString appTitle() { return "Felvásárlási jegy"; }

int runBox(QMessageBox::Icon icon, const QString& title, const QString& text,
           QMessageBox::StandardButtons buttons)
{
    std::unique_ptr<QMessageBox> box(makeMessageBox(icon, title, text, buttons, parentWindow()));
    return box->exec();
}

} // namespace

QMessageBox* makeMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                            QMessageBox::StandardButtons buttons, QWidget* parent)
{
    auto* box = new QMessageBox(icon, title, text, buttons, parent);
    // A short text makes a narrow box whose title bar cuts the title ("Fel...
    // egy"): a spacer as wide as the title plus the title bar's buttons keeps
    // it whole. QMessageBox ignores a plain minimum width, so it goes into the grid.
    QFont titleFont = box->font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title) + 140;
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box;
}

void QtUi::showMessage(const QString& text)
{
    runBox(QMessageBox::Information, appTitle(), text, QMessageBox::Ok);
}

void QtUi::information(const QString& title, const QString& text)
{
    runBox(QMessageBox::Information, title, text, QMessageBox::Ok);
}

bool QtUi::confirm(const QString& text)
{
    return runBox(QMessageBox::Warning, "Megerősítés", text, QMessageBox::Yes) == QMessageBox::Yes;
}

bool QtUi::askYesNo(const QString& text)
{
    return runBox(QMessageBox::Question, "Kérdés", text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtUi::showError(const QString& text)
{
    runBox(QMessageBox::Critical, "Hiba", text, QMessageBox::Ok);
}

void QtUi::beep() { QApplication::beep(); }

QString QtUi::openFileName(const QString& caption, const QString& dir, const QString& filter)
{
    return QFileDialog::getOpenFileName(parentWindow(), caption, dir, filter);
}

QString QtUi::saveFileName(const QString& caption, const QString& dir, const QString& filter)
{
    return QFileDialog::getSaveFileName(parentWindow(), caption, dir, filter);
}

QString QtUi::existingDirectory(const QString& caption, const QString& dir)
{
    return QFileDialog::getExistingDirectory(parentWindow(), caption, dir);
}

bool QtUi::openExternal(const QString& fileOrUrl)
{
    QUrl url = fileOrUrl.contains("://") || fileOrUrl.startsWith("mailto:")
                   ? QUrl(fileOrUrl)
                   : QUrl::fromLocalFile(QFileInfo(fileOrUrl).absoluteFilePath());
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return false;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // xdg-open reports success even when nothing can show the file; ask the
    // desktop's own table first, so that "no viewer" can be said.
    if (url.isLocalFile()) {
        const QString mime = QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
        const QString query = QStandardPaths::findExecutable("xdg-mime");
        if (!query.isEmpty()) {
            QProcess p;
            p.start(query, {"query", "default", mime});
            if (p.waitForFinished(3000) && p.exitCode() == 0 &&
                p.readAllStandardOutput().trimmed().isEmpty())
                return false;
        }
    }
#endif
    return QDesktopServices::openUrl(url);
}

bool QtUi::startProgram(const QString& program)
{
    // A path, or a bare name found on the PATH (an installed remote-help program).
    QFileInfo fi(program);
    const QString exe =
        fi.exists() ? fi.absoluteFilePath() : QStandardPaths::findExecutable(program);
    if (exe.isEmpty())
        return false;
    return QProcess::startDetached(exe, {});
}

int QtUi::runModal(QDialog* dialog) { return dialog->exec(); }

QDate QtUi::today() { return QDate::currentDate(); }

namespace {
class DialogProgress : public seams::Progress {
public:
    DialogProgress(const QString& text, qint64 maximum)
        : scale_(maximum > INT_MAX ? double(INT_MAX) / double(maximum) : 1.0),
          dlg_(text, "Mégsem", 0, int(double(maximum) * scale_), parentWindow())
    {
        dlg_.setWindowTitle(appTitle());
        dlg_.setWindowModality(Qt::WindowModal);
        dlg_.setMinimumDuration(1000); // only jobs over a second show it
        dlg_.setAutoClose(false);
        dlg_.setAutoReset(false);
        dlg_.setValue(0);
    }
    void setValue(qint64 done) override
    {
        dlg_.setValue(int(double(done) * scale_));
        QCoreApplication::processEvents();
    }
    bool wasCanceled() const override { return dlg_.wasCanceled(); }

private:
    double scale_;
    QProgressDialog dlg_;
};
} // namespace

std::unique_ptr<seams::Progress> QtUi::startProgress(const QString& text, qint64 maximum)
{
    return std::make_unique<DialogProgress>(text, maximum);
}

void installQtUi()
{
    static QtUi ui;
    seams::setDefaultUi(&ui);
}

} // namespace app

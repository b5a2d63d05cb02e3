#include "QtUi.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

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

} // namespace

void QtUi::showMessage(const QString& text)
{
    QMessageBox::information(parentWindow(), appTitle(), text, QMessageBox::Ok);
}

void QtUi::information(const QString& title, const QString& text)
{
    QMessageBox::information(parentWindow(), title, text, QMessageBox::Ok);
}

bool QtUi::confirm(const QString& text)
{
    return QMessageBox::warning(parentWindow(), "Megerősítés", text, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

bool QtUi::askYesNo(const QString& text)
{
    return QMessageBox::question(parentWindow(), "Kérdés", text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtUi::showError(const QString& text)
{
    QMessageBox::critical(parentWindow(), "Hiba", text, QMessageBox::Ok);
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
    return QDesktopServices::openUrl(url);
}

bool QtUi::startProgram(const QString& program)
{
    QFileInfo fi(program);
    if (!fi.exists())
        return false;
    return QProcess::startDetached(fi.absoluteFilePath(), {});
}

int QtUi::runModal(QDialog* dialog) { return dialog->exec(); }

QDate QtUi::today() { return QDate::currentDate(); }

void installQtUi()
{
    static QtUi ui;
    seams::setDefaultUi(&ui);
}

} // namespace app

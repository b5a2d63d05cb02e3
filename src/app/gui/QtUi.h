#pragma once
// The desktop's own dialogs behind the seams.

#include "seams.h"

#include <QMessageBox>

namespace app {

class QtUi : public seams::Ui {
public:
    void showMessage(const QString& text) override;
    void information(const QString& title, const QString& text) override;
    bool confirm(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void showError(const QString& text) override;
    void beep() override;
    QString openFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& dir, const QString& filter) override;
    QString existingDirectory(const QString& caption, const QString& dir) override;
    bool openExternal(const QString& fileOrUrl) override;
    bool startProgram(const QString& program) override;
    int runModal(QDialog* dialog) override;
    QDate today() override;
    std::unique_ptr<seams::Progress> startProgress(const QString& text, qint64 maximum) override;
};

// The message boxes behind the seams, wide enough for their title; the caller owns it.
QMessageBox* makeMessageBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                            QMessageBox::StandardButtons buttons, QWidget* parent = nullptr);

// Registers QtUi as the default implementation (once, at program start).
void installQtUi();

} // namespace app

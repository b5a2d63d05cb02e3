#pragma once
// Everything a screen asks of the desktop goes through here, so that tests can
// record every message and answer every question without an event loop.

#include <QDate>
#include <QString>
#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace seams {

// A long job's progress, shown once the job takes over a second, with a
// "Mégsem" button. The job reports its steps and, where stopping halfway
// leaves nothing half-written, asks whether the user cancelled.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setValue(qint64 done) = 0;
    virtual bool wasCanceled() const = 0;
};

class Ui {
public:
    virtual ~Ui() = default;
    // Plain message box with an OK button.
    virtual void showMessage(const QString& text) = 0;
    // Information box with a title.
    virtual void information(const QString& title, const QString& text) = 0;
    // Confirmation with the single button Yes; false when dismissed otherwise.
    virtual bool confirm(const QString& text) = 0;
    // Question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // Error text of the general error handler.
    virtual void showError(const QString& text) = 0;
    virtual void beep() = 0;

    virtual QString openFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString existingDirectory(const QString& caption, const QString& dir) = 0;

    // Opens a file or address with the desktop's default program; false on failure.
    virtual bool openExternal(const QString& fileOrUrl) = 0;
    // Starts a program; false when it cannot be started.
    virtual bool startProgram(const QString& program) = 0;

    // Runs a nested modal screen and returns its result code.
    virtual int runModal(QDialog* dialog) = 0;

    virtual QDate today() = 0;

    // Progress of a long job of `maximum` steps (0: unknown). The default
    // shows nothing and is never cancelled.
    virtual std::unique_ptr<Progress> startProgress(const QString& text, qint64 maximum);
};

Ui& ui();
// The installed interface's progress, or none where no interface is installed
// (a tool or a test without one).
std::unique_ptr<Progress> startProgress(const QString& text, qint64 maximum);
// The installed interface's today, or the calendar's where none is installed.
QDate today();
// Installs another implementation (tests); nullptr restores the Qt one.
void setUi(Ui* ui);
// The Qt implementation is registered by the widget library.
void setDefaultUi(Ui* ui);

} // namespace seams

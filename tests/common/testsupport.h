#pragma once
// Shared test fixtures: a fresh database in a temporary folder, and a user
// interface that records every message and answers from a script.

#include "Unit2.h"
#include "seams.h"

#include <QDate>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

class QDialog;

class RecordingUi : public seams::Ui {
public:
    // Every text shown, in order, each prefixed by its kind:
    // "msg:", "info:", "confirm:", "ask:", "error:".
    QStringList log;
    QStringList messages() const; // texts only, any kind
    QStringList titles;           // the title of each information box, in order
    // Called as each text is shown, with its log entry: to look at the screen
    // behind the message at that moment.
    std::function<void(const QString&)> onShow;
    int beeps = 0;
    std::deque<bool> answers;     // for confirm and askYesNo; default true
    std::deque<QString> files;    // for the file dialogs; default ""
    QStringList opened;           // openExternal and startProgram requests
    bool openResult = false;
    QDate todayValue = QDate(2026, 12, 9);

    // Called for each nested modal screen; the default rejects it at once.
    std::function<int(QDialog*)> onModal;
    QStringList modalNames; // objectName of each nested screen run

    void showMessage(const QString& text) override;
    void information(const QString& title, const QString& text) override;
    bool confirm(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void showError(const QString& text) override;
    void beep() override { ++beeps; }
    QString openFileName(const QString&, const QString&, const QString&) override;
    QString saveFileName(const QString&, const QString&, const QString&) override;
    QString existingDirectory(const QString&, const QString&) override;
    bool openExternal(const QString& f) override;
    bool startProgram(const QString& p) override;
    int runModal(QDialog* dialog) override;
    QDate today() override { return todayValue; }

    // Every long job started: "text/maximum"; cancelAt > 0 makes the job
    // report cancellation once it has reported that many steps.
    QStringList progress;
    qint64 progressMax = 0; // the largest step any job reported
    int progressSteps = 0;  // steps reported by every job together
    qint64 cancelAt = 0;
    int progressOpen = 0;   // jobs whose progress is still shown
    std::unique_ptr<seams::Progress> startProgress(const QString& text, qint64 maximum) override;

    void clear();

private:
    void record(const QString& entry);
};

// Installs a RecordingUi for the lifetime of the object.
class UiScope {
public:
    UiScope() { seams::setUi(&ui); }
    ~UiScope() { seams::setUi(nullptr); }
    RecordingUi ui;
};

// A fresh database file "vadmo7.fdb" in a temporary folder that becomes the
// current folder, with the global data module attached to it.
class TestDb {
public:
    explicit TestDb(bool samples = false);
    ~TestDb();
    QString dir() const { return tmp_.path(); }
    QString file() const { return tmp_.filePath("vadmo7.fdb"); }
    TData* data() const { return data_.get(); }

    // Runs a statement on a separate query and commits it.
    void exec(const QString& sql);
    // First column of the first row of a select, as text.
    QString scalar(const QString& sql);
    // Chooses the first buyer as the current one, as the buyer selection would.
    void selectBuyer(const QString& akod = "00001");

private:
    QTemporaryDir tmp_;
    QString oldCwd_;
    std::unique_ptr<TData> data_;
};

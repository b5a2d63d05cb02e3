#pragma once
// Putting a backup copy back as the register. The current register is never
// deleted: it is moved aside under a time-stamped name beside it, and put
// back when anything fails on the way.

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

namespace restore {

// A register file as read from itself.
struct Info {
    QString path;
    QDateTime modified;
    QDateTime made; // from the time-stamped name, else the file's time
    qint64 size = 0;
    qint64 tickets = -1;
    QDate last;    // the newest ticket's date, when there is one
    QString error; // the engine's text when the file does not open
    bool ok() const { return error.isEmpty() && tickets >= 0; }
    // "12 jegy, utolsó: 2026.03.15"
    QString summary() const;
};

// Opens `file` without changing it and reads its ticket count and newest ticket.
Info readInfo(const QString& file);
// The backup copies in `folder` (*.FDB), newest first; `read` opens each.
QList<Info> list(const QString& folder, bool read = true);

// Where the current register goes: vadmo7_felretett_2026_12_10_01_23_45.fdb beside it.
QString asideName(const QString& current, const QDateTime& now);
// What will happen, said before anything changes.
QString confirmation(const Info& current, const QString& aside, const Info& backup);
// With no current register (the first start): what the restore will do.
QString confirmationNew(const QString& current, const Info& backup);

// The check of a copy: it opens, passes the engine's validation of its pages and
// holds the six tables. Empty when sound, else the reason in Hungarian;
// `tickets`, when given, gets the copy's ticket count.
QString check(const QString& copy, qint64* tickets = nullptr);

struct Outcome {
    bool ok = false;
    QString message;  // what the screen shows, success or not
    QString aside;    // where the previous register went (empty: there was none)
    qint64 tickets = -1;
};

// `closeCurrent` lets go of the current register (the program's attachment);
// `reopen` attaches the register again and returns the failure's text, empty
// when it opened. The backup is copied beside the register under a working
// name, flushed to the disk and checked; only then is the current register
// moved aside and the copy put in its place. A failure after that puts the
// previous register back and reopens it.
Outcome run(const QString& backupFile, const QString& current, const QDateTime& now,
            const std::function<void()>& closeCurrent, const std::function<QString()>& reopen);

// A register on a Firebird server is restored on the server with gbak: the
// explanation with the command for a backup file on the server.
QString serverExplanation(const QString& server, const QString& databaseOnServer,
                          const QString& backupOnServer);

// Tests stop or break a restore at a named step ("copied", "aside", "placed").
void setStepHook(std::function<void(const char* step)> hook);

} // namespace restore

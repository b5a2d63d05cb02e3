#pragma once
// The backup copy of a register: a time-stamped file, taken consistently even
// while the program has the register open, checked by opening it.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace backup {

// The six tables whose rows the check of a copy counts.
QStringList tables();

// 2020_03_15_14_05.FDB
QString stampName(const QDateTime& when);
// The register of the working folder.
QString defaultSource();
// "c:\vadmo7\ment\" on this platform.
QString defaultTargetDir();



// Values read from a register file without changing it (read-only
// transaction, no garbage collection): each statement gives a row of BIGINTs
// (all its columns, in order).
struct Reading {
    std::vector<qint64> values;
    QString error; // the engine's text when the file does not open or a statement fails
};
Reading read(const QString& file, const QStringList& selects);

// What an interrupted backup left behind, cleaned up: the register brought out
// of backup mode (the changes kept aside meanwhile are merged back) and the
// working copies removed.
struct Recovery {
    bool endedBackupMode = false;
    QStringList removed; // working copies deleted
    QString error;       // the engine's text when the register could not be brought back
    // What to tell the user once; empty when there was nothing to clean up.
    QString notice() const;
};

struct Result {
    bool ok = false;
    QString message;  // what the screen shows, success or not
    qint64 tickets = -1; // tickets in the copy, when it could be opened
    // How long the copy under backup mode and the check of the copy took (the benchmark shows them).
    int copyMs = -1;
    int checkMs = -1;
    // An earlier backup had been interrupted and was cleaned up first.
    Recovery recovered;
};

// Copies `source` to `target`, which must not exist, in a folder that must.
// The register is put into backup mode for the copy (the engine keeps the
// changes made meanwhile aside), so the copy holds exactly what was committed
// when it started; the copy is then made openable and opened (read-only
// transaction, no garbage collection) to count the rows of the six tables.
// A failure leaves no file at `target`; backup mode is ended in every case.
Result run(const QString& source, const QString& target);

// Looks at `source` (not held by this process in backup mode) and at the
// working copies in `folders` and cleans up after an interrupted backup.
Recovery recoverInterrupted(const QString& source, const QStringList& folders);

// Tests stop a backup at a named step ("begun", "copied", "checking") to
// see what an interrupted one leaves behind.
void setStepHook(std::function<void(const char* step)> hook);

// The copy of a register in backup mode carries the mode in its header; this
// clears it so the copy opens on its own. False when the file is not such a copy.
bool clearBackupLock(const QString& copy);

} // namespace backup

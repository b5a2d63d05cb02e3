#pragma once
// The backup copy of a register: a time-stamped file, taken consistently even
// while the program has the register open, checked by opening it.

#include <QDateTime>
#include <QString>

namespace backup {

// 2020_03_15_14_05.FDB
QString stampName(const QDateTime& when);
// The register of the working folder.
QString defaultSource();
// "c:\vadmo7\ment\" on this platform.
QString defaultTargetDir();

struct Result {
    bool ok = false;
    QString message;  // what the screen shows, success or not
    qint64 tickets = -1; // tickets in the copy, when it could be opened
};

// Copies `source` to `target`, which must not exist, in a folder that must.
// The register is put into backup mode for the copy (the engine keeps the
// changes made meanwhile aside), so the copy holds exactly what was committed
// when it started; the copy is then made openable and opened to count its rows.
// A failure leaves no file at `target`.
Result run(const QString& source, const QString& target);

// The copy of a register in backup mode carries the mode in its header; this
// clears it so the copy opens on its own. False when the file is not such a copy.
bool clearBackupLock(const QString& copy);

} // namespace backup

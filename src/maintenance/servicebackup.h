#pragma once
// The backup of a register kept on a Firebird server: the server's own online
// backup (gbak) through its services, written on the server's disk, because
// the program cannot see the database file to copy it.

#include "backup.h"
#include "dbsettings.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace fb {
class Connection;
}

namespace servicebackup {

// The database file as the server sees it (an alias in the connection string
// resolves to it); empty when the server does not say.
QString serverFile(fb::Connection& db);
// The backup's default path on the server: the database's folder and the
// time-stamped name, with the .FBK of a gbak file: 2020_03_15_14_05.FBK.
QString defaultTarget(const QString& serverFile, const QDateTime& when);
// The tickets that gbak's verbose lines say it wrote; -1 when they do not say.
qint64 ticketsWritten(const QStringList& gbakLines);

// Writes the backup of `db` (a server connection) to `targetOnServer`, never
// over an existing file. The result's message says where it was written and
// how many tickets it holds.
backup::Result run(const dbsettings::Target& db, const QString& targetOnServer);

} // namespace servicebackup

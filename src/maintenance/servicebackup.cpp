#include "servicebackup.h"

#include "applog.h"
#include "fb.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace servicebackup {

namespace {

backup::Result failed(const QString& why)
{
    backup::Result r;
    r.message = QString("A mentés nem történt meg: ") + why;
    return r;
}

// The path part of "host:path", "host/port:path" or "inet://host:port/path".
QString pathOnServer(const QString& conn)
{
    const qsizetype scheme = conn.indexOf("://");
    if (scheme >= 0) {
        const qsizetype slash = conn.indexOf('/', scheme + 3);
        return slash < 0 ? QString() : conn.mid(slash + 1);
    }
    return conn.mid(conn.indexOf(':') + 1);
}

} // namespace

QString serverFile(fb::Connection& db)
{
    const fb::Result r = db.executeFresh("SELECT MON$DATABASE_NAME FROM MON$DATABASE");
    return r.rows.empty() ? QString() : r.rows[0][0].toString().trimmed();
}

QString defaultTarget(const QString& file, const QDateTime& when)
{
    QString name = backup::stampName(when);
    name = name.left(name.lastIndexOf('.')) + ".FBK";
    const qsizetype slash = std::max(file.lastIndexOf('/'), file.lastIndexOf('\\'));
    return slash < 0 ? name : file.left(slash + 1) + name;
}

qint64 ticketsWritten(const QStringList& lines)
{
    static const QRegularExpression written("(\\d+)\\s+records written");
    bool inTickets = false;
    for (const QString& l : lines) {
        if (l.contains("writing data for table", Qt::CaseInsensitive)) {
            inTickets = l.trimmed().endsWith(" FJFEJ", Qt::CaseInsensitive);
            continue;
        }
        if (inTickets) {
            const auto m = written.match(l);
            if (m.hasMatch())
                return m.captured(1).toLongLong();
        }
    }
    return -1;
}

backup::Result run(const dbsettings::Target& db, const QString& target)
{
    const QString server = db.server();
    if (server.isEmpty())
        return failed("az adatbázis nem kiszolgálón van: " + db.path);
    if (target.trimmed().isEmpty())
        return failed("nincs megadva a mentés helye a kiszolgálón.");
    // gbak would write over an existing file: refuse when the name answers.
    {
        fb::Connection probe;
        try {
            probe.attach(server + ":" + target, db.user, db.password);
            probe.detach();
            return failed("ilyen nevű fájl már van a kiszolgálón: " + target);
        } catch (const fb::Error& e) {
            if (!e.text().contains("No such file or directory"))
                return failed("ilyen nevű fájl már van a kiszolgálón, vagy a hely nem érhető el: " +
                              target + "\n" + e.text());
        }
    }
    QStringList lines;
    try {
        fb::ServiceManager svc(server, db.user, db.password);
        lines = svc.backup(pathOnServer(db.path), target);
    } catch (const fb::Error& e) {
        applog::write("Mentés a kiszolgálón: " + e.text());
        // The program's own user (vadmo7-server-setup) may read and write rows,
        // not back up the database: the server lets only its owner or SYSDBA.
        if (e.text().contains("SYSDBA or owner"))
            return failed(QString("a(z) %1 felhasználó a kiszolgálón (%2) nem készíthet mentést; "
                                  "ezt a kiszolgáló rendszergazdája teheti meg, például így:\n"
                                  "gbak -b -user SYSDBA %2:%3 %4")
                              .arg(db.user.toUpper(), server, pathOnServer(db.path), target));
        return failed("a kiszolgáló nem készítette el a mentést (" + server + "):\n" + e.text());
    }
    backup::Result r;
    r.ok = true;
    r.tickets = ticketsWritten(lines);
    r.message = "A mentés elkészült a kiszolgálón (" + server + "):\n" + target;
    if (r.tickets >= 0)
        r.message += QString("\nA mentés %1 felvásárlási jegyet tartalmaz.").arg(r.tickets);
    r.message += "\n\nA Firebird saját mentése (gbak); visszatölteni a kiszolgálón a "
                 "\"gbak -c\" paranccsal lehet.";
    return r;
}

} // namespace servicebackup

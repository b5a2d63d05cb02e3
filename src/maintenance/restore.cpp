#include "restore.h"

#include "applog.h"
#include "backup.h"
#include "fb.h"
#include "safefile.h"
#include "stephook.h"
#include "values.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace restore {

namespace {

StepHook step;


} // namespace

void setStepHook(std::function<void(const char*)> hook) { step.set(std::move(hook)); }

namespace {
QDateTime madeAt(const QFileInfo& f)
{
    const QDateTime t = QDateTime::fromString(f.fileName().left(16), "yyyy_MM_dd_HH_mm");
    return t.isValid() ? t : f.lastModified();
}
} // namespace

QString Info::summary() const
{
    if (!ok())
        return "nem olvasható";
    return QString("%1 jegy, utolsó: %2").arg(tickets).arg(last.isValid() ? val::fmtDate(last) : QString("nincs"));
}

namespace {
// The ticket count and the newest ticket's date (yyyymmdd: the reader takes
// whole numbers only), then `more`.
QStringList infoSelects(const QStringList& more = {})
{
    // One pass over the tickets for both.
    return QStringList{"SELECT CAST(COUNT(*) AS BIGINT), "
                       "CAST(COALESCE(EXTRACT(YEAR FROM MAX(F_KELT)) * 10000 + "
                       "EXTRACT(MONTH FROM MAX(F_KELT)) * 100 + EXTRACT(DAY FROM MAX(F_KELT)), 0) "
                       "AS BIGINT) FROM FJFEJ"} +
           more;
}

void takeInfo(Info& i, const std::vector<qint64>& v)
{
    i.tickets = v.at(0);
    const qint64 d = v.at(1);
    if (d > 0)
        i.last = QDate(int(d / 10000), int(d / 100 % 100), int(d % 100));
}
} // namespace

Info readInfo(const QString& file)
{
    Info i;
    const QFileInfo fi(file);
    i.path = fi.absoluteFilePath();
    i.modified = fi.lastModified();
    i.made = madeAt(fi);
    i.size = fi.size();
    if (!fi.isFile()) {
        i.error = "A fájl nem létezik.";
        return i;
    }
    // The engine writes the header of a file it opens: the backup keeps its
    // own time all the same, which is when it was made.
    const backup::Reading r = backup::read(i.path, infoSelects());
    {
        QFile f(i.path);
        if (f.open(QIODevice::ReadWrite))
            f.setFileTime(i.modified, QFileDevice::FileModificationTime);
    }
    if (!r.error.isEmpty() || r.values.size() != 2) {
        i.error = r.error.isEmpty() ? QString("A fájl nem olvasható.") : r.error;
        return i;
    }
    takeInfo(i, r.values);
    return i;
}

QList<Info> list(const QString& folder, bool read)
{
    QList<Info> out;
    QDir d(folder);
    if (folder.isEmpty() || !d.exists())
        return out;
    const QFileInfoList files = d.entryInfoList({"*.fdb"}, QDir::Files | QDir::Readable);
    for (const QFileInfo& f : files) {
        if (f.fileName().endsWith(".resz", Qt::CaseInsensitive))
            continue;
        if (read) {
            out << readInfo(f.absoluteFilePath());
        } else {
            Info i;
            i.path = f.absoluteFilePath();
            i.modified = f.lastModified();
            i.made = madeAt(f);
            i.size = f.size();
            out << i;
        }
    }
    // Newest first: the time-stamped name says when it was made.
    std::sort(out.begin(), out.end(), [](const Info& a, const Info& b) {
        const QString na = QFileInfo(a.path).fileName(), nb = QFileInfo(b.path).fileName();
        return na != nb ? na > nb : a.modified > b.modified;
    });
    return out;
}

QString asideName(const QString& current, const QDateTime& now)
{
    const QFileInfo fi(current);
    return fi.absoluteDir().absoluteFilePath(fi.completeBaseName() + "_felretett_" +
                                             now.toString("yyyy_MM_dd_HH_mm_ss") + ".fdb");
}

QString confirmation(const Info& current, const QString& aside, const Info& backup)
{
    return QString("A jelenlegi nyilvántartás (%1 jegy, utolsó: %2) félre lesz téve ide: %3; "
                   "a visszatöltött mentés %4 jegyet tartalmaz (utolsó: %5).")
        .arg(current.tickets)
        .arg(current.last.isValid() ? val::fmtDate(current.last) : QString("nincs"))
        .arg(QDir::toNativeSeparators(aside))
        .arg(backup.tickets)
        .arg(backup.last.isValid() ? val::fmtDate(backup.last) : QString("nincs"));
}

QString confirmationNew(const QString& current, const Info& backup)
{
    return QString("A visszatöltött mentés %1 jegyet tartalmaz (utolsó: %2); ez lesz a "
                   "nyilvántartás: %3.")
        .arg(backup.tickets)
        .arg(backup.last.isValid() ? val::fmtDate(backup.last) : QString("nincs"))
        .arg(QDir::toNativeSeparators(current));
}

QString check(const QString& copy, qint64* tickets)
{
    // The engine's own validation reads every page; it reports what it finds.
    try {
        fb::ServiceManager svc(QString(), "SYSDBA", "tollvirag");
        const QStringList found = svc.validate(QFileInfo(copy).absoluteFilePath());
        QStringList problems;
        for (const QString& l : found)
            if (!l.trimmed().isEmpty())
                problems << l.trimmed();
        if (!problems.isEmpty())
            return "a mentés sérült (az adatbázis-kezelő ellenőrzése hibát talált):\n" +
                   problems.mid(0, 8).join("\n");
    } catch (const std::exception& e) {
        return "a mentés nem nyitható meg, vagy sérült:\n" + QString::fromUtf8(e.what());
    }
    // The validation has read every page; that each table is there is enough now,
    // with the ticket count for the message (the newest date would cost a
    // second pass over the tickets, and the restore does not show it).
    QStringList tables{"SELECT CAST(COUNT(*) AS BIGINT) FROM FJFEJ"};
    for (const QString& t : backup::tables())
        tables << "SELECT CAST(0 AS BIGINT) FROM RDB$DATABASE WHERE NOT EXISTS (SELECT 1 FROM " + t + ")";
    const backup::Reading r = backup::read(copy, tables);
    if (!r.error.isEmpty())
        return "a mentésből hiányzik a program egyik táblája, vagy nem olvasható:\n" + r.error;
    if (tickets)
        *tickets = r.values.at(0);
    return {};
}

Outcome run(const QString& backupFile, const QString& currentFile, const QDateTime& now,
            const std::function<void()>& closeCurrent, const std::function<QString()>& reopen)
{
    Outcome o;
    const QString current = QFileInfo(currentFile).absoluteFilePath();
    const QString source = QFileInfo(backupFile).absoluteFilePath();
    const auto fail = [&](const QString& why) {
        o.ok = false;
        o.message = "A visszatöltés nem történt meg: " + why;
        applog::write("Visszatöltés: " + source + ": " + why);
        return o;
    };
    if (!QFileInfo(source).isFile())
        return fail("a mentés nem található: " + QDir::toNativeSeparators(source));
    if (source == current)
        return fail("a kiválasztott fájl maga a jelenlegi nyilvántartás.");

    // The copy goes beside the register first: it is checked where it will live.
    const QString work = current + ".visszatoltes";
    QFile::remove(work);
    if (const int e = safefile::copyNew(source, work))
        return fail("a mentés nem másolható ide: " + safefile::failure(work, e));
    step("copied");
    qint64 tickets = -1;
    if (const QString why = check(work, &tickets); !why.isEmpty()) {
        QFile::remove(work);
        return fail(why + "\n\nA jelenlegi nyilvántartás változatlan.");
    }

    const bool hadCurrent = QFileInfo::exists(current);
    const QString aside = hadCurrent ? asideName(current, now) : QString();
    // Changes kept aside by an interrupted backup go into the register before it moves.
    if (hadCurrent)
        backup::recoverInterrupted(current, {});
    closeCurrent();
    bool movedAside = false, placed = false;
    const auto putBack = [&](const QString& why) {
        QString text = why;
        // What stands in the register's place is the copy of the backup, which
        // stays in the backup folder: only this copy goes.
        if (placed)
            QFile::remove(current);
        if (movedAside) {
            if (const int e = safefile::renameNew(aside, current))
                text += "\n\nA korábbi nyilvántartás nem tehető vissza (" + safefile::reason(e) +
                        "); megvan itt: " + QDir::toNativeSeparators(aside);
            else
                text += "\n\nA korábbi nyilvántartás a helyére került.";
        }
        QFile::remove(work);
        if (hadCurrent) {
            const QString again = reopen();
            if (!again.isEmpty())
                text += "\n\nA nyilvántartás nem nyitható meg újra: " + again;
        }
        return fail(text);
    };
    try {
        if (hadCurrent) {
            if (const int e = safefile::renameNew(current, aside))
                return putBack("a jelenlegi nyilvántartás nem tehető félre: " +
                               safefile::failure(aside, e));
            movedAside = true;
        }
        step("aside");
        if (const int e = safefile::renameNew(work, current))
            return putBack("a mentés nem tehető a helyére: " + safefile::failure(current, e));
        placed = true;
        step("placed");
    } catch (const std::exception& e) {
        return putBack(QString::fromUtf8(e.what()));
    }
    if (const QString why = reopen(); !why.isEmpty()) {
        closeCurrent();
        return putBack("a visszatöltött nyilvántartás nem nyitható meg: " + why);
    }
    o.ok = true;
    o.aside = aside;
    o.tickets = tickets;
    o.message = QString("A mentés visszatöltve: %1\nA nyilvántartás most %2 jegyet tartalmaz.")
                    .arg(QDir::toNativeSeparators(source))
                    .arg(tickets);
    if (hadCurrent)
        o.message += "\n\nA korábbi nyilvántartás megvan, félretéve ide: " +
                     QDir::toNativeSeparators(aside);
    applog::write("Visszatöltés: " + source + " -> " + current +
                  (hadCurrent ? ", a korábbi: " + aside : QString()));
    return o;
}

QString serverExplanation(const QString& server, const QString& databaseOnServer,
                          const QString& backupOnServer)
{
    QString newDb = databaseOnServer;
    const qsizetype dot = newDb.lastIndexOf('.');
    newDb = (dot > 0 ? newDb.left(dot) : newDb) + "_visszatoltott.fdb";
    return QString("A nyilvántartás a(z) %1 kiszolgálón van: a mentést ott, a kiszolgáló gépén "
                   "kell visszatölteni a Firebird saját gbak programjával; innen ez nem végezhető "
                   "el.\n\nA kiszolgálón futtatandó parancs (a mentés fájlja a kiszolgálón):\n\n"
                   "gbak -c -v -user SYSDBA -password <jelszó> %2 %3\n\n"
                   "Utána, amikor egyik gép sem használja, a régi adatbázist (%4) tegye félre, "
                   "és az új fájlt nevezze át a helyére.")
        .arg(server, backupOnServer, newDb, databaseOnServer);
}

} // namespace restore

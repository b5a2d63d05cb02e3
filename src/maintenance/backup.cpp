#include "backup.h"

#include "fb.h"
#include "settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <system_error>

namespace backup {

namespace {

constexpr const char* Done = "Az adatbázis átmásolva a \"Hová\" könyvtárba. Kérem ellenőrizze le.";
constexpr const char* NotDone = "A mentés nem történt meg: ";

// The header page's flags word and its backup-state bits.
constexpr qint64 FlagsOffset = 42;
constexpr quint16 BackupMask = 0x0C00;
constexpr quint16 BackupStalled = 0x0400;

Result failed(const QString& why)
{
    Result r;
    r.message = NotDone + why;
    return r;
}

QString systemText(const std::error_code& ec)
{
    switch (ec.value()) {
    case ENOSPC: return "nincs elég hely a lemezen";
    case EACCES:
    case EPERM: return "nincs írási jogosultság";
    case EROFS: return "a lemez csak olvasható";
    default: return QString::fromLocal8Bit(ec.message().c_str());
    }
}

// Counts what the copy holds, opened on its own: proof that it is a register.
qint64 countTickets(const QString& copy, QString& why)
{
    try {
        fb::Connection c;
        c.attach(copy);
        qint64 tickets = 0;
        for (const char* t : {"FJFEJ", "FJSOR", "OSTERMELO", "TERMEK", "SORSZAM", "ATVEVO"}) {
            const fb::Result r = c.execute(QString("SELECT COUNT(*) FROM %1").arg(t));
            if (QString(t) == "FJFEJ")
                tickets = r.rows.at(0).at(0).toLongLong();
        }
        c.rollback();
        c.detach();
        return tickets;
    } catch (const std::exception& e) {
        why = QString::fromUtf8(e.what());
        return -1;
    }
}

} // namespace

QString stampName(const QDateTime& when)
{
    return when.toString("yyyy_MM_dd_HH_mm") + ".FDB";
}

QString defaultSource()
{
    return QDir::current().absoluteFilePath("vadmo7.fdb");
}

QString defaultTargetDir()
{
    return settings::winPath("c:\\vadmo7\\ment\\");
}

bool clearBackupLock(const QString& copy)
{
    QFile f(copy);
    if (!f.open(QIODevice::ReadWrite) || !f.seek(FlagsOffset))
        return false;
    uchar b[2];
    if (f.read(reinterpret_cast<char*>(b), 2) != 2)
        return false;
    const quint16 flags = quint16(b[0] | (b[1] << 8));
    if ((flags & BackupMask) != BackupStalled)
        return false;
    const quint16 fixed = flags & ~BackupMask;
    b[0] = uchar(fixed & 0xff);
    b[1] = uchar(fixed >> 8);
    return f.seek(FlagsOffset) && f.write(reinterpret_cast<const char*>(b), 2) == 2 && f.flush();
}

Result run(const QString& source, const QString& target)
{
    if (!QFileInfo(source).isFile()) {
        Result r;
        r.message = "Hiba! A \"Honnan\" -ban megadott fálj nem létezik.";
        return r;
    }
    const QFileInfo ti(target);
    if (!ti.absoluteDir().exists())
        return failed("a \"Hová\" mappa nem létezik: " + ti.absolutePath());
    if (ti.exists())
        return failed("ilyen nevű mentés már van: " + ti.absoluteFilePath() +
                      "\nVálasszon másik nevet, vagy várjon egy percet.");

    // The copy is made under a working name and gets its own only when it
    // has been opened and counted.
    const QString part = ti.absoluteFilePath() + ".resz";
    QFile::remove(part);

    fb::Connection src;
    try {
        src.attach(source);
        src.executeImmediate("ALTER DATABASE BEGIN BACKUP");
        src.commit();
    } catch (const std::exception& e) {
        return failed("az adatbázis nem nyitható meg mentésre:\n" + QString::fromUtf8(e.what()));
    }
    std::error_code ec;
    std::filesystem::copy_file(source.toStdString(), part.toStdString(),
                               std::filesystem::copy_options::none, ec);
    try {
        src.executeImmediate("ALTER DATABASE END BACKUP");
        src.commit();
        src.detach();
    } catch (const std::exception&) {
        // The engine ends backup mode by itself when the last attachment goes.
    }
    if (ec) {
        QFile::remove(part);
        return failed("a másolás nem sikerült: " + systemText(ec));
    }
    if (!clearBackupLock(part)) {
        QFile::remove(part);
        return failed("a másolat nem javítható meg: " + part);
    }
    QString why;
    const qint64 tickets = countTickets(part, why);
    if (tickets < 0) {
        QFile::remove(part);
        return failed("a másolat nem nyitható meg:\n" + why);
    }
    // Never over a file that appeared meanwhile.
    if (::renameat2(AT_FDCWD, QFile::encodeName(part).constData(), AT_FDCWD,
                    QFile::encodeName(ti.absoluteFilePath()).constData(), RENAME_NOREPLACE) != 0) {
        const int err = errno;
        QFile::remove(part);
        return failed(err == EEXIST ? "ilyen nevű mentés már van: " + ti.absoluteFilePath()
                                    : systemText(std::error_code(err, std::generic_category())));
    }
    Result r;
    r.ok = true;
    r.tickets = tickets;
    r.message = QString(Done) + "\n\nA mentés: " + ti.absoluteFilePath() +
                QString("\nA másolat rendben megnyílt, %1 felvásárlási jegyet tartalmaz.").arg(tickets);
    return r;
}

} // namespace backup

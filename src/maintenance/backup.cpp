#include "backup.h"

#include "applog.h"
#include "fb.h"
#include "safefile.h"
#include "stephook.h"
#include "settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <firebird/Interface.h>
#include <ibase.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

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

StepHook step;

// Beside the register while a backup runs: where its working copy is, so
// that the next start can remove it if the backup never finished.
QString markerOf(const QString& source) { return source + ".mentes"; }

// The working copies this program makes: a time-stamped name + ".resz".
bool isWorkingCopy(const QString& name)
{
    static const QRegularExpression re("^\\d{4}_\\d\\d_\\d\\d_\\d\\d_\\d\\d\\.FDB\\.resz$",
                                       QRegularExpression::CaseInsensitiveOption);
    return re.match(name).hasMatch();
}

// 0 normal, 1 backup mode (stalled), 2 merge, 3 unknown.
int backupState(fb::Connection& c)
{
    const fb::Result r = c.executeFresh("SELECT MON$BACKUP_STATE FROM MON$DATABASE");
    return r.rows.empty() ? 0 : r.rows[0][0].toInt();
}

// Ends a backup mode that no backup of ours is holding. True when it had to.
bool endStaleMode(fb::Connection& c)
{
    if (backupState(c) == 0)
        return false;
    c.executeImmediate("ALTER DATABASE END BACKUP");
    c.commit();
    return true;
}

QStringList removeWorkingCopies(const QString& source, const QStringList& folders)
{
    QStringList removed;
    QFile marker(markerOf(source));
    if (marker.open(QIODevice::ReadOnly)) {
        const QString part = QString::fromUtf8(marker.readAll()).trimmed();
        marker.close();
        if (isWorkingCopy(QFileInfo(part).fileName()) && QFile::remove(part))
            removed << part;
        QFile::remove(marker.fileName());
    }
    for (const QString& f : folders) {
        QDir d(f);
        if (f.isEmpty() || !d.exists())
            continue;
        for (const QString& n : d.entryList({"*.resz"}, QDir::Files))
            if (isWorkingCopy(n) && QFile::remove(d.absoluteFilePath(n)))
                removed << d.absoluteFilePath(n);
    }
    return removed;
}

// An attachment of the copy in a read-only transaction, counting rows.
// Garbage collection is off: counting leaves the copy's pages as copied.
class CopyReader {
public:
    explicit CopyReader(const QString& copy)
        : m_(Firebird::fb_get_master_interface()), util_(m_->getUtilInterface()),
          st_(m_->getStatus())
    {
        using namespace Firebird;
        IProvider* prov = m_->getDispatcher();
        IXpbBuilder* dpb = nullptr;
        IXpbBuilder* tpb = nullptr;
        try {
            dpb = util_->getXpbBuilder(&st_, IXpbBuilder::DPB, nullptr, 0);
            dpb->insertString(&st_, isc_dpb_user_name, "SYSDBA");
            dpb->insertString(&st_, isc_dpb_password, "tollvirag");
            dpb->insertTag(&st_, isc_dpb_no_garbage_collect);
            dpb->insertTag(&st_, isc_dpb_no_db_triggers);
            att_ = prov->attachDatabase(&st_, QFile::encodeName(copy).constData(),
                                        dpb->getBufferLength(&st_), dpb->getBuffer(&st_));
            tpb = util_->getXpbBuilder(&st_, IXpbBuilder::TPB, nullptr, 0);
            tpb->insertTag(&st_, isc_tpb_read);
            tpb->insertTag(&st_, isc_tpb_concurrency);
            tra_ = att_->startTransaction(&st_, tpb->getBufferLength(&st_), tpb->getBuffer(&st_));
        } catch (const Firebird::FbException& e) {
            keep(e);
        }
        if (tpb)
            tpb->dispose();
        if (dpb)
            dpb->dispose();
        prov->release();
    }

    ~CopyReader()
    {
        using namespace Firebird;
        CheckStatusWrapper quiet(m_->getStatus());
        if (tra_) {
            tra_->rollback(&quiet);
            if (quiet.getState() & IStatus::STATE_ERRORS)
                tra_->release();
        }
        quiet.clearException();
        if (att_) {
            att_->detach(&quiet);
            if (quiet.getState() & IStatus::STATE_ERRORS)
                att_->release();
        }
        quiet.dispose();
        st_.dispose();
    }

    CopyReader(const CopyReader&) = delete;
    CopyReader& operator=(const CopyReader&) = delete;

    // Rows of each table; on a failure the first error is kept and counting stops.
    void count(const QStringList& tables)
    {
        QStringList selects;
        for (const QString& t : tables)
            selects << "SELECT CAST(COUNT(*) AS BIGINT) FROM " + t;
        const std::vector<qint64> v = values(selects);
        for (size_t i = 0; i < v.size(); ++i)
            rows[tables[int(i)]] = v[i];
    }

    // The one BIGINT each statement gives; on a failure the first error is
    // kept and reading stops.
    std::vector<qint64> values(const QStringList& selects)
    {
        using namespace Firebird;
        std::vector<qint64> out;
        if (!error.isEmpty())
            return out;
        try {
            for (const QString& s : selects) {
                const QByteArray sql = s.toLatin1();
                IStatement* stmt = att_->prepare(&st_, tra_, 0, sql.constData(), 3,
                                                 IStatement::PREPARE_PREFETCH_METADATA);
                IMessageMetadata* meta = stmt->getOutputMetadata(&st_);
                std::vector<unsigned char> msg(meta->getMessageLength(&st_));
                IResultSet* rs = stmt->openCursor(&st_, tra_, nullptr, nullptr, meta, 0);
                const bool row = rs->fetchNext(&st_, msg.data()) == IStatus::RESULT_OK;
                // Every column of the first row; -1 each when there is none.
                for (unsigned c = 0; c < meta->getCount(&st_); ++c) {
                    qint64 n = -1;
                    if (row)
                        std::memcpy(&n, msg.data() + meta->getOffset(&st_, c), sizeof n);
                    out.push_back(n);
                }
                rs->close(&st_);
                meta->release();
                stmt->free(&st_);
            }
        } catch (const FbException& e) {
            keep(e);
        }
        return out;
    }

    std::map<QString, qint64> rows;
    QString error;

private:
    void keep(const Firebird::FbException& e)
    {
        char text[2048];
        util_->formatStatus(text, sizeof text, e.getStatus());
        error = QString::fromLocal8Bit(text);
    }
    Firebird::IMaster* m_;
    Firebird::IUtil* util_;
    Firebird::ThrowStatusWrapper st_;
    Firebird::IAttachment* att_ = nullptr;
    Firebird::ITransaction* tra_ = nullptr;
};

// Ends backup mode. The mode is kept in the register's header across
// detaches, so a failure is tried once more on a fresh attachment and then
// reported: left alone, every later change would go to the delta file.
QString endBackup(fb::Connection& src, const QString& source)
{
    try {
        src.executeImmediate("ALTER DATABASE END BACKUP");
        src.commit();
        src.detach();
        return {};
    } catch (const std::exception&) {
    }
    try {
        src.detach();
    } catch (const std::exception&) {
    }
    try {
        fb::Connection again;
        again.attach(source);
        again.executeImmediate("ALTER DATABASE END BACKUP");
        again.commit();
        again.detach();
        return {};
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

} // namespace

QStringList tables()
{
    return {"FJFEJ", "FJSOR", "OSTERMELO", "TERMEK", "SORSZAM", "ATVEVO"};
}

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

Reading read(const QString& file, const QStringList& selects)
{
    Reading r;
    CopyReader reader(file);
    r.values = reader.values(selects);
    r.error = reader.error;
    return r;
}

QString Recovery::notice() const
{
    QString t;
    if (endedBackupMode)
        t = "Egy korábbi mentés félbeszakadt, és az adatbázis mentési módban maradt. Ezt most "
            "rendbe tettem: a közben rögzített adatok megmaradtak, a mentés újra működik.";
    if (!error.isEmpty())
        t = "Egy korábbi mentés félbeszakadt, és az adatbázis mentési módban maradt; ezt nem "
            "sikerült megszüntetni, ezért a mentés most nem fog működni:\n" + error;
    if (!removed.isEmpty())
        t += QString(t.isEmpty() ? "" : "\n\n") + "A félbemaradt mentés munkafájlját töröltem: " +
             removed.join(", ");
    return t;
}

void setStepHook(std::function<void(const char*)> hook) { step.set(std::move(hook)); }

Recovery recoverInterrupted(const QString& source, const QStringList& folders)
{
    Recovery r;
    if (!QFileInfo(source).isFile())
        return r;
    // The header says backup mode, or a backup left its mark: only then is the
    // register attached here (the start-up stays as quick as it was).
    bool looksInterrupted = QFileInfo::exists(markerOf(source));
    {
        QFile f(source);
        uchar b[2] = {0, 0};
        if (f.open(QIODevice::ReadOnly) && f.seek(FlagsOffset) &&
            f.read(reinterpret_cast<char*>(b), 2) == 2 && (quint16(b[0] | (b[1] << 8)) & BackupMask))
            looksInterrupted = true;
    }
    const bool marked = QFileInfo::exists(markerOf(source));
    if (looksInterrupted) {
        try {
            fb::Connection c;
            c.attach(source);
            r.endedBackupMode = endStaleMode(c);
            if (!r.endedBackupMode && marked) {
                // Killed while backup mode was ending: the header may read
                // normal with the mode still held. Trying it shows which.
                try {
                    c.executeImmediate("ALTER DATABASE BEGIN BACKUP");
                    c.commit();
                } catch (const std::exception& e) {
                    if (!QString::fromUtf8(e.what()).contains("already in the physical backup mode"))
                        throw;
                    c.rollback();
                    r.endedBackupMode = true;
                }
                c.executeImmediate("ALTER DATABASE END BACKUP");
                c.commit();
            }
            c.detach();
        } catch (const std::exception& e) {
            // Not our business when the register does not open at all: the
            // start-up says why.
            const QString text = QString::fromUtf8(e.what());
            if (text.contains("backup", Qt::CaseInsensitive))
                r.error = text;
        }
    }
    r.removed = removeWorkingCopies(source, folders);
    if (r.endedBackupMode)
        applog::write("Félbeszakadt mentés: " + source + " mentési módja megszüntetve.");
    if (!r.error.isEmpty())
        applog::write("Félbeszakadt mentés: " + source + ": " + r.error);
    for (const QString& f : r.removed)
        applog::write("Félbeszakadt mentés munkafájlja törölve: " + f);
    return r;
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
    // has been opened, counted and put on the disk.
    const QString part = ti.absoluteFilePath() + ".resz";
    QFile::remove(part);

    QElapsedTimer clock;
    clock.start();
    fb::Connection src;
    Recovery recovered;
    try {
        src.attach(source);
        // A backup killed half-way leaves the mode on and every later one refused.
        recovered.endedBackupMode = endStaleMode(src);
    } catch (const std::exception& e) {
        return failed("az adatbázis nem nyitható meg mentésre:\n" + QString::fromUtf8(e.what()));
    }
    recovered.removed = removeWorkingCopies(source, {ti.absolutePath()});
    if (recovered.endedBackupMode)
        applog::write("Félbeszakadt mentés: " + source + " mentési módja megszüntetve.");
    try {
        try {
            src.executeImmediate("ALTER DATABASE BEGIN BACKUP");
            src.commit();
        } catch (const std::exception& e) {
            // Killed while backup mode was ending, the header may read normal
            // and the mode still be held: ending it again lets the backup start.
            if (!QString::fromUtf8(e.what()).contains("already in the physical backup mode"))
                throw;
            src.rollback();
            src.executeImmediate("ALTER DATABASE END BACKUP");
            src.commit();
            recovered.endedBackupMode = true;
            applog::write("Félbeszakadt mentés: " + source + " mentési módja megszüntetve.");
            src.executeImmediate("ALTER DATABASE BEGIN BACKUP");
            src.commit();
        }
    } catch (const std::exception& e) {
        return failed("az adatbázis nem nyitható meg mentésre:\n" + QString::fromUtf8(e.what()));
    }
    {
        QFile marker(markerOf(source));
        if (marker.open(QIODevice::WriteOnly))
            marker.write(part.toUtf8());
    }
    step("begun");
    const int err = safefile::copyNew(source, part);
    const int copyMs = int(clock.restart());
    step("copied");

    // Backup mode ends while the copy is checked: the two do not wait on each other.
    QString endError;
    std::thread ender([&] { endError = endBackup(src, source); });

    QString why;
    qint64 tickets = -1;
    if (err != 0) {
        why = "a másolás nem sikerült: " + safefile::failure(part, err);
    } else if (!clearBackupLock(part)) {
        why = "a másolat nem javítható meg: " + part;
    } else {
        // One attachment: counting the line table on a second one beside the
        // rest was slower, the two scans contend for the engine's page cache.
        CopyReader copy(part);
        step("checking");
        copy.count(backup::tables());
        if (!copy.error.isEmpty())
            why = "a másolat nem nyitható meg:\n" + copy.error;
        else
            tickets = copy.rows.at("FJFEJ");
    }
    // What the check wrote into the copy's header goes to the disk with it.
    if (why.isEmpty())
        if (const int e = safefile::syncFile(part))
            why = "a másolat nem írható ki a lemezre: " + safefile::failure(part, e);
    const int checkMs = int(clock.elapsed());
    ender.join();

    const QString stillLocked =
        endError.isEmpty() ? QString()
                           : "\n\nFigyelem: az adatbázis mentési módban maradt, a változások "
                             "külön fájlba kerülnek, amíg ez meg nem szűnik:\n" + endError;
    const auto refuse = [&](const QString& text) {
        QFile::remove(part);
        QFile::remove(markerOf(source));
        Result r = failed(text);
        r.message += stillLocked;
        r.recovered = recovered;
        return r;
    };
    if (!why.isEmpty())
        return refuse(why);
    // Never over a file that appeared meanwhile; the folder is flushed with the name.
    if (const int e = safefile::renameNew(part, ti.absoluteFilePath())) {
        if (!QFileInfo::exists(part)) // renamed, but the folder could not be flushed
            QFile::remove(ti.absoluteFilePath());
        return refuse(e == EEXIST ? "ilyen nevű mentés már van: " + ti.absoluteFilePath()
                                  : safefile::failure(ti.absoluteFilePath(), e));
    }
    QFile::remove(markerOf(source));
    Result r;
    r.ok = true;
    r.tickets = tickets;
    r.copyMs = copyMs;
    r.checkMs = checkMs;
    r.recovered = recovered;
    r.message = QString(Done) + "\n\nA mentés: " + ti.absoluteFilePath() +
                QString("\nA másolat rendben megnyílt, %1 felvásárlási jegyet tartalmaz.").arg(tickets) +
                stillLocked;
    if (!recovered.notice().isEmpty())
        r.message += "\n\n" + recovered.notice();
    return r;
}

} // namespace backup

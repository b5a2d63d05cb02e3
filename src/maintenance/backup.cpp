#include "backup.h"

#include "fb.h"
#include "settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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

// Closes a file descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int release()
    {
        const int f = fd;
        fd = -1;
        return ::close(f);
    }
};

// Copies the file in large chunks inside the kernel, as cp does; where the
// kernel cannot (another file system, an old kernel) it reads and writes.
// The target is created here and must not exist. 0 or the errno.
int copyFile(const QString& from, const QString& to)
{
    Fd in(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0)
        return errno;
    struct stat st {};
    if (::fstat(in.fd, &st) != 0)
        return errno;
    Fd out(::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                  st.st_mode & 0777));
    if (out.fd < 0)
        return errno;
    bool inKernel = true;
    qint64 copied = 0;
    std::vector<char> buf;
    for (;;) {
        ssize_t n;
        if (inKernel) {
            n = ::copy_file_range(in.fd, nullptr, out.fd, nullptr, 1 << 30, 0);
            if (n < 0 && copied == 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
                inKernel = false;
                buf.resize(1 << 20);
                continue;
            }
        } else {
            n = ::read(in.fd, buf.data(), buf.size());
            for (ssize_t w = 0; n > 0 && w < n;) {
                const ssize_t k = ::write(out.fd, buf.data() + w, size_t(n - w));
                if (k < 0 && errno != EINTR)
                    return errno;
                w += std::max<ssize_t>(k, 0);
            }
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        copied += n;
    }
    if (copied != st.st_size)
        return EIO; // the file changed size under the copy
    return out.release() == 0 ? 0 : errno;
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
        using namespace Firebird;
        if (!error.isEmpty())
            return;
        try {
            for (const QString& t : tables) {
                const QByteArray sql = "SELECT CAST(COUNT(*) AS BIGINT) FROM " + t.toLatin1();
                IStatement* stmt = att_->prepare(&st_, tra_, 0, sql.constData(), 3,
                                                 IStatement::PREPARE_PREFETCH_METADATA);
                IMessageMetadata* meta = stmt->getOutputMetadata(&st_);
                std::vector<unsigned char> msg(meta->getMessageLength(&st_));
                const unsigned off = meta->getOffset(&st_, 0);
                IResultSet* rs = stmt->openCursor(&st_, tra_, nullptr, nullptr, meta, 0);
                qint64 n = -1;
                if (rs->fetchNext(&st_, msg.data()) == IStatus::RESULT_OK)
                    std::memcpy(&n, msg.data() + off, sizeof n);
                rs->close(&st_);
                meta->release();
                stmt->free(&st_);
                rows[t] = n;
            }
        } catch (const FbException& e) {
            keep(e);
        }
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

    QElapsedTimer clock;
    clock.start();
    fb::Connection src;
    try {
        src.attach(source);
        src.executeImmediate("ALTER DATABASE BEGIN BACKUP");
        src.commit();
    } catch (const std::exception& e) {
        return failed("az adatbázis nem nyitható meg mentésre:\n" + QString::fromUtf8(e.what()));
    }
    const int err = copyFile(source, part);
    const int copyMs = int(clock.restart());

    // Backup mode ends while the copy is checked: the two do not wait on each other.
    QString endError;
    std::thread ender([&] { endError = endBackup(src, source); });

    QString why;
    qint64 tickets = -1;
    if (err != 0) {
        why = "a másolás nem sikerült: " + systemText(std::error_code(err, std::generic_category()));
    } else if (!clearBackupLock(part)) {
        why = "a másolat nem javítható meg: " + part;
    } else {
        // One attachment: counting the line table on a second one beside the
        // rest was slower, the two scans contend for the engine's page cache.
        CopyReader copy(part);
        copy.count(backup::tables());
        if (!copy.error.isEmpty())
            why = "a másolat nem nyitható meg:\n" + copy.error;
        else
            tickets = copy.rows.at("FJFEJ");
    }
    const int checkMs = int(clock.elapsed());
    ender.join();

    const QString stillLocked =
        endError.isEmpty() ? QString()
                           : "\n\nFigyelem: az adatbázis mentési módban maradt, a változások "
                             "külön fájlba kerülnek, amíg ez meg nem szűnik:\n" + endError;
    if (!why.isEmpty()) {
        QFile::remove(part);
        Result r = failed(why);
        r.message += stillLocked;
        return r;
    }
    // Never over a file that appeared meanwhile.
    if (::renameat2(AT_FDCWD, QFile::encodeName(part).constData(), AT_FDCWD,
                    QFile::encodeName(ti.absoluteFilePath()).constData(), RENAME_NOREPLACE) != 0) {
        const int e = errno;
        QFile::remove(part);
        Result r = failed(e == EEXIST ? "ilyen nevű mentés már van: " + ti.absoluteFilePath()
                                      : systemText(std::error_code(e, std::generic_category())));
        r.message += stillLocked;
        return r;
    }
    Result r;
    r.ok = true;
    r.tickets = tickets;
    r.copyMs = copyMs;
    r.checkMs = checkMs;
    r.message = QString(Done) + "\n\nA mentés: " + ti.absoluteFilePath() +
                QString("\nA másolat rendben megnyílt, %1 felvásárlási jegyet tartalmaz.").arg(tickets) +
                stillLocked;
    return r;
}

} // namespace backup

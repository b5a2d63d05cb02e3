#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace safefile {

namespace {

QByteArray native(const QString& p) { return QFile::encodeName(p); }

int retryClose(int fd) { return ::close(fd) == 0 ? 0 : errno; }

} // namespace

QString reason(int err)
{
    switch (err) {
    case 0: return "Ismeretlen hiba";
    case ENOSPC:
    case EDQUOT: return "Betelt a lemez";
    case EACCES:
    case EPERM: return "Nincs írási jog";
    case ENOENT: return "A mappa nem létezik";
    case ENOTDIR: return "Az útvonal egyik tagja nem mappa";
    case EROFS: return "A lemez csak olvasható";
    case EISDIR: return "A megadott név egy mappáé";
    case EEXIST: return "Ilyen nevű fájl már van";
    case EIO: return "Írási hiba a lemezen (a lemez vagy a pendrive hibás, vagy kihúzták)";
    case ENAMETOOLONG: return "Túl hosszú a fájl neve";
    case EBUSY:
    case ETXTBSY: return "A fájlt egy másik program használja";
    case EXDEV: return "A két hely különböző lemezen van";
    case EMFILE:
    case ENFILE: return "Túl sok megnyitott fájl";
    default: return QString("Rendszerhiba %1 (%2)").arg(err).arg(QString::fromLocal8Bit(std::strerror(err)));
    }
}

QString failure(const QString& path, int err)
{
    return reason(err) + ": " + QDir::toNativeSeparators(path);
}

int syncDir(const QString& dir)
{
    const int fd = ::open(native(dir.isEmpty() ? QString(".") : dir).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int e = ::fsync(fd) == 0 ? 0 : errno;
    // Some file systems (a network share) cannot flush a folder: not a failure of ours.
    if (e == EINVAL || e == ENOTSUP)
        e = 0;
    ::close(fd);
    return e;
}

int syncFile(const QString& path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int e = ::fsync(fd) == 0 ? 0 : errno;
    const int c = retryClose(fd);
    return e ? e : c;
}

int replace(const QString& from, const QString& to)
{
    if (::rename(native(from).constData(), native(to).constData()) != 0)
        return errno;
    return syncDir(QFileInfo(to).absolutePath());
}

int renameNew(const QString& from, const QString& to)
{
    if (::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(),
                    RENAME_NOREPLACE) != 0)
        return errno;
    return syncDir(QFileInfo(to).absolutePath());
}

int copyNew(const QString& from, const QString& to)
{
    const int in = ::open(native(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        const int e = errno;
        ::close(in);
        return e;
    }
    const int out = ::open(native(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                           st.st_mode & 0777);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        return e;
    }
    int err = 0;
    bool inKernel = true;
    qint64 copied = 0;
    std::vector<char> buf;
    for (;;) {
        ssize_t n;
        // In large chunks inside the kernel, as cp does; where the kernel
        // cannot (another file system), read and write.
        if (inKernel) {
            n = ::copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
            if (n < 0 && copied == 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
                inKernel = false;
                buf.resize(1 << 20);
                continue;
            }
        } else {
            n = ::read(in, buf.data(), buf.size());
            for (ssize_t w = 0; n > 0 && w < n && !err;) {
                const ssize_t k = ::write(out, buf.data() + w, size_t(n - w));
                if (k < 0 && errno != EINTR)
                    err = errno;
                w += std::max<ssize_t>(k, 0);
            }
        }
        if (err)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            break;
        }
        if (n == 0)
            break;
        copied += n;
    }
    if (!err && copied != st.st_size)
        err = EIO; // the file changed size under the copy
    if (!err && ::fsync(out) != 0)
        err = errno;
    const int c = retryClose(out);
    if (!err)
        err = c;
    ::close(in);
    if (err)
        ::unlink(native(to).constData());
    return err;
}

Writer::Writer(const QString& path) : path_(QFileInfo(path).absoluteFilePath()), part_(path_ + ".resz") {}

Writer::~Writer() { cancel(); }

bool Writer::fail(int e)
{
    if (!err_)
        err_ = e ? e : EIO;
    return false;
}

bool Writer::open()
{
    cancel();
    err_ = 0;
    // The target's own permissions when it exists; otherwise the usual ones.
    mode_t mode = 0666;
    struct stat st {};
    if (::stat(native(path_).constData(), &st) == 0)
        mode = st.st_mode & 0777;
    fd_ = ::open(native(part_).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd_ < 0)
        return fail(errno);
    if (::stat(native(path_).constData(), &st) == 0)
        ::fchmod(fd_, st.st_mode & 0777);
    buf_.reserve(1 << 16);
    return true;
}

bool Writer::flushBuffer()
{
    const char* p = buf_.constData();
    qint64 left = buf_.size();
    while (left > 0) {
        const ssize_t k = ::write(fd_, p, size_t(left));
        if (k < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        p += k;
        left -= k;
    }
    buf_.clear();
    return true;
}

bool Writer::write(const char* data, qint64 size)
{
    if (fd_ < 0 || err_)
        return fail(err_ ? err_ : EBADF);
    if (buf_.size() + size > (1 << 16) && !flushBuffer())
        return false;
    if (size > (1 << 16)) {
        buf_ = QByteArray(data, size);
        return flushBuffer();
    }
    buf_.append(data, size);
    return true;
}

bool Writer::commit()
{
    if (fd_ < 0 || err_) {
        const int e = err_ ? err_ : EBADF;
        cancel();
        return fail(e);
    }
    bool ok = flushBuffer();
    if (ok && ::fsync(fd_) != 0)
        ok = fail(errno);
    const int c = retryClose(fd_);
    fd_ = -1;
    if (ok && c)
        ok = fail(c);
    if (ok) {
        const int e = replace(part_, path_);
        if (e)
            ok = fail(e);
    }
    if (!ok)
        ::unlink(native(part_).constData());
    return ok;
}

void Writer::cancel()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(native(part_).constData());
    }
    buf_.clear();
}

int writeAll(const QString& path, const QByteArray& bytes)
{
    Writer w(path);
    if (w.open() && w.write(bytes) && w.commit())
        return 0;
    return w.error();
}

} // namespace safefile

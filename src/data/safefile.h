#pragma once
// Files that are either wholly there or not changed at all: written under a
// working name beside the target, flushed to the disk, renamed over the
// target, the folder flushed too. Only then may the program say "done".
// Failures carry the system's reason in Hungarian.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace safefile {

// The system's reason for errno `err` in Hungarian: "Betelt a lemez",
// "Nincs írási jog", "A mappa nem létezik" …
QString reason(int err);
// "<reason>: <path>".
QString failure(const QString& path, int err);

// Flushes a folder's entries (a rename in it) to the disk. 0 or errno.
int syncDir(const QString& dir);
// Flushes a file's contents to the disk. 0 or errno.
int syncFile(const QString& path);
// Renames over an existing target, then flushes the folder. 0 or errno.
int replace(const QString& from, const QString& to);
// Renames only when `to` does not exist (EEXIST otherwise), then flushes the folder.
int renameNew(const QString& from, const QString& to);
// Copies `from` to the new file `to` (which must not exist) and flushes it
// to the disk before returning; a failed copy removes `to`. 0 or errno.
int copyNew(const QString& from, const QString& to);

// A file written in pieces: the target keeps its old contents (or stays
// absent) until commit() has put the whole new one in its place. A writer
// destroyed without commit() removes its working file.
class Writer {
public:
    explicit Writer(const QString& path);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    bool open();
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    bool write(const char* data, qint64 size);
    bool commit();
    void cancel();

    // errno of the first failure, 0 when none.
    int error() const { return err_; }
    // "<reason>: <path>" of the first failure.
    QString errorText() const { return failure(path_, err_); }
    // The system's reason alone, in Hungarian.
    QString reasonText() const { return reason(err_); }
    QString workingName() const { return part_; }

private:
    bool flushBuffer();
    bool fail(int e);
    QString path_, part_;
    int fd_ = -1;
    int err_ = 0;
    QByteArray buf_;
};

// A Writer for code that writes to a QIODevice (an XML stream writer).
class Device : public QIODevice {
public:
    explicit Device(const QString& path) : w_(path) {}
    bool open() { return w_.open() && QIODevice::open(QIODevice::WriteOnly); }
    bool commit()
    {
        QIODevice::close();
        return w_.commit();
    }
    void cancel()
    {
        QIODevice::close();
        w_.cancel();
    }
    const Writer& writer() const { return w_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override { return w_.write(data, len) ? len : -1; }

private:
    Writer w_;
};

// The whole file at once, through a Writer. 0 or errno.
int writeAll(const QString& path, const QByteArray& bytes);

} // namespace safefile

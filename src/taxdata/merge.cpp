#include "merge.h"
#include "safefile.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <optional>
#include <stdexcept>

namespace merge {

namespace {

const QByteArray kAllat = "12456=";
const QByteArray kNoveny = "23790=";
const QByteArray kKifizetett = "24804=";

[[noreturn]] void fail(const QString& text) { throw std::runtime_error(text.toStdString()); }

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

QString join(const QString& folder, const QString& name)
{
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

// The lines of a file as bytes (CR LF or LF), so that copied lines stay as read.
QList<QByteArray> readLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("Hiba241! Nem olvasható a fájl: " + native(path) + " (" + f.errorString() + ")");
    QList<QByteArray> lines = f.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    return lines;
}

// Sums that would not fit 64 bits are refused rather than wrapped round.
qint64 add(qint64 a, qint64 b, const QString& path)
{
    qint64 r = 0;
    if (__builtin_add_overflow(a, b, &r))
        fail("Hiba242! Túl nagy összeg, nem adható össze: " + native(path));
    return r;
}

void addSums(Sums& to, const Sums& s, const QString& path)
{
    to.allat = add(to.allat, s.allat, path);
    to.noveny = add(to.noveny, s.noveny, path);
    to.kifizetett = add(to.kifizetett, s.kifizetett, path);
}

// The renames of a finished merge outlive a crash.
void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The values of one file's code lines; `last` keeps each code's last value.
struct FileValues {
    Sums all;  // every occurrence added
    Sums last; // the last occurrence of each code
};

FileValues readValues(const QString& path, const QList<QByteArray>& lines)
{
    FileValues v;
    for (int i = 0; i < lines.size(); ++i) {
        std::optional<qint64> a, n, k;
        try {
            if (!(a = lineValue(lines[i], kAllat)) && !(n = lineValue(lines[i], kNoveny)))
                k = lineValue(lines[i], kKifizetett);
        } catch (const std::runtime_error&) {
            fail(QString("Hiba242! Nem egész szám a(z) %1 fájl %2. sorában: %3")
                     .arg(native(path))
                     .arg(i + 1)
                     .arg(QString::fromLatin1(lines[i])));
        }
        if (a) {
            v.all.allat = add(v.all.allat, *a, path);
            v.last.allat = *a;
        } else if (n) {
            v.all.noveny = add(v.all.noveny, *n, path);
            v.last.noveny = *n;
        } else if (k) {
            v.all.kifizetett = add(v.all.kifizetett, *k, path);
            v.last.kifizetett = *k;
        }
    }
    return v;
}

// Moves a file; the platform's error code on failure, 0 on success. An existing
// target is a failure here too (rename() would replace it silently).
int moveFile(const QString& from, const QString& to)
{
    if (QFileInfo::exists(to))
        return EEXIST;
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
    if (std::rename(f.constData(), t.constData()) != 0)
        return errno ? errno : EIO;
    return 0;
}

QString withSuffix(const QString& path, const QString& suffix)
{
    return path.left(path.size() - 4) + suffix;
}

QStringList filesByMask(const QString& folder, const QString& mask)
{
    return QDir(folder).entryList({mask}, QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

std::optional<qint64> lineValue(const QByteArray& line, const QByteArray& code)
{
    if (!line.startsWith(code) || line.size() == code.size())
        return std::nullopt;
    QByteArray rest = line.mid(code.size());
    while (!rest.isEmpty() && uchar(rest.front()) <= ' ')
        rest.remove(0, 1);
    while (!rest.isEmpty() && uchar(rest.back()) <= ' ')
        rest.chop(1);
    if (rest.isEmpty())
        return 0;
    bool ok = false;
    const qint64 v = rest.toLongLong(&ok);
    if (!ok)
        throw std::runtime_error("not a whole number");
    return v;
}

QStringList impFiles(const QString& folder) { return filesByMask(folder, "*.imp"); }

Sums sums(const QString& folder, const QStringList& names)
{
    Sums s;
    for (const QString& n : names) {
        const QString path = join(folder, n);
        addSums(s, readValues(path, readLines(path)).all, path);
    }
    return s;
}

QList<Pair> pairs(const QStringList& listA, const QStringList& listB)
{
    QList<Pair> out;
    for (const QString& b : listB) {
        const QString tail = b.right(15);
        for (const QString& a : listA) {
            if (a.right(15) == tail) {
                out.append({b, a});
                break;
            }
        }
    }
    return out;
}

bool sameFolder(const QString& folderA, const QString& selA, const QString& folderB,
                const QString& selB)
{
    return join(folderA, selA) == join(folderB, selB);
}

bool sameRealFolder(const QString& folderA, const QString& folderB)
{
    const QString a = QFileInfo(folderA).canonicalFilePath();
    const QString b = QFileInfo(folderB).canonicalFilePath();
    if (a.isEmpty() || b.isEmpty())
        return QDir::cleanPath(QDir(folderA).absolutePath()) ==
               QDir::cleanPath(QDir(folderB).absolutePath());
    return a == b;
}

bool hasOldFiles(const QString& folder) { return !filesByMask(folder, "*.old").isEmpty(); }

Result run(const QString& folderA, const QString& folderB, const Cancelled& cancelled)
{
    Result r;
    // Merged into itself, every paired amount would be counted twice.
    if (sameRealFolder(folderA, folderB)) {
        r.error = "Nem lehet azonos a könyvtár \nAz \"A\" és a \"B\" oldalon ugyanaz a "
                  "könyvtár van kiválasztva (" + native(QFileInfo(folderA).absoluteFilePath()) +
                  "). Az összevonás nem indult el, semmi nem változott.";
        return r;
    }
    const QStringList listA = impFiles(folderA);
    const QStringList listB = impFiles(folderB);
    const QList<Pair> ps = pairs(listA, listB);
    const qint64 steps = listA.size() + listB.size() + ps.size();
    qint64 done = 0;
    auto stop = [&](qint64 step) {
        done += step;
        if (cancelled && cancelled(done, steps)) {
            r.cancelled = true;
            r.error = "Az összevonás megszakítva, semmi nem változott.";
            return true;
        }
        return false;
    };
    try {
        r.beforeA = sums(folderA, listA);
        if (stop(listA.size()))
            return r;
        r.beforeB = sums(folderB, listB);
        r.beforeRead = true;
        if (stop(listB.size()))
            return r;
    } catch (const std::runtime_error& e) {
        r.error = QString::fromUtf8(e.what());
        return r;
    }
    for (const Pair& p : ps)
        r.paired << p.b;

    // Every merged copy is made in memory first: a file that cannot be read,
    // a value that is not a number or a stop by the user ends the merge before
    // anything changes.
    struct Copy {
        QString path; // x.im_ in folder A
        QByteArray data;
    };
    QList<Copy> copies;
    try {
        for (const Pair& p : ps) {
            const QString pathB = join(folderB, p.b);
            // The A file of the same name: a B file of another month (same
            // producer, another name) must not be added into this month.
            const QString pathA = join(folderA, p.b);
            if (!QFileInfo(pathA).isFile())
                fail("Hiba244! A(z) \"" + p.b + "\" fájl (\"B\" oldal: " + native(pathB) +
                     ") nem összevonható: az \"A\" könyvtárban (" + native(folderA) +
                     ") nincs ilyen nevű fájl. Más hónap fájlja? Az összevonás nem indult el, "
                     "semmi nem változott.");
            const FileValues vb = readValues(pathB, readLines(pathB));
            const QList<QByteArray> linesA = readLines(pathA);
            const FileValues va = readValues(pathA, linesA);
            // Both row-455 values go into the plant line, as the form expects a
            // single merged figure there; the animal line is emptied so the
            // forint totals stay what they were.
            const qint64 row455 = add(add(va.last.noveny, vb.last.noveny, pathA),
                                      add(va.last.allat, vb.last.allat, pathA), pathA);
            const qint64 paid = add(va.last.kifizetett, vb.last.kifizetett, pathA);
            QByteArray data;
            for (const QByteArray& l : linesA) {
                if (l.startsWith(kNoveny))
                    data += kNoveny + QByteArray::number(row455);
                else if (l.startsWith(kAllat))
                    data += kAllat + "0";
                else if (l.startsWith(kKifizetett))
                    data += kKifizetett + QByteArray::number(paid);
                else
                    data += l;
                data += "\r\n";
            }
            // A figure of B whose line the A file lacks is not dropped.
            if (row455 != 0 &&
                !std::any_of(linesA.begin(), linesA.end(),
                             [](const QByteArray& l) { return l.startsWith(kNoveny); }))
                data += kNoveny + QByteArray::number(row455) + "\r\n";
            if (paid != 0 &&
                !std::any_of(linesA.begin(), linesA.end(),
                             [](const QByteArray& l) { return l.startsWith(kKifizetett); }))
                data += kKifizetett + QByteArray::number(paid) + "\r\n";
            QString copyPath = pathA;
            copyPath[copyPath.size() - 1] = '_';
            copies.append({copyPath, data});
            if (stop(1))
                return r;
        }
    } catch (const std::runtime_error& e) {
        r.error = QString::fromUtf8(e.what());
        return r;
    }

    QStringList written;
    for (const Copy& c : copies) {
        if (const int e = safefile::writeAll(c.path, c.data)) {
            // Nothing has been renamed yet: take the copies back, the folders
            // are as they were.
            for (const QString& w : written)
                QFile::remove(w);
            r.error = "Hiba243! Nem írható a fájl: " + native(c.path) + " (" + safefile::reason(e) + ")";
            return r;
        }
        written << c.path;
    }

    for (const QString& n : filesByMask(folderA, "*.im_")) {
        const QString imp = withSuffix(join(folderA, n), ".imp");
        if (int code = moveFile(imp, withSuffix(imp, ".old")))
            r.renameErrors << QString(" \"old\" Rename1 átnevezési hiba kódja = %1").arg(code);
    }
    for (const QString& b : std::as_const(r.paired)) {
        const QString imp = join(folderB, b);
        if (int code = moveFile(imp, withSuffix(imp, ".old")))
            r.renameErrors << QString(" \"old\" Rename2 átnevezési hiba kódja = %1").arg(code);
    }
    for (const QString& n : filesByMask(folderA, "*.im_")) {
        const QString copy = join(folderA, n);
        if (int code = moveFile(copy, withSuffix(copy, ".imp")))
            r.renameErrors << QString(" \"imp\" Rename11 átnevezési hiba kódja = %1").arg(code);
    }
    syncFolder(folderA);
    syncFolder(folderB);
    r.ok = true;

    // The merge is done whatever these say; a file that cannot be read now
    // leaves the after sums unknown, not 0.
    try {
        r.afterA = sums(folderA, impFiles(folderA));
        r.afterB = sums(folderB, impFiles(folderB));
        r.afterRead = true;
    } catch (const std::runtime_error& e) {
        r.error = QString::fromUtf8(e.what());
    }
    return r;
}

} // namespace merge

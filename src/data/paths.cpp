#include "paths.h"

#include "applog.h"
#include "newdb.h"
#include "safefile.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace paths {

namespace {
QString& shareOverride()
{
    static QString s;
    return s;
}
} // namespace

QString dataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/vadmo7";
}

QString shareDir()
{
    if (!shareOverride().isEmpty())
        return shareOverride();
    const QString exeDir = QCoreApplication::applicationDirPath();
    const QString installed = QDir(exeDir).absoluteFilePath("../share/vadmo7");
    if (QFileInfo(installed).isDir())
        return QDir(installed).canonicalPath();
    return exeDir;
}

void setShareDir(const QString& dir)
{
    shareOverride() = dir;
}

QString find(const QString& name)
{
    const QString own = QDir::current().absoluteFilePath(name);
    if (QFileInfo::exists(own))
        return own;
    const QString shipped = QDir(shareDir()).absoluteFilePath(name);
    if (QFileInfo::exists(shipped))
        return shipped;
    return own;
}

QString backupDir() { return settings::winPath("c:\\vadmo7\\ment\\"); }

bool hasBackups(const QString& dir)
{
    return !dir.isEmpty() && !QDir(dir).entryList({"*.fdb"}, QDir::Files).isEmpty();
}

QString createRegister(const QString& path)
{
    try {
        newdb::create(path);
        return "Új, üres nyilvántartás készült: " + path +
               "\n\nElőször a cége (az átvevő) adatait és a jegyek sorszámát kéri "
               "a program; ezek kerülnek minden bizonylatra.";
    } catch (const std::exception& e) {
        // The start-up then says that the register cannot be opened, and why.
        applog::write("Új nyilvántartás: " + QString::fromUtf8(e.what()));
        QFile::remove(path);
        return {};
    }
}

Prepared prepareDataDir(const QString& dir, const QString& oldDir, const QString& fileName,
                        bool createMissing)
{
    Prepared p;
    if (!QDir().mkpath(dir)) {
        p.ok = false;
        p.error = "Nem hozható létre az adatok mappája: " + dir;
        return p;
    }
    p.to = QDir(dir).absoluteFilePath(fileName);
    if (QFileInfo::exists(p.to))
        return p;
    const QString old = oldDir.isEmpty() ? QString() : QDir(oldDir).absoluteFilePath(fileName);
    if (old.isEmpty() || !QFileInfo(old).isFile()) {
        // Only the program's own folder: a test's or a tool's folder is theirs.
        if (createMissing && QFileInfo(dir).absoluteFilePath() == QFileInfo(dataDir()).absoluteFilePath() &&
            hasBackups(backupDir())) {
            p.backupsFound = true;
            return p;
        }
        if (createMissing) {
            p.notice = createRegister(p.to);
            p.created = !p.notice.isEmpty();
        }
        return p;
    }
    // Copied under a temporary name first and put on the disk before it gets
    // its name: a half copy must never look like a register to the next start.
    const QString part = p.to + ".masolas";
    QFile::remove(part);
    int e = safefile::copyNew(old, part);
    if (!e)
        e = safefile::renameNew(part, p.to);
    if (e) {
        QFile::remove(part);
        p.ok = false;
        p.error = "A régi nyilvántartás (" + old + ") nem másolható ide: " + p.to + "\n" +
                  safefile::reason(e);
        return p;
    }
    p.copied = true;
    p.from = old;
    p.notice = "A nyilvántartás új helye: " + p.to + "\n\nA korábbi fájlt (" + p.from +
               ") átmásoltam ide; az eredeti a helyén maradt, de a program ezentúl az új helyen "
               "lévőt használja.";
    return p;
}

} // namespace paths

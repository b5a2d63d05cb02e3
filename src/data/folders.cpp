#include "folders.h"

#include <QDir>
#include <QFileInfo>

namespace folders {

namespace {
QString native(const QString& dir) { return QDir::toNativeSeparators(QDir::cleanPath(dir)); }
} // namespace

QString question(const QString& dir)
{
    return QString::fromUtf8("A mappa nem létezik: %1\nLétrehozzam?").arg(native(dir));
}

QString createdNote(const QString& dir)
{
    return QString::fromUtf8("A mappa most készült: %1").arg(native(dir));
}

Result ensure(const QString& dir, const QString& proposedDir,
              const std::function<bool(const QString&)>& ask)
{
    if (QFileInfo(dir).isDir())
        return {};
    const bool proposed =
        !proposedDir.isEmpty() && QDir::cleanPath(QDir(dir).absolutePath()) ==
                                      QDir::cleanPath(QDir(proposedDir).absolutePath());
    if (!proposed && !(ask && ask(question(dir))))
        return {State::Declined, {}};
    if (!QDir().mkpath(dir) || !QFileInfo(dir).isDir())
        return {State::Failed, QString::fromUtf8("A mappa nem hozható létre: %1").arg(native(dir))};
    return {State::Created, createdNote(dir)};
}

} // namespace folders

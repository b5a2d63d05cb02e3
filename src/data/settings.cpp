#include "settings.h"

#include "paths.h"
#include "textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace settings {

QString iniFileName(const QString& programPath, const QString& suffix)
{
    QFileInfo fi(programPath);
    QString name = fi.fileName();
    int dot = int(name.lastIndexOf('.'));
    if (dot > 0)
        name = name.left(dot);
    return QDir(fi.path()).filePath(name + suffix);
}

QString iniFileName(const QString& suffix)
{
    // Named after the program file, looked up in the working folder first.
    return paths::find(QFileInfo(iniFileName(QCoreApplication::applicationFilePath(), suffix)).fileName());
}

IniFile::IniFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    exists_ = true;
    QString text = textfile::decode(f.readAll());
    QString section;
    for (QString line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        int eq = int(line.indexOf('='));
        if (eq <= 0)
            continue;
        data_[section][line.left(eq).trimmed().toLower()] = line.mid(eq + 1);
    }
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    auto s = data_.constFind(section.toLower());
    if (s == data_.constEnd())
        return def;
    auto k = s->constFind(key.toLower());
    return k == s->constEnd() ? def : *k;
}

QString winPath(const QString& windowsPath)
{
    QString p = windowsPath;
    if (p.size() >= 2 && p[1] == ':')
        p = p.mid(2);
    p.replace('\\', '/');
    while (p.startsWith('/'))
        p = p.mid(1);
    QString out = QDir::homePath() + '/' + p;
    return out;
}

QString versionText(int major, int minor)
{
    if (major < 0)
        return {};
    // The ".0" is a fixed text: minor 12 gives "20.012".
    return QString("Verzió: %1.0%2 2006-2020").arg(major).arg(minor);
}

QString programVersionText()
{
#ifdef VADMO_VERSION_MAJOR
    return versionText(VADMO_VERSION_MAJOR, VADMO_VERSION_MINOR);
#else
    return {};
#endif
}

} // namespace settings

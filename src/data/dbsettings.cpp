#include "dbsettings.h"

#include "fb.h"
#include "paths.h"
#include "settings.h"

#include <QDir>
#include <QFileInfo>

namespace dbsettings {

bool Target::remote() const { return fb::Connection::isRemote(path); }

QString Target::server() const { return serverOf(path); }

Target read(const QString& iniPath, const QString& defaultFile)
{
    Target t;
    t.path = defaultFile;
    const settings::IniFile ini(iniPath);
    const QString path = ini.readString("Adatbazis", "Utvonal").trimmed();
    if (path.isEmpty())
        return t;
    t.path = path;
    const QString user = ini.readString("Adatbazis", "Felhasznalo").trimmed();
    if (!user.isEmpty())
        t.user = user;
    // A password may hold blanks at its ends; only a missing key keeps the default.
    const QString password = ini.readString("Adatbazis", "Jelszo", QStringLiteral("\x01"));
    if (password != QStringLiteral("\x01"))
        t.password = password;
    return t;
}

QString settingsPath(const QString& dataDir)
{
    const QString own = QDir(dataDir).absoluteFilePath(SettingsFile);
    if (QFileInfo::exists(own))
        return own;
    const QString shipped = QDir(paths::shareDir()).absoluteFilePath(SettingsFile);
    return QFileInfo::exists(shipped) ? shipped : own;
}

QString serverOf(const QString& path)
{
    const QString p = path.trimmed();
    if (!fb::Connection::isRemote(p))
        return {};
    const qsizetype scheme = p.indexOf("://");
    if (scheme >= 0) {
        const QString rest = p.mid(scheme + 3);
        const qsizetype slash = rest.indexOf('/');
        return slash < 0 ? rest : rest.left(slash);
    }
    return p.left(p.indexOf(':'));
}

} // namespace dbsettings

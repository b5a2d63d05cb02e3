#include "dbsettings.h"

#include "fb.h"
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
    t.passwordWritten = password != QStringLiteral("\x01");
    if (t.passwordWritten)
        t.password = password;
    else if (t.remote())
        t.password.clear();
    return t;
}

QString settingsPath(const QString& dataDir)
{
    return QDir(dataDir).absoluteFilePath(SettingsFile);
}

QString refusal(const QString& iniPath, const Target& t)
{
    if (t.passwordWritten) {
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
        if (QFileInfo(iniPath).permissions() & others)
            return QString("A(z) %1 fájlban jelszó van, de a gép más felhasználói is "
                           "olvashatják, ezért a program nem használja.\n"
                           "Tegye csak a saját felhasználója számára olvashatóvá, egy "
                           "terminálban ezzel a paranccsal:\n\nchmod 600 %1\n\n"
                           "majd indítsa újra a programot.")
                .arg(QDir::toNativeSeparators(iniPath));
    }
    if (t.remote() && !t.passwordWritten)
        return QString("A(z) %1 fájl kiszolgálót ad meg (Utvonal=%2), de jelszót nem. "
                       "A program beépített jelszót nem küld a kiszolgálónak.\n"
                       "Írja a fájl [Adatbazis] szakaszába a kiszolgálón a "
                       "vadmo7-server-setup paranccsal létrehozott felhasználót "
                       "(Felhasznalo=) és jelszavát (Jelszo=).")
            .arg(QDir::toNativeSeparators(iniPath), t.path);
    return {};
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

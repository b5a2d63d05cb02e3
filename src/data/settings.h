#pragma once
// Settings files beside the program, the Windows folders of the register
// mapped onto this platform, and the program's version text.

#include <QMap>
#include <QString>

namespace settings {

// The program file's full path with its extension (dot included) replaced by
// the suffix: /opt/vadmo7/vadmo7 + "form9.ini" -> /opt/vadmo7/vadmo7form9.ini.
QString iniFileName(const QString& programPath, const QString& suffix);
// The same name for the running program, in the working folder when the user
// has a copy there, else the shipped one.
QString iniFileName(const QString& suffix);

// A read-only view of an INI file: [Section] and Key=Value lines, read as
// Windows-1250 unless the file is valid UTF-8. Missing files read as empty.
class IniFile {
public:
    explicit IniFile(const QString& path);
    QString readString(const QString& section, const QString& key, const QString& def = {}) const;
    bool exists() const { return exists_; }
    QMap<QString, QMap<QString, QString>> sections() const { return data_; }

private:
    bool exists_ = false;
    QMap<QString, QMap<QString, QString>> data_; // section/key in lower case
};

// "C:\VADMO7\" -> <home>/VADMO7/ : the drive is dropped, the rest is kept.
QString winPath(const QString& windowsPath);

// "Verzió: " + major + ".0" + minor + " 2006-2020"; empty without a version.
QString versionText(int major, int minor);
// The version text of this program.
QString programVersionText();

} // namespace settings

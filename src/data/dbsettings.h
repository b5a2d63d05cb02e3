#pragma once
// Where the register lives: the file of the working folder, opened in-process,
// unless vadmo7.ini names a Firebird server connection:
//
//   [Adatbazis]
//   Utvonal=szerver.local:/var/lib/vadmo7/vadmo7.fdb
//   Felhasznalo=VADMO
//   Jelszo=...

#include <QString>

namespace dbsettings {

inline const char* const SettingsFile = "vadmo7.ini";

struct Target {
    QString path; // a file, or a connection string through a server
    QString user = "SYSDBA";
    // The built-in password opens only the file opened in-process; a server
    // gets the one the user wrote, or none at all.
    QString password = "tollvirag";
    bool passwordWritten = false; // the settings file has a "Jelszo" key
    bool remote() const;
    // The server part of a connection string ("szerver/3050"), empty for a file.
    QString server() const;
};

// Reads [Adatbazis] of the settings file; without the file, the section or an
// "Utvonal" key, the target is `defaultFile` with the built-in login.
Target read(const QString& iniPath, const QString& defaultFile);
// The settings file in force: the one in the user's data folder. A copy in the
// install folder, which every user of the computer can read, is never used.
QString settingsPath(const QString& dataDir);

// Why the program must not log in with these settings (empty: it may): a
// password in a file that other users can read (the message gives the
// "chmod 600" command), or a server without a password written for it.
QString refusal(const QString& iniPath, const Target& t);

// The host (and port) of a connection string: "szerver/3050:vadmo7" ->
// "szerver/3050", "inet://szerver:3051/x" -> "szerver:3051"; empty for a file.
QString serverOf(const QString& path);

} // namespace dbsettings

#pragma once
// Where the program's files live. The working folder is the user's data folder
// ($XDG_DATA_HOME/vadmo7): the register, settings written or edited by the
// user, the log. Shipped files (templates, default settings, the schema, the
// guide) stay in the install location. A file read by bare name is looked for
// in the working folder first, so a user's own copy wins over the shipped one.

#include <QString>

namespace paths {

// $XDG_DATA_HOME/vadmo7, normally ~/.local/share/vadmo7.
QString dataDir();

// The shipped files: <prefix>/share/vadmo7 beside an installed program's
// bin folder, otherwise the program's own folder (a build's build/prog).
QString shareDir();
// Tests set it; an empty text restores the default.
void setShareDir(const QString& dir);

// The working folder's copy of `name` when there is one, else the shipped
// one, else the working folder's path (where a new file would go).
QString find(const QString& name);

struct Prepared {
    bool ok = true;
    bool copied = false;  // an older register was copied into the data folder
    bool created = false; // there was none anywhere: a new one was made
    QString from, to;
    QString error;        // Hungarian, when !ok
    QString notice;       // what to tell the user once the main window shows
    // No register, but backups in the usual backup folder: none was made, the
    // start-up offers to restore one instead.
    bool backupsFound = false;
};

// The folder the backup screen proposes (~/vadmo7/ment).
QString backupDir();
// Whether `dir` holds backup copies (*.FDB).
bool hasBackups(const QString& dir);
// Makes a new register with the sample buyer; the notice for the user, empty
// when it could not be made (the reason is logged).
QString createRegister(const QString& path);

// Creates the data folder, and when it holds no register but `oldDir` (the
// folder older versions kept it in) does, copies that one there once. The
// old file stays where it was; an existing register is never overwritten.
// With neither, and `createMissing`, a new register with the sample buyer is
// made (an installed program's first start) — unless this is the program's
// own data folder and the backup folder holds backups: then the start-up
// offers to restore one.
Prepared prepareDataDir(const QString& dataDir, const QString& oldDir,
                        const QString& fileName = "vadmo7.fdb", bool createMissing = true);

} // namespace paths

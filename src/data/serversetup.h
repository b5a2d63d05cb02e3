#pragma once
// A register on a Firebird server is used through an ordinary user of its
// own, never SYSDBA: the user gets one role, and the role only what the
// program does with the data (reading and writing the rows of its tables and
// the values of their key generators), no change to the schema.

#include <QString>
#include <QStringList>

#include "fb.h"

namespace serversetup {

inline const char* const Role = fb::ServerRole;

// A user name the server takes as it is: a letter, then letters, digits and
// "_", at most 31 in all.
bool validUser(const QString& user);
// A random password of 16 letters and digits.
QString newPassword();

// On a register attached as its owner (or SYSDBA): brings the register up to
// date, creates the user (or gives it the new password), the role and its
// rights, and grants the role to the user. May run any number of
// times. Returns warnings for the person running it (duplicates that keep the
// unique keys off); throws fb::Error on failure.
QStringList run(fb::Connection* admin, const QString& user, const QString& password);

} // namespace serversetup

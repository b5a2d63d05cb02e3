#pragma once
// Why the database could not be opened at start-up, in words a user can act on.

#include <QString>

namespace startup {

// The fixed two lines of the start-up failure.
inline const char* const NoDatabase =
    "Az adatbáziskezelöt nem találja.\nA program müködéséhez szükséges.";

// The common causes recognised in the engine's text, in Hungarian; empty when
// the cause is not one of them.
QString reason(const QString& engineText);

// The two lines, then the reason and the engine's own text under them.
QString failureMessage(const QString& engineText);

// A register on a Firebird server: why the server could not be used, naming
// it; empty when the cause is not one of the server's.
QString serverReason(const QString& engineText, const QString& server, const QString& path);
// The two lines, the server and its reason, then the engine's own text.
QString failureMessage(const QString& engineText, const QString& server, const QString& path);

} // namespace startup

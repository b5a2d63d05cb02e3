#pragma once
// The buyer's row without widgets: the list of buyers for the selection, the
// profile's read, ticket lock, checks and save.

#include "records.h"

#include <QHash>
#include <QString>
#include <optional>

class TQuery;

namespace buyer {

// The buyer's profile as typed: every field's text by its column name
// ("V_UTCA", "V_NYILATK", ...); the two check boxes as flags.
struct Buyer {
    QHash<QString, QString> fields;
    bool ev = false;     // "Egyéni vállalkozó"
    bool kisado = false; // "Kisadózó"

    QString get(const QString& column) const { return fields.value(column); }
    void set(const QString& column, const QString& text) { fields[column] = text; }
};

// Every buyer, in stored order, on q (the selection's query object).
void runList(TQuery* q);
// The buyer's row on q, for the screens that print it.
void runRow(TQuery* q, const QString& akod);

// The buyer's row; nothing when there is none. Database failures throw.
std::optional<Buyer> read(fb::Connection* db, const QString& akod);
// The buyer's tickets: while there is one, the profile cannot be saved.
qint64 ticketCount(fb::Connection* db, const QString& akod);

// The checks of "Letárol" in the program's order. Without "Egyéni
// vállalkozó" the three sole-trader fields are stored as a single blank: b
// is changed so, and the screen shows what is stored.
rec::Outcome check(Buyer& b);

// The checks, then the UPDATE of the current buyer (ctx.akod) as one unit of
// work. An UPDATE that finds no row is a failure.
rec::Outcome save(const rec::Context& ctx, Buyer& b);

} // namespace buyer

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
    // Name, postal code, town and tax number are stored too: only while the
    // buyer has no ticket, checked again inside the save.
    bool identity = false;

    QString get(const QString& column) const { return fields.value(column); }
    void set(const QString& column, const QString& text) { fields[column] = text; }
};

// Every buyer, in stored order, on q (the selection's query object).
void runList(TQuery* q);
// The buyer's row on q, for the screens that print it.
void runRow(TQuery* q, const QString& akod);
// The street line of the buyer's row on q ("v_atvevoutca" of the prints): the
// eight address columns trimmed and joined by spaces; blanks when no row.
QString streetLine(TQuery* q);

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

// The name of the buyer that a new register holds until the user's own is set up.
QString sampleName();

// The first start: a register whose only buyer is the sample, without a
// ticket series and without tickets (or that has no buyer at all) has not
// been set up. A register made to try the program (--samples) has a series
// for its sample buyer and so starts straight at the buyer selection.
bool needsSetup(fb::Connection* db);

// What the first-start setup asks; every text as typed.
struct Setup {
    QString neve, akod, irszam, helyseg, utca, jelleg, hazszam, adoszam, sorszam;
};

// The checks in screen order; the field at fault by its column (V_..., or
// "A_FJBSZAM" for the series). The tax number may be typed 8-1-2 with hyphens.
rec::Outcome checkSetup(const Setup& s);
// The tax number rules shared with the profile: empty, length, digits, check digit.
rec::Outcome checkAdoszam(const QString& typed, const char* column = "V_ADOSZAM");

// One unit of work: the sample buyer's row becomes the user's (or the first
// buyer is added), and the buyer's ticket series is set. Refused when the
// register was set up meanwhile or the sample has tickets by then.
rec::Outcome saveSetup(fb::Connection* db, const Setup& s);

} // namespace buyer

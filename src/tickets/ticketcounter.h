#pragma once
// The buyer's ticket number counter (SORSZAM) in the database: what the year
// opening shows and stores, and the write-back of a number a save has used.

#include "records.h"

#include <QString>

class TQuery;

namespace counter {

struct YearOpening {
    bool locked = false; // the buyer has a ticket: the counter moves only by saves
    QString current;     // A_FJBSZAM as stored, empty without a row
};
YearOpening yearOpening(const rec::Context& ctx);
// "Már készült felvásárlási jegy! Nem módositható."
QString lockedMessage();

// "Letárol" of the year opening: the typed counter's checks, then the counter
// row inserted or updated and committed. A failed check names "Edit2".
// The counter is held before the tickets are counted, so a ticket another
// computer is saving at that moment either counts or waits for the new series.
rec::Outcome storeYearOpening(const rec::Context& ctx, const QString& typed);

// Takes the buyer's next ticket number inside the caller's unit of work: the
// counter is read and moved on in one guarded write, which also holds it
// until the caller commits. Another computer that moved or holds the counter
// makes it throw a conflict (the caller's unit of work tries again); a
// counter that gives no number throws its refusal.
QString take(const rec::Context& ctx, TQuery* q);

} // namespace counter

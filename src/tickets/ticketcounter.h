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
rec::Outcome storeYearOpening(const rec::Context& ctx, const QString& typed);

// Writes the number just used into the buyer's counter, inside the caller's
// unit of work; throws unless exactly one row took it.
void writeBack(const rec::Context& ctx, TQuery* q, const QString& number);

} // namespace counter

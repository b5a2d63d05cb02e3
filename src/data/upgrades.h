#pragma once
// Bringing an older register up to today's schema, and the one producer
// correction that came with it. Each runs as one unit of work.

#include "records.h"

#include <functional>

namespace upgrades {

// Whether the table has the column (names in upper case).
bool columnExists(fb::Connection* db, const QString& table, const QString& column);

// "Magánny.tag?": adds O_MNYPTAG. A check failure "Már létezik!" when it is there.
rec::Outcome addMnyptag(fb::Connection* db);
// "FELIR azon. felvétele": adds O_FELIR. "Már létezik az östermelöben!" when it is there.
rec::Outcome addFelir(fb::Connection* db);
// "Kamarai szám hossza": D_KAMARA to 20 characters; may run any number of times.
rec::Outcome widenKamara(fb::Connection* db);
// Producers sharing a tax identifier: every one but the first (lowest code)
// gets O_SZJA = 1. Returns how many were set through `changed`.
rec::Outcome markSharedTaxIds(fb::Connection* db, int* changed = nullptr);

// Run at every start: brings a register made by an older version up to what
// several computers on one register need, each change only once.
// - The audit data supply's work tables (NAVFEJ, NAVSOR) become private to
//   each attachment, their columns kept.
// - Producer codes, product codes and each buyer's document numbers become
//   unique. When the register already holds duplicates, none of these is
//   added and the check failure lists them in Hungarian, so that they can be
//   put right; nothing else changes.
// A database failure (a table in use by another computer, a user without the
// right to change the schema) comes back as a failed step and is logged; the
// next start tries again.
// `longStep` is told before a step that may take minutes on a large register
// (the list's sort keys), so that the user sees why the start waits.
rec::Outcome bringUpToDate(fb::Connection* db, const std::function<void(const QString&)>& longStep = {});
// The engine chooses its way through the tables by the index statistics it
// took when each index was made, on an empty register; they are not kept up
// as the register grows, and on a large one the lists would read every line
// instead of a period's. Taken again for every index when the ticket counter
// has passed twice the tickets the last ones were taken on (from 10 000
// tickets on); `refreshed` tells whether they were. A refusal (a user without
// the right) is a failed step: the next start tries again.
rec::Outcome refreshStatistics(fb::Connection* db, const std::function<void(const QString&)>& longStep = {},
                               bool* refreshed = nullptr);

// The duplicates that keep the unique keys off, one Hungarian line each
// (empty: none).
QStringList duplicateKeys(fb::Connection* db);

inline const char* const Done = "Módositás végrehajtva.";

} // namespace upgrades

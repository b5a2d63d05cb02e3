#pragma once
// The ticket list query that every ticket operation re-reads when it finishes,
// and the reading and writing of the buyer's number counter.

#include "numbering.h"

#include <QString>

class TQuery;

namespace ticketlist {

// The list orders: ORDER BY text and the label the list shows for it.
struct Order {
    QString orderBy;
    QString label;
};
Order byNumber();           // f_Bszam, "Felvásárlási jegy lista, "Bizonylatszám" szerint"
QString openingLabel();     // "A lista, "Bszám" szerint"

// Runs the list query on ZQ10 for the current buyer in the given order and
// positions it on the current ticket number (prefix, case ignored).
void requery(const QString& orderBy = "f_Bszam");

// The buyer's next ticket number from the counter row, read with ZQ50.
numbering::Next nextNumber(TQuery* q);
// Writes the number just used back into the counter (inside the caller's save).
void writeBack(TQuery* q, const QString& number);

} // namespace ticketlist

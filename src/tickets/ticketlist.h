#pragma once
// The ticket list query that every ticket operation re-reads when it finishes,
// and the reading and writing of the buyer's number counter.

#include "Query.h"
#include "numbering.h"

#include <QString>

namespace ticketlist {

// The list orders: ORDER BY text and the label the list shows for it.
struct Order {
    QString orderBy;
    QString label;
};
Order byNumber();           // f_Bszam, "Felvásárlási jegy lista, "Bizonylatszám" szerint"
QString openingLabel();     // "A lista, "Bszám" szerint"

// Runs the list query on ZQ10 for the current buyer in the given order (one
// of the list's column orders, "f_Bszam" … "f_prn"). In number order it stands
// on the current ticket number (prefix, case ignored) unless told to start at
// the first row; in the other orders on the first row. The list is read as a
// window: a page around that row, more as it is scrolled.
void requery(const QString& orderBy = "f_Bszam", bool onCurrent = true);
// The window order behind an ORDER BY of the list; names in Hungarian order.
TQuery::Window window(const QString& orderBy);

// The buyer's next ticket number from the counter row, read with ZQ50.
numbering::Next nextNumber(TQuery* q);

} // namespace ticketlist

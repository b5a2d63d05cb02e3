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

// Runs the list query on `list` (the screens' ZQ10) for the buyer `akod` in the
// given order (one of the list's column orders, "f_Bszam" … "f_prn"). In number
// order it stands on `current` (prefix, case ignored) unless told to start at
// the first row; in the other orders on the first row. The list is read as a
// window: a page around that row, more as it is scrolled.
void requery(TQuery* list, const QString& akod, const QString& current,
             const QString& orderBy = "f_Bszam", bool onCurrent = true);
// The window order behind an ORDER BY of the list; names in Hungarian order.
// The number order names its indexes only when `db` has them; without a
// connection the engine chooses its own way.
TQuery::Window window(const QString& orderBy, fb::Connection* db = nullptr);

// The buyer's next ticket number from the counter row, read with `q`.
numbering::Next nextNumber(TQuery* q, const QString& akod);

// The screens' forms of the two above: the list on ZQ10 for the selected buyer,
// standing on its current ticket number; the counter read with `q` (ZQ50).
// They live with the screens (tickets/gui/ticketlistbinding.cpp).
void requery(const QString& orderBy = "f_Bszam", bool onCurrent = true);
numbering::Next nextNumber(TQuery* q);

} // namespace ticketlist

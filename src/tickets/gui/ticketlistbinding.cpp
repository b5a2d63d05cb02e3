// The ticket list's rules bound to the data module's list object and the
// selected buyer, as every ticket screen calls them.

#include "Unit2.h"
#include "tickets/ticketlist.h"

namespace ticketlist {

void requery(const QString& orderBy, bool onCurrent)
{
    requery(Data->ZQ10, G.akod, G.aktBszam, orderBy, onCurrent);
}

numbering::Next nextNumber(TQuery* q)
{
    return nextNumber(q, G.akod);
}

} // namespace ticketlist

// The ticket list's and the ticket print's rules bound to the data module's list object and the
// selected buyer, as every ticket screen calls them.

#include "Unit2.h"
#include "reports/engine/Report.h"
#include "seams.h"
#include "tickets/ticketlist.h"
#include "tickets/ticketprint.h"

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

namespace ticketprint {

namespace {

Sources screenSources()
{
    return {Data->ZQ10, Data->ZQ20, Data->ZQ30, Data->ZQ60, Data->ZQ21,
            Data->ZQ11, Data->ZQ22, G.akod, G.verzioBetu};
}

} // namespace

Outcome prepareData()
{
    return prepareData(screenSources());
}

bool print(Mode mode, rep::Report& report, Outcome* outcome)
{
    Outcome out;
    const bool ready = print(mode, report, screenSources(), &out);
    if (!out.markError.isEmpty())
        seams::ui().showMessage(out.markError);
    else if (!ready)
        seams::ui().showMessage(report.errorText());
    if (outcome)
        *outcome = out;
    return ready;
}

} // namespace ticketprint

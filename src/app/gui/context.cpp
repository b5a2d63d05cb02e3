#include "context.h"

#include "Unit2.h"
#include "seams.h"

namespace app {

rec::Context currentContext()
{
    rec::Context ctx;
    ctx.db = &Data->ZCon1;
    ctx.akod = G.akod;
    // The buyer selection sets both codes; before it they default to the usual ones.
    if (!G.tipus.isEmpty())
        ctx.tipus = G.tipus;
    if (!G.ervTipus.isEmpty())
        ctx.ervTipus = G.ervTipus;
    ctx.today = seams::today();
    return ctx;
}

} // namespace app

#include "Unit36.h"

#include "Unit2.h"
#include "upgradescreen.h"
#include "seams.h"
#include "upgrades.h"

TForm36::TForm36(QWidget* parent) : QDialog(parent)
{
    upgradescreen::build(this, "Form36", "Östermelö egyesítés", {}, "Azonos adóazonositójú östermelök: szja = 1",
                         false, [this] { runClick(); });
}

QString TForm36::question()
{
    return "Az azonos adóazonositójú östermelök közül az elsőn kívül mindegyiknek az szja "
           "mezője 1 lesz. Folytatja?";
}

void TForm36::runClick()
{
    // It changes producers' data for good: asked first, and the count told.
    if (!seams::ui().askYesNo(question()))
        return;
    int changed = 0;
    const rec::Outcome o = upgrades::markSharedTaxIds(&Data->ZCon1, &changed);
    seams::ui().showMessage(o.ok() ? QString("Vége. %1 östermelö adata változott.").arg(changed)
                                   : o.message);
}

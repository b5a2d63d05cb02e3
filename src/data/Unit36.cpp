#include "Unit36.h"

#include "Unit2.h"
#include "gui/upgradescreen.h"
#include "seams.h"
#include "upgrades.h"

TForm36::TForm36(QWidget* parent) : QDialog(parent)
{
    upgradescreen::build(this, "Form36", "Form36", {}, "Button1", false, [this] { Button1Click(); });
}

void TForm36::Button1Click()
{
    const rec::Outcome o = upgrades::markSharedTaxIds(&Data->ZCon1);
    seams::ui().showMessage(o.ok() ? QString("Vége.") : o.message);
}

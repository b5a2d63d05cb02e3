#include "Unit42.h"

#include "Unit2.h"
#include "upgradescreen.h"
#include "upgrades.h"

TForm42::TForm42(QWidget* parent) : QDialog(parent)
{
    upgradescreen::build(this, "Form42", "Kamarai azonosító hossz változás", {},
                         "Módosítás végrehajtása", true, [this] { runClick(); });
}

void TForm42::runClick()
{
    upgradescreen::show(upgrades::widenKamara(&Data->ZCon1));
}

#include "Unit37.h"

#include "Unit2.h"
#include "upgradescreen.h"
#include "upgrades.h"

TForm37::TForm37(QWidget* parent) : QDialog(parent)
{
    upgradescreen::build(this, "Form37", "FELIR azonosító felvétele az östermelöhöz",
                         {"Ezen mező létezik-e az östermelönél ?  ", "Ha létezik nem kerül végrehajtásra."},
                         "Módosítás végrehajtása", true, [this] { runClick(); });
}

void TForm37::runClick()
{
    upgradescreen::show(upgrades::addFelir(&Data->ZCon1));
}

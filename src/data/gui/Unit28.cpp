#include "Unit28.h"

#include "Unit2.h"
#include "upgradescreen.h"
#include "upgrades.h"

TForm28::TForm28(QWidget* parent) : QDialog(parent)
{
    upgradescreen::build(this, "Form28", "Program módosítás (2010.10.hótól)",
                         {"Magánnyugdij pénztárnak tagja?  ",
                          "Östermelö adatok kibővítése ezzel a kérdéssel.",
                          "Ha tagja csak akkor kell \"Igen\" -re állítani a z östermelöi adatoknál.",
                          "Ha nincs megjelölve akkor  a program \"Nem\" -nek tekinti."},
                         "Módosítás végrehajtása", false, [this] { runClick(); });
}

void TForm28::runClick()
{
    const rec::Outcome o = upgrades::addMnyptag(&Data->ZCon1);
    upgradescreen::show(o);
    // Closes after the change, after "Már létezik!" and after a failed
    // statement; stays open only when the transaction could not be started.
    if (o.ok() || o.kind == rec::Outcome::CheckFailed ||
        !o.message.startsWith("Hiba282"))
        accept();
}

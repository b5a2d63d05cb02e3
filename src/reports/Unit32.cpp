#include "Unit32.h"

#include "Unit2.h"
#include "context.h"
#include "gui/dbwidgets.h"
#include "gui/guard.h"
#include "reports/gui/listparts.h"
#include "reports/engine/Report.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm32::TForm32(QWidget* parent) : TotalsScreen(parent)
{
    setObjectName("Form32");
    setWindowTitle("Statisztika");
    auto* top = new QVBoxLayout(this);
    top->addWidget(listparts::note("Összesítés: Termékenkénti  havi bontásban vagy mindösszesen",
                                   "Label1", this));
    top->addWidget(listparts::note("Csoporosítás: a felvásárlási dátum hónapja szerint .", "Label2",
                                   this));
    top->addWidget(listparts::note(
        "Nettó átlagár számítása : felvásárlási nettó ár osztva a mennyiséggel", "Label3", this));
    top->addWidget(listparts::note("A kigyüjtés nem vizsgálja, hogy azonos mennyiségegység "
                                   "szerepel-e  azonos terméken belül",
                                   "Label4", this));
    top->addWidget(listparts::note("Megnevezésbeni eltérés (Búza, búza) külön tételsorba kerül.",
                                   "Label5", this));
    grid_ = listparts::gridWithNavigator(top, "Statisztika termékenként", this);
    byProduct_ = new QCheckBox("Termékenkénti mindösszesen lista ", this);
    byProduct_->setObjectName("CheckBox1");
    top->addWidget(byProduct_);

    const listparts::ActionRow actions =
        listparts::totalsScreenEnd(this, top, grid_, byProduct_, Data->ZQ11, [this] { collectClick(); },
                                   [this] { printClick(); });
    collect_ = actions.collect;
    print_ = actions.print;
}

void TForm32::collectClick()
{
    totals_ = lists::collectStatistics(app::currentContext(), Data->ZQ11, byProduct_->isChecked());
    grid_->setQuery(Data->ZQ11);
    print_->setEnabled(true);
    print_->setFocus();
}

void TForm32::printClick()
{
    rep::Report& report = *Data->frNyomtat;
    report.showPreparedOr(lists::printStatistics(report, app::currentContext(), Data->ZQ60,
                                                 byProduct_->isChecked(), totals_));
}

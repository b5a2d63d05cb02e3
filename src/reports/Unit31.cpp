#include "Unit31.h"

#include "Unit2.h"
#include "context.h"
#include "gui/dbwidgets.h"
#include "gui/guard.h"
#include "reports/gui/listparts.h"
#include "reports/lists.h"
#include "reports/engine/Report.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm31::TForm31(QWidget* parent) : TotalsScreen(parent)
{
    setObjectName("Form31");
    setWindowTitle("Kp. napilista");
    auto* top = new QVBoxLayout(this);
    grid_ = listparts::gridWithNavigator(top, "Kp. kifizetések napok szerint", this);
    grid_->setToolTip("Ezeken a napokon történt kp. kifizetés");
    byProduct_ = new QCheckBox("Részletezö lista termékenként", this);
    byProduct_->setObjectName("CheckBox1");
    byProduct_->setToolTip("Napi kp. bevétel termékenkénti  részletezése");
    top->addWidget(byProduct_);
    top->addWidget(listparts::note("Ha a felvásárlási jegyen  nincs pipa az \"átutalás\"-nál.",
                                   "Label1", this));
    top->addWidget(listparts::note("Csoportosítva: a fizetés kelte alapján. ", "Label2", this));
    top->addWidget(listparts::note("Megnevezésbeni eltérés (Búza, búza) külön tételsorba kerül.",
                                   "Label3", this));

    const listparts::ActionRow actions =
        listparts::totalsScreenEnd(this, top, grid_, byProduct_, Data->ZQ11, [this] { collectClick(); },
                                   [this] { printClick(); });
    collect_ = actions.collect;
    print_ = actions.print;
}

void TForm31::collectClick()
{
    lists::collectCash(app::currentContext(), Data->ZQ11, byProduct_->isChecked());
    grid_->setQuery(Data->ZQ11);
    print_->setEnabled(true);
    print_->setFocus();
}

void TForm31::printClick()
{
    rep::Report& report = *Data->frNyomtat;
    report.showPreparedOr(lists::printCash(report, app::currentContext(), Data->ZQ60, Data->ZQ11,
                                           byProduct_->isChecked()));
}

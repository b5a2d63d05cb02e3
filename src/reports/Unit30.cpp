#include "Unit30.h"

#include "Unit2.h"
#include "context.h"
#include "globals.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "reports/gui/listparts.h"
#include "gui/screens.h"
#include "reports/lists.h"
#include "reports/engine/Report.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* shown(const char* name, const QString& accessible, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setAccessibleName(accessible);
    form::setReadOnly(e);
    return e;
}
} // namespace

TForm30::TForm30(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form30");
    setWindowTitle("Egy östermelö havi bontásban termékenként ");
    auto* top = new QVBoxLayout(this);

    auto* head = new QGridLayout;
    choose_ = form::namedButton("Őstermelő", "Button3", this);
    choose_->setToolTip("Személyek megjelenitése");
    search_ = new QLineEdit(this);
    search_->setObjectName("Edit1");
    search_->setAccessibleName("Őstermelő neve");
    search_->setToolTip("A kezdö betü(k) beírása a gyorsabb kereséshez");
    kod_ = shown("Edit2", "Őstermelő kódja", this);
    kod_->setMaximumWidth(90);
    cim_ = shown("Edit3", "Őstermelő címe", this);
    szido_ = shown("Edit4", "Őstermelő születési adatai", this);
    head->addWidget(choose_, 0, 0);
    head->addWidget(search_, 0, 1);
    head->addWidget(kod_, 0, 2);
    head->addWidget(cim_, 1, 1, 1, 2);
    head->addWidget(szido_, 2, 1, 1, 2);
    head->setColumnStretch(1, 1);
    top->addLayout(head);

    grid_ = listparts::gridWithNavigator(top, "Havi bontás termékenként", this);

    auto* sums = new QHBoxLayout;
    felvar_ = shown("Edit5", "Felvásárlási ár", this);
    kompfelar_ = shown("Edit6", "Komp.felár", this);
    vetelar_ = shown("Edit7", "Kifiz.", this);
    for (auto [label, edit] : {std::pair{"Felvásárlási ár:", felvar_},
                               std::pair{"Komp.felár:", kompfelar_}, std::pair{"Kifiz.:", vetelar_}}) {
        edit->setText("0");
        edit->setAlignment(Qt::AlignRight);
        sums->addWidget(form::label(QString::fromUtf8(label), edit, this));
        sums->addWidget(edit);
    }
    top->addLayout(sums);

    detailed_ = new QCheckBox("Részletezö lista", this);
    detailed_->setObjectName("CheckBox1");
    detailed_->setToolTip("A listában f.jegy tételsoronkénti megjelenítése.");
    top->addWidget(detailed_);
    top->addWidget(listparts::note("Csoportositás: A felvásárlás dátum hónapja alapján", "Label1", this));
    top->addWidget(listparts::note("Átlagár: nettó felvásárlási ár osztva mennyiséggel", "Label2", this));

    const listparts::ActionRow actions = listparts::actionRow(
        this, top, [this] { collectClick(); }, [this] { printClick(); }, "Button4");
    collect_ = actions.collect;
    print_ = actions.print;
    collect_->setEnabled(false);
    connect(choose_, &QPushButton::clicked, this, [this] { app::guarded([this] { chooseProducerClick(); }); });
    connect(detailed_, &QCheckBox::clicked, this, [this] { print_->setEnabled(false); });

    Data->ZQ11->close();
    grid_->setQuery(Data->ZQ11);
    findChild<DBNavigator*>("DBNavigator1")->setQuery(Data->ZQ11);
    form::enterMovesFocus(this);
    resize(820, 600);
    search_->setFocus();
}

void TForm30::chooseProducerClick()
{
    G.ostKod = lists::findProducer(Data->ZQ30, search_->text());
    if (app::runScreen(4, this) < 0)
        return;
    const lists::ProducerLines l = lists::takeProducer(Data->ZQ30);
    if (l.kod.isEmpty())
        return;
    search_->setText(l.nev);
    cim_->setText(l.cim);
    szido_->setText(l.szido);
    kod_->setText(l.kod);
    collect_->setEnabled(true);
    collect_->setFocus();
}

void TForm30::collectClick()
{
    const rec::Context ctx = app::currentContext();
    const lists::Sums s = lists::producerTotals(ctx, Data->ZQ11, kod_->text());
    felvar_->setText(s.felvar);
    kompfelar_->setText(s.kompfelar);
    vetelar_->setText(s.vetelar);
    lists::producerBreakdown(ctx, Data->ZQ11, kod_->text(), detailed_->isChecked());
    grid_->setQuery(Data->ZQ11);
    print_->setEnabled(true);
    print_->setFocus();
}

void TForm30::printClick()
{
    rep::Report& report = *Data->frNyomtat;
    report.showPreparedOr(lists::printProducerBreakdown(report, app::currentContext(), Data->ZQ60,
                                                        kod_->text()));
}

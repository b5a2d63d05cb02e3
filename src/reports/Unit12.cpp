#include "Unit12.h"

#include "Unit2.h"
#include "context.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "reports/gui/listparts.h"
#include "reports/engine/Report.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using lists::ItemOrder;

namespace {
const QList<GridColumn> kColumns = {
    {"S_MEGNEVEZES", "Megnevezés", 220}, {"S_EAR", "E.ár", 70},
    {"S_NETTO", "Mennyiség", 80},        {"S_MEGY", "M.egys.", 55},
    {"S_BSZAM", "Bszám", 80},            {"S_VTSZ", "VTSZ", 70},
    {"S_KOMPMERTEKE", "Komp.%", 55},     {"S_TERMEKKOD", "Termékkód", 70},
    {"ID_FJSOR", "ID", 50}};
}

TForm12::TForm12(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form12");
    setWindowTitle("Tételes lista");
    auto* top = new QVBoxLayout(this);

    const listparts::Period p = listparts::period("Bevallási idöszak: ", "Bevallási idöszak vége", this);
    tol_ = p.from;
    ig_ = p.to;
    QHBoxLayout* per = p.row;
    per->addStretch();
    top->addLayout(per);
    top->addWidget(listparts::note("Fizetési dátum szerint", "Label4", this));

    auto* box = new QGroupBox("Sorrend:", this);
    box->setObjectName("RadioGroup1");
    auto* bl = new QHBoxLayout(box);
    const char* texts[5] = {"Östermelö", "Fiz.dátum", "Fjegy", "Termék", "Felv.dátum"};
    for (int i = 0; i < 5; ++i) {
        order_[i] = new QRadioButton(QString::fromUtf8(texts[i]), box);
        order_[i]->setObjectName(QString("rbSorrend%1").arg(i));
        bl->addWidget(order_[i]);
        order_[i]->setChecked(i == 0);
        connect(order_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                inputChanged();
        });
    }
    top->addWidget(box);

    grid_ = new DBGrid(this);
    grid_->setObjectName("DBGrid1");
    grid_->setAccessibleName("A kigyüjtött tételek");
    grid_->setMinimumHeight(220);
    top->addWidget(grid_, 1);

    const listparts::ActionRow actions = listparts::actionRow(
        this, top, [this] { collectClick(); }, [this] { printClick(); });
    collect_ = actions.collect;
    print_ = actions.print;
    connect(tol_, &QDateEdit::dateChanged, this, [this] { inputChanged(); });
    connect(ig_, &QDateEdit::dateChanged, this, [this] { inputChanged(); });

    // The grid starts empty rather than showing another screen's rows.
    Data->ZQ20->close();
    grid_->setQuery(Data->ZQ20, kColumns);
    form::enterMovesFocus(this);
    resize(860, 560);
    tol_->setFocus();
}

ItemOrder TForm12::order() const
{
    for (int i = 0; i < 5; ++i)
        if (order_[i]->isChecked())
            return ItemOrder(i);
    return ItemOrder::Ostermelo;
}

void TForm12::inputChanged() { print_->setEnabled(false); }

void TForm12::collectClick()
{
    total_ = lists::collectItemized(app::currentContext(), Data->ZQ20, tol_->date(), ig_->date(),
                                    order());
    grid_->setQuery(Data->ZQ20, kColumns);
    print_->setEnabled(true);
    print_->setFocus();
}

void TForm12::printClick()
{
    rep::Report& report = *Data->frNyomtat;
    report.showPreparedOr(lists::printItemized(report, app::currentContext(), Data->ZQ60,
                                               tol_->date(), ig_->date(), order(), total_));
}

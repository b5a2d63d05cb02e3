#include "grouplist.h"

#include "Unit2.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "listparts.h"
#include "reports/engine/Report.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

GroupListScreen::GroupListScreen(const char* name, const QString& caption, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
    auto* top = new QVBoxLayout(this);

    const listparts::Period p = listparts::period("Dátum: ", "Dátum vége", this);
    tol_ = p.from;
    ig_ = p.to;
    QHBoxLayout* per = p.row;
    const listparts::DateKind kind = listparts::dateKind(this);
    fizetesi_ = kind.fizetesi;
    felvasarlasi_ = kind.felvasarlasi;
    per->addSpacing(20);
    per->addWidget(kind.box);
    per->addStretch();
    top->addLayout(per);

    grid_ = listparts::gridWithNavigator(top, "A kigyüjtött csoportok", this);

    const listparts::ActionRow actions = listparts::actionRow(
        this, top, [this] { collectClick(); }, [this] { printClick(); });
    collect_ = actions.collect;
    print_ = actions.print;
    connect(tol_, &QDateEdit::dateChanged, this, [this] { inputChanged(); });
    connect(ig_, &QDateEdit::dateChanged, this, [this] { inputChanged(); });
    connect(fizetesi_, &QRadioButton::toggled, this, [this] { inputChanged(); });

    Data->ZQ20->close();
    grid_->setQuery(Data->ZQ20);
    findChild<DBNavigator*>("DBNavigator1")->setQuery(Data->ZQ20);
    form::enterMovesFocus(this);
    resize(640, 520);
    tol_->setFocus();
}

lists::Period GroupListScreen::period() const
{
    return {tol_->date(), ig_->date(), felvasarlasi_->isChecked()};
}

void GroupListScreen::inputChanged()
{
    print_->setEnabled(false);
    Data->ZQ20->close();
}

void GroupListScreen::collectClick()
{
    total_ = collect(period());
    grid_->setQuery(Data->ZQ20);
    print_->setEnabled(true);
    print_->setFocus();
}

void GroupListScreen::printClick()
{
    Data->frNyomtat->showPreparedOr(print(period(), total_));
}

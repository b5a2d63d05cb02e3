#include "Unit39.h"

#include "Unit2.h"
#include "context.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "gui/outcome.h"
#include "seams.h"
#include "ticketlist.h"
#include "values.h"
#include "voiding.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm39::TForm39(const QString& voidedNumber, const QDate& voidedIssueDate, QWidget* parent)
    : QDialog(parent), voided_(voidedNumber), voidedIssue_(voidedIssueDate)
{
    setObjectName("Form39");
    setWindowTitle("Érvénytelenitő bizonylat létrehozása");
    auto* top = new QVBoxLayout(this);
    auto* red = new QLabel("A kiválasztott felvásárlási jegy bizonylat érvénytelenítése új "
                           "bizonylat sorszámon.",
                           this);
    red->setObjectName("Label1");
    red->setStyleSheet("color: red");
    top->addWidget(red);
    auto* note = new QLabel("Az érvénytelenítendő  bizonylat tételsor(ok) mennyisége mínusz "
                            "eggyel beszorozva.",
                            this);
    note->setObjectName("Label2");
    top->addWidget(note);

    auto* g = new QGridLayout;
    number_ = new QLineEdit(this);
    number_->setObjectName("Edit1");
    number_->setEnabled(false);
    g->addWidget(form::label("Érvénytelenítő \"ÚJ\" bizonylat sorszáma: ", number_, this), 0, 0);
    g->addWidget(number_, 0, 1);
    date_ = new FilteredEdit(FilteredEdit::DateText, 10, this);
    date_->setObjectName("Edit2");
    date_->setToolTip("Számla kiállítás kelte");
    auto* dl = new QVBoxLayout;
    dl->addWidget(form::label("Érvénytelenitö bizonylat kelte", date_, this));
    dl->addWidget(new QLabel("(Kiállítás kelte)", this));
    g->addLayout(dl, 1, 0);
    g->addWidget(date_, 1, 1);
    top->addLayout(g);

    auto* b = new QHBoxLayout;
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("Button1");
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button2");
    b->addStretch();
    b->addWidget(ok_);
    b->addWidget(cancel);
    top->addLayout(b);
    app::wireOk(ok_, this, [this] { return okClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    form::enterMovesFocus(this);
}

bool TForm39::prepare()
{
    date_->setText(val::fmtDate(seams::ui().today()));
    const numbering::Next next = ticketlist::nextNumber(Data->ZQ50);
    if (!next.ok()) {
        const QString stored =
            Data->ZQ50->isEmpty() ? QString() : Data->ZQ50->asString("A_FJBSZAM");
        seams::ui().showMessage(numbering::refusal(next.problem, stored));
        return false;
    }
    newNumber_ = next.number;
    number_->setText(newNumber_);
    // The screen opens even when the orphans stay.
    app::showOutcome(voiding::removeOrphanLines(app::currentContext(), newNumber_), this);
    return true;
}

bool TForm39::okClick()
{
    QString taken;
    const rec::Outcome o = voiding::run(app::currentContext(),
                                        {voided_, voidedIssue_, newNumber_, date_->text()}, &taken);
    // After a failed step nothing of the voiding was kept; the user may try again.
    if (!app::showOutcome(o, this))
        return false;
    // Another computer may have taken the offered number meanwhile.
    newNumber_ = taken;
    number_->setText(newNumber_);
    G.aktBszam = newNumber_;
    ticketlist::requery();
    seams::ui().showMessage(voiding::doneMessage(newNumber_));
    return true;
}

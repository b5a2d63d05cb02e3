#include "Unit33.h"

#include "Unit2.h"
#include "context.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "reports/gui/listparts.h"
#include "gui/screens.h"
#include "reports/lists.h"
#include "reports/engine/Report.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct Particular {
    const char* label;
    const char* unit;
    const char* variable;
};
const Particular kParticulars[10] = {
    {"Sorszám:", "", "v_szam"},           {"Terület hrsz", "", "v_hrsz"},
    {"Terület nagysága", "", "v_ter"},    {"Helyrevetett", "Ha", "v_helyre"},
    {"Palántázott", "Ha", "v_pal"},       {"Szerződött mennyiség ", "t", "v_szmenny"},
    {"Fémzárolt vetőmag", "kg", "v_femz"}, {"Telefon", "", "v_tel"},
    {"Év", "", "v_ev"},                   {"Teljesítési hat.idö", "", "v_that"}};
} // namespace

TForm33::TForm33(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form33");
    setWindowTitle("Szerzödés nyomtatás");
    auto* top = new QVBoxLayout(this);

    auto* head = new QGridLayout;
    choose_ = form::namedButton("Őstermelő", "Button1", this);
    head->addWidget(choose_, 0, 0);
    nev_ = listparts::note("", "lbNev", this);
    cim_ = listparts::note("", "lbCim", this);
    auto* who = form::label("Őstermelő adatai:", nev_, this);
    head->addWidget(who, 0, 1);
    head->addWidget(nev_, 0, 2);
    head->addWidget(cim_, 1, 2);
    cim_->setAccessibleName("Őstermelő címe");
    for (QLabel* l : {nev_, cim_}) {
        l->setWordWrap(false);
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    head->setColumnStretch(2, 1);
    top->addLayout(head);

    auto* g = new QGridLayout;
    int row = 0;
    for (const Particular& p : kParticulars) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString("ed_") + p.variable);
        fields_.insert(p.variable, e);
        g->addWidget(form::label(QString::fromUtf8(p.label), e, this), row, 0);
        g->addWidget(e, row, 1);
        if (*p.unit)
            g->addWidget(new QLabel(QString::fromUtf8(p.unit), this), row, 2);
        ++row;
    }
    g->setColumnStretch(1, 1);
    top->addLayout(g);
    top->addStretch(1);

    auto* buttons = new QHBoxLayout;
    print_ = form::namedButton("Nyomtatás", "Button2", this);
    auto* cancel = form::namedButton("Mégsem", "Button3", this);
    buttons->addStretch();
    buttons->addWidget(print_);
    buttons->addWidget(cancel);
    top->addLayout(buttons);

    connect(choose_, &QPushButton::clicked, this, [this] { app::guarded([this] { chooseProducerClick(); }); });
    connect(print_, &QPushButton::clicked, this, [this] { app::guarded([this] { printClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The producer lines follow the list's current row while it is open.
    connect(Data->ZQ30, &TQuery::currentChanged, this, [this] { showProducer(); });
    connect(Data->ZQ30, &TQuery::reset, this, [this] { showProducer(); });

    form::enterMovesFocus(this);
    resize(520, 460);
    fields_.value("v_szam")->setFocus();
}

void TForm33::showProducer()
{
    TQuery* q = Data->ZQ30;
    const bool has = !kod_.isEmpty() && q->active() && !q->isEmpty() && !q->eof();
    nev_->setText(has ? q->asString("O_NEV") : QString());
    cim_->setText(has ? q->asString("O_IRSZAM") + " " + q->asString("O_HELYSEGNEV") + " " +
                            q->asString("O_UTCA")
                      : QString());
}

void TForm33::chooseProducerClick()
{
    if (app::runScreen(4, this) < 0)
        return;
    TQuery* q = Data->ZQ30;
    if (q->active() && !q->isEmpty() && !q->eof())
        kod_ = q->asString("O_KOD");
    showProducer();
}

void TForm33::printClick()
{
    if (kod_.isEmpty())
        return; // no producer chosen yet: nothing to print, nothing to tell
    lists::Contract c;
    QString* target[10] = {&c.szam, &c.hrsz, &c.ter, &c.helyre, &c.pal,
                           &c.szmenny, &c.femz, &c.tel, &c.ev, &c.that};
    for (int i = 0; i < 10; ++i)
        *target[i] = fields_.value(kParticulars[i].variable)->text();
    rep::Report& report = *Data->frNyomtat;
    report.showPreparedOr(lists::printContract(report, app::currentContext(), Data->ZQ60, c, kod_));
}

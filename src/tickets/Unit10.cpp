#include "Unit10.h"

#include "Unit2.h"
#include "context.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "gui/outcome.h"
#include "gui/screens.h"
#include "seams.h"
#include "settings.h"
#include "values.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>


QString TForm10::modeText(Mode m)
{
    return m == Mode::New ? "Új tételsor" : "Felvásárlási jegy módositás";
}

TForm10::TForm10(Mode mode, const QString& bszam, const QString& levonszaz, QWidget* parent)
    : QDialog(parent), mode_(mode), bszam_(bszam), levonszaz_(levonszaz)
{
    setObjectName("Form10");
    setWindowTitle("Felvásárlási jegy tételsor");
    settings::IniFile ini(settings::iniFileName("form10.ini"));
    bizonylatVisible_ = ini.readString("Form10", "Edit10Visible") == "1";
    defaultKomp_ = ini.readString("Form10", "Edit8Text");

    auto* top = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    auto* termek = new QPushButton("Termék", this);
    termek->setObjectName("Button3");
    g->addWidget(termek, 0, 0);
    int row = 1;
    auto mk = [&](const QString& col, const char* name, FilteredEdit::Mode m, int len,
                  const QString& caption) {
        auto* e = new FilteredEdit(m, len, this);
        e->setObjectName(name);
        edits_[col] = e;
        QLabel* l = form::label(caption, e, this);
        g->addWidget(l, row, 0);
        g->addWidget(e, row, 1);
        ++row;
        return l;
    };
    mk("S_BSZAM", "Edit1", FilteredEdit::Any, 8, "Bszám");
    form::setReadOnly(edits_["S_BSZAM"]);
    mk("S_MEGNEVEZES", "Edit2", FilteredEdit::Any, 75, "Megnevezés");
    edits_["S_MEGNEVEZES"]->setToolTip("Megnevezés kezdő betük beirása a \"Termék\" gomb előtt");
    edits_["S_MEGNEVEZES"]->setMinimumWidth(360);
    mk("S_VTSZ", "Edit3", FilteredEdit::Any, 10, "VTSZ");
    mk("S_BRUTTO", "Edit4", FilteredEdit::Signed, 18, "Mennyiség");
    mk("S_MEGY", "Edit5", FilteredEdit::Any, 10, "Menny. egys.");
    mk("S_EAR", "Edit6", FilteredEdit::Decimal, 18, "Egységár");
    mk("S_KOMPMERTEKE", "Edit8", FilteredEdit::Decimal, 10, "Komp.mértéke");
    bizonylatLabel_ = mk("S_BIZONYLAT", "Edit10", FilteredEdit::Decimal, 10, "Bizonylat");
    mk("S_TERMEKKOD", "Edit9", FilteredEdit::Any, 5, "Kód");
    form::setReadOnly(edits_["S_TERMEKKOD"]);
    top->addLayout(g);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("Button1");
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button2");
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(termek, &QPushButton::clicked, this, [this] { app::guarded([this] { chooseProduct(); }); });
    app::wireOk(ok, this, [this] { return save(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    form::enterMovesFocus(this);

    edits_["S_BSZAM"]->setText(bszam_);
    edits_["S_BIZONYLAT"]->setVisible(bizonylatVisible_);
    bizonylatLabel_->setVisible(bizonylatVisible_);
    if (mode_ == Mode::New)
        edits_["S_KOMPMERTEKE"]->setText(defaultKomp_);
}

void TForm10::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!shown_) {
        shown_ = true;
        edits_["S_MEGNEVEZES"]->setFocus();
    }
}

bool TForm10::load()
{
    TQuery* q = Data->ZQ20;
    try {
        id_ = q->asInteger("ID_FJSOR");
        for (const char* col : {"S_TERMEKKOD", "S_MEGNEVEZES", "S_VTSZ", "S_BRUTTO", "S_MEGY",
                                "S_EAR", "S_KOMPMERTEKE", "S_BIZONYLAT"})
            edits_[col]->setText(q->asString(col));
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba101: a terméksor feltöltésben való megjelenitésekor!");
        return false;
    }
    return true;
}

void TForm10::chooseProduct()
{
    G.termekSzoveg = edits_["S_MEGNEVEZES"]->text();
    if (app::runScreen(6, this) < 0)
        return;
    takeProduct();
}

void TForm10::takeProduct()
{
    TQuery* q = Data->ZQ40;
    if (q->isEmpty())
        return;
    try {
        edits_["S_MEGNEVEZES"]->setText(q->asString("T_MEGNEVEZES"));
        edits_["S_VTSZ"]->setText(q->asString("T_VTSZ"));
        edits_["S_MEGY"]->setText(q->asString("T_MEGY"));
        edits_["S_EAR"]->setText(q->asString("T_EAR"));
        edits_["S_KOMPMERTEKE"]->setText(q->asString("T_KOMPMERTEKE"));
        edits_["S_TERMEKKOD"]->setText(q->asString("T_KOD"));
        edits_["S_BIZONYLAT"]->setText(q->asString("T_BIZONYLAT"));
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba102: a termék feltöltésben való megjelenitésekor!");
        reject();
        return;
    }
    edits_["S_BRUTTO"]->setFocus();
}

bool TForm10::save()
{
    ticketentry::Line l;
    l.id = id_;
    l.bszam = linesKey_.isEmpty() ? bszam_ : linesKey_;
    l.termekkod = edits_["S_TERMEKKOD"]->text();
    l.megnevezes = edits_["S_MEGNEVEZES"]->text();
    l.vtsz = edits_["S_VTSZ"]->text();
    l.brutto = edits_["S_BRUTTO"]->text();
    l.megy = edits_["S_MEGY"]->text();
    l.ear = edits_["S_EAR"]->text();
    l.kompmerteke = edits_["S_KOMPMERTEKE"]->text();
    l.bizonylat = edits_["S_BIZONYLAT"]->text();
    l.levonszaz = levonszaz_;
    l.rates = rates_;
    l.printed = printed_;
    // A failed statement was rolled back; the screen stays open with the input.
    // The entry screen re-reads its lines when this screen closes.
    return app::showOutcome(
        ticketentry::saveLine(app::currentContext(), l,
                              mode_ == Mode::New ? ticketentry::Mode::New : ticketentry::Mode::Modify),
        this);
}

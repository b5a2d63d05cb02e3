#include "Unit7.h"

#include "Unit2.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "products.h"
#include "seams.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

const char* const TForm7::UjMode = "Új termék";
const char* const TForm7::ModositasMode = "Termék módositás";

namespace {

struct FieldDef {
    const char* label;
    const char* column;
    int limit; // 0: none, -1: read-only
    FilteredEdit::Mode keys;
    const char* initial;
};
const FieldDef kFields[] = {
    {"ID", "ID_TERMEK", -1, FilteredEdit::Any, ""},
    {"Kód", "T_KOD", 0, FilteredEdit::Digits, ""},
    {"Megnevezés", "T_MEGNEVEZES", 75, FilteredEdit::Any, ""},
    {"VTSZ", "T_VTSZ", 10, FilteredEdit::Any, ""},
    {"Egységár", "T_EAR", 0, FilteredEdit::Decimal, "0"},
    {"Menny.egység", "T_MEGY", 10, FilteredEdit::Any, ""},
    {"Komp.mértéke", "T_KOMPMERTEKE", 0, FilteredEdit::Decimal, "12,00"},
    {"Tételszám", "T_BIZONYLAT", 10, FilteredEdit::Decimal, ""},
};

} // namespace

TForm7::TForm7(Mode mode, QWidget* parent) : EntryScreen(mode, UjMode, ModositasMode, parent)
{
    setObjectName("Form7");
    setWindowTitle(mode == Mode::Modositas ? ModositasMode : "Termék");
    auto* top = new QVBoxLayout(this);
    auto* lay = new QFormLayout;
    for (const FieldDef& d : kFields) {
        auto* e = addField(d.column,
                           new FilteredEdit(d.keys, d.limit > 0 ? d.limit : 32767, this));
        if (d.limit < 0)
            form::setReadOnly(e);
        e->setText(d.initial);
        e->setMinimumWidth(QString(d.column) == "T_MEGNEVEZES" ? 420 : 140);
        QLabel* l = form::label(QString::fromUtf8(d.label), e, this);
        lay->addRow(l, e);
        if (QString(d.column) == "T_BIZONYLAT") {
            l->hide();
            e->hide();
        }
    }
    top->addLayout(lay);
    addButtons(top);
    finishFields("T_KOD", &TForm7::ujKod);
}

QString TForm7::ujKod()
{
    return products::nextCode(&Data->ZCon1);
}

bool TForm7::load()
{
    return loadRow(Data->ZQ40, "Hiba71 a termék módosítás Edit-ben való megjelenitésekor!");
}

rec::Outcome TForm7::saveRecord()
{
    const products::Product p{fieldTexts()};
    QString kod;
    rec::Outcome o = products::save(
        app::currentContext(), p,
        mode() == Mode::Modositas ? products::Mode::Modify : products::Mode::New,
        [](const QString& question) { return seams::ui().askYesNo(question); }, &kod, offeredCode());
    if (o.ok())
        G.termekSzoveg = kod;
    return o;
}

void TForm7::afterWrite()
{
    // The list beneath shows the catalogue again, on the saved product.
    products::runList(Data->ZQ40);
    Data->ZQ40->locatePrefix("T_KOD", G.termekSzoveg);
}

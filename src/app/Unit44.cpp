#include "Unit44.h"

#include "Unit2.h"
#include "buyer.h"
#include "gui/edits.h"
#include "seams.h"

#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct FieldDef {
    const char* label;
    const char* column;
    int limit;
    FilteredEdit::Mode mode;
    const char* hint;
};
const FieldDef kFields[] = {
    {"Átvevő neve", "V_NEVE", 75, FilteredEdit::Any, ""},
    {"Kód", "V_AKOD", 5, FilteredEdit::Any, "Legfeljebb 5 karakter"},
    {"Irányitószám", "V_IRSZAM", 8, FilteredEdit::Any, ""},
    {"Helységnév", "V_HELYSEG", 45, FilteredEdit::Any, ""},
    {"Utcanév", "V_UTCA", 45, FilteredEdit::Any, ""},
    {"Jelleg (út, krt)", "V_JELLEG", 20, FilteredEdit::Any, ""},
    {"Házszám", "V_HAZSZAM", 20, FilteredEdit::Any, ""},
    {"Adószám", "V_ADOSZAM", 13, FilteredEdit::Any, "12345678-1-12 vagy 11 számjegy"},
    {"Bizonylat sorszám", "A_FJBSZAM", 8, FilteredEdit::Digits,
     "Nyolc számjegy, nem kezdődhet nullával; pl. 20200000: az első jegy 20200001 lesz"},
};
} // namespace

TForm44::TForm44(QWidget* parent) : EntryScreen(Mode::Uj, "", "", parent)
{
    setObjectName("Form44");
    setWindowTitle("Átvevő beállítása");
    auto* top = new QVBoxLayout(this);
    auto* intro = new QLabel(
        "Az átvevő (a felvásárló) saját adatai. Ezek kerülnek minden bizonylatra: a "
        "felvásárlási jegyre, a 2008M bevallás import fájljaira és az adóhatósági "
        "adatszolgáltatásra. A név, a cím és az adószám az első felvásárlási jegyig "
        "javítható (Segédlet / Átvevő beállítás), utána nem.",
        this);
    intro->setObjectName("lblBevezeto");
    intro->setWordWrap(true);
    top->addWidget(intro);
    auto* box = new QGroupBox("Átvevő", this);
    auto* f = new QFormLayout(box);
    f->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    for (const FieldDef& d : kFields) {
        auto* e = addField(d.column, new FilteredEdit(d.mode, d.limit, this));
        e->setMinimumWidth(d.limit >= 45 ? 320 : 160);
        if (*d.hint)
            e->setToolTip(QString::fromUtf8(d.hint));
        form::addRow(f, QString::fromUtf8(d.label), e);
    }
    top->addWidget(box);
    auto* series = new QLabel("Az utolsó (8. karakter) nulla akkor a kezdő bizonylatszám 1-es lesz. "
                              "Több gépen dolgozva gépenként eltérő sorszám legyen.",
                              this);
    series->setObjectName("lblSorszam");
    series->setWordWrap(true);
    top->addWidget(series);
    addButtons(top, "Letárol");
    // Proposals: the sample's code, and this year's series.
    field("V_AKOD")->setText("00001");
    field("A_FJBSZAM")->setText(QString::number(seams::today().year()) + "0000");
    finishFields();
}

rec::Outcome TForm44::saveRecord()
{
    const QHash<QString, QString> t = fieldTexts();
    buyer::Setup s;
    s.neve = t.value("V_NEVE");
    s.akod = t.value("V_AKOD");
    s.irszam = t.value("V_IRSZAM");
    s.helyseg = t.value("V_HELYSEG");
    s.utca = t.value("V_UTCA");
    s.jelleg = t.value("V_JELLEG");
    s.hazszam = t.value("V_HAZSZAM");
    s.adoszam = t.value("V_ADOSZAM");
    s.sorszam = t.value("A_FJBSZAM");
    return buyer::saveSetup(&Data->ZCon1, s);
}

#include "Unit4.h"

#include "Unit2.h"
#include "Unit5.h"
#include "buyer.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "producers.h"
#include "reports/engine/Report.h"
#include "reports/registerprint.h"
#include "seams.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

const char* const TForm4::StatusInitial = "Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre";
const char* const TForm4::StatusAfterSave = "Őstermelő lista, \"Név\" szerint";
const char* const TForm4::NyomtatottUzenet = producers::PrintedLock;

namespace {

// The grid's columns; the sort by column number relies on the list statement
// selecting these first, in this order.
const QList<GridColumn> kColumns = {
    {"O_KOD", "Kód", 50},           {"O_NEV", "Név", 200},
    {"O_IRSZAM", "Irszám", 50},     {"O_HELYSEGNEV", "Helységnév", 120},
    {"O_UTCA", "Utca", 140},        {"O_ADOAZON", "Adóazonositó", 90},
    {"O_IGSZAM", "Östermelöi", 80}, {"O_REGSZAM", "Reg.szám", 80},
    {"O_ADOSZAM", "Adószám", 90},   {"O_SZULHELY", "Szül.hely", 100},
    {"O_SZIDO", "Szül.idö", 80},    {"O_ANYJA", "Anyja", 140},
    {"O_CSGAZD", "Családigazd.", 80}, {"O_SZULNEV", "Szül.név", 140},
    {"O_NEME", "Neme", 40},         {"O_BANKSZLA", "Bank szla", 180},
    {"O_ERVKELT", "Érv.kelte", 80}, {"O_BETETLAP", "Betétlap", 80},
    {"O_MUVKTG", "Müv.ktg.", 60},   {"O_MNYPTAG", "Magánny.", 60},
    {"O_SZJA", "szja", 40},         {"O_TAJ", "TAJ", 80},
    {"O_AKOD", "Átvevö", 50},       {"ID_OSTERMELO", "ID", 50},
    {"O_KAMARA", "kamarai reg.", 120},
};

const QList<PickerScreen::PanelField> kPanel = {
    {"ID:", "ID_OSTERMELO"},
    {"Kód:", "O_KOD"},
    {"Neve:", "O_NEV"},
    {"Cim:", "CIM"},
    {"Adóazonositó:", "O_ADOAZON"},
    {"Ősterm.Ig.szám:", "O_IGSZAM"},
    {"Reg.szám:", "O_REGSZAM"},
    {"Szül. hely:", "O_SZULHELY"},
    {"Születési idő:", "O_SZIDO"},
    {"Anyja neve:", "O_ANYJA"},
    {"Családi gazd.szám:", "O_CSGAZD"},
    {"Neme:", "O_NEME"},
    {"Születési név:", "O_SZULNEV"},
    {"TAJ:", "O_TAJ"},
    {"Adószám:", "O_ADOSZAM"},
    {"Bank szla:", "O_BANKSZLA"},
    {"Érvényesitve:", "O_ERVKELT"},
    {"FELIR:", "O_FELIR"},
    {"Kamarai reg.:", "O_KAMARA"},
    {"Nap:", "O_FHAT"},
};

} // namespace

TForm4::TForm4(QWidget* parent) : PickerScreen(Data->ZQ30, parent)
{
    setObjectName("Form4");
    setWindowTitle("Őstermelő");
    addStatus(StatusInitial);

    auto* searchRow = new QHBoxLayout;
    search_ = new FilteredEdit(FilteredEdit::Any, 45, this);
    search_->setObjectName("Edit1");
    search_->setToolTip("Kezdö betükre rákeres");
    search_->installEventFilter(this);
    auto* keresBtn = new QPushButton("Keres", this);
    keresBtn->setObjectName("Button7");
    keresBtn->setAutoDefault(false);
    searchRow->addWidget(form::label("Név:", search_, this));
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(keresBtn);
    searchRow->addStretch(2);
    topLayout()->addLayout(searchRow);

    addBody({"Őstermelők", QSize(560, 360), "Adata", 200, 2, false}, kPanel);
    addButtons("Nyomtat");
    bindQuery(kColumns);
    modosit_ = button("Button2");
    modosit_->installEventFilter(this);
    connect(keresBtn, &QPushButton::clicked, this, [this] { app::guarded([this] { keres(); }); });

    app::guarded([] { producers::runList(Data->ZQ30); });
    resize(1200, 640);
}

QString TForm4::panelValue(const QString& key) const
{
    if (key != "CIM")
        return PickerScreen::panelValue(key);
    QStringList parts;
    for (const char* f : {"O_IRSZAM", "O_HELYSEGNEV", "O_UTCA", "O_JELLEG", "O_HAZSZAM"})
        parts << PickerScreen::panelValue(f).trimmed();
    return parts.join(' ');
}

void TForm4::firstShow()
{
    frissit();
    status()->setText(StatusInitial);
}

void TForm4::frissit()
{
    producers::runListOn(Data->ZQ30, G.ostKod);
}

void TForm4::keres()
{
    producers::runList(Data->ZQ30);
    positionOn("O_NEV", search_->text());
    status()->setText(StatusInitial);
}

void TForm4::sortByCursorColumn()
{
    QModelIndex cur = grid()->currentIndex();
    int col = cur.isValid() ? cur.column() : 0;
    producers::runList(Data->ZQ30, col + 1);
    Data->ZQ30->first();
    grid()->setCurrentColumn(col);
}

void TForm4::modositClick()
{
    modosit(false);
}

void TForm4::modosit(bool skipLock)
{
    TQuery* q = Data->ZQ30;
    if (q->isEmpty())
        return;
    if (!skipLock && producers::printedTickets(&Data->ZCon1, q->asString("O_KOD")) != 0) {
        seams::ui().confirm(NyomtatottUzenet);
        return;
    }
    openEntry(true);
}

std::unique_ptr<EntryScreen> TForm4::makeEntry(bool modify)
{
    return std::make_unique<TForm5>(modify ? TForm5::Mode::Modositas : TForm5::Mode::Uj, this);
}

rec::Outcome TForm4::removeCurrent()
{
    TQuery* q = Data->ZQ30;
    return producers::remove(app::currentContext(), q->asString("ID_OSTERMELO"),
                             q->asString("O_KOD"));
}

void TForm4::nyomtatClick()
{
    Data->frNyomtat->showPreparedOr(registerprint::producers(
        *Data->frNyomtat, {Data->ZQ60, Data->ZQ30, G.akod, seams::ui().today()}));
}

bool TForm4::eventFilter(QObject* o, QEvent* e)
{
    if (o == search_ && e->type() == QEvent::KeyRelease) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (!ke->isAutoRepeat())
            app::guarded([this] { keres(); });
    } else if (o == modosit_ && e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == ServiceKey1 || ke->key() == ServiceKey2) {
            app::guarded([this] { modosit(true); });
            return true;
        }
    }
    return PickerScreen::eventFilter(o, e);
}

#include "Unit6.h"

#include "Unit2.h"
#include "Unit7.h"
#include "buyer.h"
#include "gui/dbwidgets.h"
#include "gui/guard.h"
#include "products.h"
#include "reports/engine/Report.h"
#include "reports/registerprint.h"
#include "seams.h"

#include <QLabel>
#include <QLineEdit>

const char* const TForm6::StatusMegnevezes = "Termék lista, \"Megnevezés\" szerint";

namespace {

const QList<GridColumn> kColumns = {
    {"T_KOD", "Kód", 50},          {"T_MEGNEVEZES", "Megnevezés", 240},
    {"T_VTSZ", "VTSZ", 70},        {"T_EAR", "Eár", 70},
    {"T_MEGY", "M.egység", 70},    {"T_KOMPMERTEKE", "Komp.mértéke", 90},
    {"ID_TERMEK", "ID", 50},
};

const QList<PickerScreen::PanelField> kPanel = {
    {"ID:", "ID_TERMEK"},       {"Kód:", "T_KOD"},   {"Megnevezés:", "T_MEGNEVEZES"},
    {"VTSZ:", "T_VTSZ"},        {"Egységár:", "T_EAR"}, {"M.egység:", "T_MEGY"},
    {"Komp.mértéke:", "T_KOMPMERTEKE"},
};

} // namespace

TForm6::TForm6(QWidget* parent) : PickerScreen(Data->ZQ40, parent)
{
    setObjectName("Form6");
    setWindowTitle("Termék");
    addStatus("Lista sorrend: ");
    addBody({"Termékek", QSize(560, 320), "Adatok", 180, -1, true}, kPanel);
    grid()->setToolTip(
        "Termék sorrend: klikk az \"kód\" , \"Megnevezés\" vagy \"ID\" oszlop fejlécre");
    QLineEdit* egyseg = panelField("T_MEGY");
    egyseg->setAccessibleName("Mennyiségi egység");
    egyseg->setMaximumWidth(80);
    addButtons("Nyomtatás");
    bindQuery(kColumns);
    app::guarded([] { products::runList(Data->ZQ40); });
    resize(1000, 520);
}

void TForm6::firstShow()
{
    products::runList(Data->ZQ40);
    positionOn("T_MEGNEVEZES", G.termekSzoveg);
    status()->setText(StatusMegnevezes);
}

void TForm6::sortByTitle(int column)
{
    const QString title = grid()->queryModel()->headerData(column, Qt::Horizontal).toString();
    products::Order order;
    if (title == "Kód")
        order = products::Order::Kod;
    else if (title == "Megnevezés")
        order = products::Order::Megnevezes;
    else if (title == "ID")
        order = products::Order::Id;
    else
        return;
    products::runList(Data->ZQ40, order);
    status()->setText(products::statusText(order));
}

std::unique_ptr<EntryScreen> TForm6::makeEntry(bool modify)
{
    return std::make_unique<TForm7>(modify ? TForm7::Mode::Modositas : TForm7::Mode::Uj, this);
}

rec::Outcome TForm6::removeCurrent()
{
    return products::remove(app::currentContext(), Data->ZQ40->asString("ID_TERMEK"));
}

void TForm6::nyomtatClick()
{
    Data->frNyomtat->showPreparedOr(registerprint::products(
        *Data->frNyomtat, {Data->ZQ60, Data->ZQ40, G.akod, seams::ui().today()}));
}

#include "Unit6.h"

#include "Unit2.h"
#include "Unit7.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "reports/engine/Report.h"
#include "reports/registerprint.h"
#include "seams.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

const char* const TForm6::StatusMegnevezes = "Termék lista, \"Megnevezés\" szerint";

namespace {

const QList<GridColumn> kColumns = {
    {"T_KOD", "Kód", 50},          {"T_MEGNEVEZES", "Megnevezés", 240},
    {"T_VTSZ", "VTSZ", 70},        {"T_EAR", "Eár", 70},
    {"T_MEGY", "M.egység", 70},    {"T_KOMPMERTEKE", "Komp.mértéke", 90},
    {"ID_TERMEK", "ID", 50},
};

struct PanelDef {
    const char* label; // nullptr: shown without a label
    const char* column;
};
const PanelDef kPanel[] = {
    {"ID:", "ID_TERMEK"},       {"Kód:", "T_KOD"},   {"Megnevezés:", "T_MEGNEVEZES"},
    {"VTSZ:", "T_VTSZ"},        {"Egységár:", "T_EAR"}, {nullptr, "T_MEGY"},
    {"Komp.mértéke:", "T_KOMPMERTEKE"},
};

} // namespace

void TForm6::runListQuery(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT * FROM Termek           ");
    q->add("         ORDER BY t_megnevezes ");
    q->open();
}

TForm6::TForm6(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form6");
    setWindowTitle("Termék");
    auto* top = new QVBoxLayout(this);
    status_ = new QLabel("Lista sorrend: ", this);
    status_->setObjectName("Label1");
    top->addWidget(status_);

    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    grid_ = new DBGrid(this);
    grid_->setObjectName("DBGrid1");
    grid_->setToolTip("Termék sorrend: klikk az \"kód\" , \"Megnevezés\" vagy \"ID\" oszlop fejlécre");
    grid_->setAccessibleName("Termékek");
    grid_->setMinimumSize(560, 320);
    left->addWidget(grid_, 1);
    nav_ = new DBNavigator(this);
    nav_->setObjectName("DBNavigator1");
    left->addWidget(nav_);
    middle->addLayout(left, 3);

    auto* box = new QGroupBox("Adatok", this);
    box->setObjectName("GroupBox1");
    auto* pl = new QGridLayout(box);
    int r = 0;
    for (const PanelDef& p : kPanel) {
        auto* e = new QLineEdit(box);
        e->setObjectName(QString("pn_") + p.column);
        form::setReadOnly(e);
        e->setMinimumWidth(180);
        panel_[p.column] = e;
        if (p.label) {
            pl->addWidget(form::label(QString::fromUtf8(p.label), e, box), r, 0);
        } else {
            e->setAccessibleName("Mennyiségi egység");
            e->setMaximumWidth(80);
        }
        pl->addWidget(e, r, 1);
        ++r;
    }
    pl->setRowStretch(r, 1);
    box->setMaximumWidth(360);
    middle->addWidget(box, 2);
    top->addLayout(middle, 1);

    auto* buttons = new QHBoxLayout;
    auto make = [&](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        buttons->addWidget(b);
        return b;
    };
    auto* uj = make("Button1", "Új");
    auto* modosit = make("Button2", "Módosít");
    auto* torol = make("Button3", "Töröl");
    buttons->addStretch();
    auto* kivalaszt = make("Button5", "Kiválaszt");
    auto* megsem = make("Button4", "Mégsem");
    auto* nyomtat = make("Button6", "Nyomtatás");
    top->addLayout(buttons);

    connect(uj, &QPushButton::clicked, this, [this] { app::guarded([this] { ujClick(); }); });
    connect(modosit, &QPushButton::clicked, this,
            [this] { app::guarded([this] { modositClick(); }); });
    connect(torol, &QPushButton::clicked, this, [this] { app::guarded([this] { torolClick(); }); });
    connect(nyomtat, &QPushButton::clicked, this,
            [this] { app::guarded([this] { nyomtatClick(); }); });
    connect(kivalaszt, &QPushButton::clicked, this, &QDialog::accept);
    // Enter in the list chooses, as a picker should; the list has the focus.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
    kivalaszt->setDefault(true);
    grid_->setFocus();
    connect(megsem, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int c) { app::guarded([this, c] { sortByTitle(c); }); });

    TQuery* q = Data->ZQ40;
    grid_->setQuery(q, kColumns);
    nav_->setQuery(q);
    connect(q, &TQuery::currentChanged, this, [this] { updatePanel(); });
    connect(q, &TQuery::reset, this, [this] { updatePanel(); });
    app::guarded([q] { runListQuery(q); });
    updatePanel();
    resize(1000, 520);
}

QPushButton* TForm6::button(const QString& objectName) const
{
    return findChild<QPushButton*>(objectName);
}

QString TForm6::panelText(const QString& column) const
{
    QLineEdit* e = panel_.value(column);
    return e ? e->text() : QString();
}

void TForm6::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    app::guarded([this] {
        runListQuery(Data->ZQ40);
        Data->ZQ40->locatePrefix("T_MEGNEVEZES", G.termekSzoveg);
        status_->setText(StatusMegnevezes);
    });
}

void TForm6::updatePanel()
{
    TQuery* q = Data->ZQ40;
    bool any = q->active() && !q->isEmpty() && q->recNo() >= 0;
    for (auto it = panel_.begin(); it != panel_.end(); ++it) {
        it.value()->setText(any && q->hasField(it.key()) ? q->asString(it.key()) : QString());
        it.value()->setCursorPosition(0);
    }
}

void TForm6::sortByTitle(int column)
{
    const QString title = grid_->queryModel()->headerData(column, Qt::Horizontal).toString();
    TQuery* q = Data->ZQ40;
    QString status;
    if (title == "Kód") {
        q->close();
        q->clearSql();
        q->add("SELECT *         ");
        q->add("  FROM termek    ");
        q->add("  ORDER BY t_kod ");
        status = "Termék lista, \"Kód\" szerint";
    } else if (title == "Megnevezés") {
        q->close();
        q->clearSql();
        q->add("SELECT *                ");
        q->add("  FROM termek           ");
        q->add("  ORDER BY t_megnevezes ");
        status = StatusMegnevezes;
    } else if (title == "ID") {
        q->close();
        q->clearSql();
        q->add("SELECT *             ");
        q->add("  FROM termek        ");
        q->add("  ORDER BY ID_Termek ");
        status = "Termék lista a beviteli sorrend szerint";
    } else {
        return;
    }
    q->open();
    status_->setText(status);
}

void TForm6::ujClick()
{
    openEntry(false);
}

void TForm6::modositClick()
{
    if (Data->ZQ40->isEmpty())
        return;
    openEntry(true);
}

void TForm6::openEntry(bool modify)
{
    auto entry = std::make_unique<TForm7>(modify ? TForm7::Mode::Modositas : TForm7::Mode::Uj, this);
    if (modify && !entry->load())
        return;
    if (seams::ui().runModal(entry.get()) == QDialog::Accepted)
        status_->setText(StatusMegnevezes);
}

void TForm6::torolClick()
{
    TQuery* q = Data->ZQ41;
    if (Data->ZQ40->isEmpty())
        return;
    q->close();
    q->clearSql();
    q->add("SELECT count(*) AS db FROM termek  ");
    q->open();
    if (q->asInteger("db") < 2) {
        seams::ui().confirm("Az utolsó terméksor nem törölhető ki.");
    } else {
        QString id = Data->ZQ40->asString("ID_TERMEK");
        q->close();
        q->clearSql();
        q->add("DELETE FROM termek      ");
        q->add("  WHERE ID_termek = :p1 ");
        q->setText("p1", id);
        try {
            // Committed at once, so that a failed save elsewhere cannot undo it.
            Data->execCommitted(q);
            seams::ui().showMessage("Az termék sor törlölve!");
        } catch (const std::exception&) {
            seams::ui().showMessage("Hiba61: termék DELETE törlésekor");
        }
    }
    runListQuery(Data->ZQ40);
    Data->ZQ40->locatePrefix("T_MEGNEVEZES", G.termekSzoveg);
    status_->setText(StatusMegnevezes);
}

void TForm6::nyomtatClick()
{
    if (registerprint::products(*Data->frNyomtat))
        Data->frNyomtat->showPrepared();
}

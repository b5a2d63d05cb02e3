#include "Unit4.h"

#include "Unit2.h"
#include "Unit5.h"
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
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

const char* const TForm4::StatusInitial = "Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre";
const char* const TForm4::StatusAfterSave = "Őstermelő lista, \"Név\" szerint";
const char* const TForm4::NyomtatottUzenet =
    "Az őstermelő már szerepel a nyomtatott felvásárlási jegyen !";

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

struct PanelDef {
    const char* label;
    const char* key; // column, or CIM for the composed address
};
const PanelDef kPanel[] = {
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

void TForm4::runListQuery(TQuery* q, const QString& orderBy)
{
    q->close();
    q->clearSql();
    q->add("SELECT o_kod,o_Nev,o_Irszam,o_Helysegnev,o_Utca,o_Adoazon,o_Igszam,o_Regszam,"
           "o_Adoszam,o_Szulhely,o_Szido,o_Anyja,o_Csgazd,o_Szulnev,o_Neme,o_Bankszla,"
           "O_ERVKELT,O_BETETLAP,O_MUVKTG,O_MNYPTAG,o_Szja,o_TAJ,O_AKOD, ");
    q->add("       ID_ostermelo, o_kamara, o_felir,O_KERULET,  O_JELLEG, O_HAZSZAM, O_EPULET,  "
           "O_LEPCSO,  O_SZINT,    O_AJTO,     O_FHAT, O_KOZADOSZAM, O_FELJEGYZ   ");
    q->add("  FROM ostermelo     ");
    if (orderBy == "o_Nev")
        q->add("         ORDER BY o_Nev ");
    else
        q->add("  ORDER BY " + orderBy);
    q->open();
}

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form4");
    setWindowTitle("Őstermelő");
    auto* top = new QVBoxLayout(this);

    status_ = new QLabel(StatusInitial, this);
    status_->setObjectName("Label1");
    top->addWidget(status_);

    auto* searchRow = new QHBoxLayout;
    search_ = new FilteredEdit(FilteredEdit::Any, 45, this);
    search_->setObjectName("Edit1");
    search_->setToolTip("Kezdö betükre rákeres");
    search_->installEventFilter(this);
    auto* keresBtn = new QPushButton("Keres", this);
    keresBtn->setObjectName("Button7");
    searchRow->addWidget(form::label("Név:", search_, this));
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(keresBtn);
    searchRow->addStretch(2);
    top->addLayout(searchRow);

    auto* middle = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    grid_ = new DBGrid(this);
    grid_->setObjectName("DBGrid1");
    grid_->setMinimumSize(560, 360);
    grid_->setAccessibleName("Őstermelők");
    left->addWidget(grid_, 1);
    nav_ = new DBNavigator(this);
    nav_->setObjectName("DBNavigator1");
    left->addWidget(nav_);
    middle->addLayout(left, 3);

    auto* box = new QGroupBox("Adata", this);
    box->setObjectName("GroupBox1");
    auto* pl = new QGridLayout(box);
    pl->setVerticalSpacing(2);
    int r = 0;
    for (const PanelDef& p : kPanel) {
        auto* e = new QLineEdit(box);
        e->setObjectName(QString("pn_") + p.key);
        form::setReadOnly(e);
        e->setMinimumWidth(200);
        panel_[p.key] = e;
        pl->addWidget(form::label(QString::fromUtf8(p.label), e, box), r, 0);
        pl->addWidget(e, r, 1);
        ++r;
    }
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
    modosit_ = make("Button2", "Módosít");
    auto* torol = make("Button3", "Töröl");
    buttons->addStretch();
    auto* kivalaszt = make("Button5", "Kiválaszt");
    auto* megsem = make("Button4", "Mégsem");
    auto* nyomtat = make("Button6", "Nyomtat");
    top->addLayout(buttons);
    modosit_->installEventFilter(this);

    connect(keresBtn, &QPushButton::clicked, this, [this] { app::guarded([this] { keres(); }); });
    connect(uj, &QPushButton::clicked, this, [this] { app::guarded([this] { ujClick(); }); });
    connect(modosit_, &QPushButton::clicked, this,
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
            [this](int) { app::guarded([this] { sortByCursorColumn(); }); });

    TQuery* q = Data->ZQ30;
    grid_->setQuery(q, kColumns);
    nav_->setQuery(q);
    connect(q, &TQuery::currentChanged, this, [this] { updatePanel(); });
    connect(q, &TQuery::reset, this, [this] { updatePanel(); });
    app::guarded([q] { runListQuery(q); });
    updatePanel();
    resize(1200, 640);
}

QPushButton* TForm4::button(const QString& objectName) const
{
    return findChild<QPushButton*>(objectName);
}

QString TForm4::panelText(const QString& column) const
{
    QLineEdit* e = panel_.value(column);
    return e ? e->text() : QString();
}

void TForm4::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    app::guarded([this] { frissit(); });
    status_->setText(StatusInitial);
}

void TForm4::frissit()
{
    runListQuery(Data->ZQ30);
    Data->ZQ30->locatePrefix("O_KOD", G.ostKod);
}

void TForm4::keres()
{
    runListQuery(Data->ZQ30);
    Data->ZQ30->locatePrefix("O_NEV", search_->text());
    status_->setText(StatusInitial);
}

void TForm4::sortByCursorColumn()
{
    QModelIndex cur = grid_->currentIndex();
    int col = cur.isValid() ? cur.column() : 0;
    runListQuery(Data->ZQ30, QString::number(col + 1));
    Data->ZQ30->first();
    grid_->setCurrentColumn(col);
}

void TForm4::updatePanel()
{
    TQuery* q = Data->ZQ30;
    bool any = q->active() && !q->isEmpty() && q->recNo() >= 0;
    auto txt = [&](const char* f) { return any && q->hasField(f) ? q->asString(f) : QString(); };
    for (auto it = panel_.begin(); it != panel_.end(); ++it) {
        if (it.key() == "CIM") {
            QStringList parts;
            for (const char* f : {"O_IRSZAM", "O_HELYSEGNEV", "O_UTCA", "O_JELLEG", "O_HAZSZAM"})
                parts << txt(f).trimmed();
            it.value()->setText(any ? parts.join(' ') : QString());
        } else {
            it.value()->setText(txt(it.key().toLatin1().constData()));
        }
        it.value()->setCursorPosition(0);
    }
}

qint64 TForm4::printedTickets(TQuery* q) const
{
    q->close();
    q->clearSql();
    q->add("SELECT f_ostermkod, count(f_ostermkod) as db ");
    q->add("  FROM  FjFej                                ");
    q->add("  WHERE (f_ostermkod = :p1) AND (f_prn = :p2)");
    q->add("  GROUP BY f_ostermkod                       ");
    q->setText("p1", Data->ZQ30->asString("O_KOD"));
    q->setText("p2", "I");
    q->open();
    return q->isEmpty() ? 0 : q->asInteger("db");
}

void TForm4::ujClick()
{
    openEntry(false);
}

void TForm4::modositClick(bool skipLock)
{
    if (Data->ZQ30->isEmpty())
        return;
    if (!skipLock && printedTickets(Data->ZQ32) != 0) {
        seams::ui().confirm(NyomtatottUzenet);
        return;
    }
    openEntry(true);
}

void TForm4::openEntry(bool modify)
{
    auto entry = std::make_unique<TForm5>(modify ? TForm5::Mode::Modositas : TForm5::Mode::Uj, this);
    if (modify && !entry->load())
        return;
    if (seams::ui().runModal(entry.get()) == QDialog::Accepted)
        status_->setText(StatusAfterSave);
}

void TForm4::torolClick()
{
    TQuery* q = Data->ZQ31;
    if (Data->ZQ30->isEmpty())
        return;
    if (printedTickets(q) != 0) {
        seams::ui().confirm(NyomtatottUzenet);
    } else {
        q->close();
        q->clearSql();
        q->add("SELECT count(*) AS db FROM ostermelo      ");
        q->open();
        if (q->asInteger("db") < 2) {
            seams::ui().confirm("Az utolsó őstermelősor nem törölhető ki.");
        } else {
            QString id = Data->ZQ30->asString("ID_OSTERMELO");
            q->close();
            q->clearSql();
            q->add("DELETE FROM ostermelo      ");
            q->add("  WHERE ID_ostermelo = :p1 ");
            q->setText("p1", id);
            try {
                // Committed at once: left pending, a failed save in any other
                // screen would roll the deletion back without a word.
                Data->execCommitted(q);
                seams::ui().showMessage("Az őstermelő sor törlölve!");
            } catch (const std::exception&) {
                seams::ui().showMessage("Hiba41: östermelö DELETE törlésekor");
            }
        }
    }
    frissit();
    status_->setText(StatusInitial);
}

void TForm4::nyomtatClick()
{
    if (registerprint::producers(*Data->frNyomtat))
        Data->frNyomtat->showPrepared();
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
            app::guarded([this] { modositClick(true); });
            return true;
        }
    }
    return QDialog::eventFilter(o, e);
}

#include "Unit8.h"

#include "Unit2.h"
#include "Unit39.h"
#include "Unit9.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "reports/engine/Report.h"
#include "seams.h"
#include "ticketlist.h"
#include "ticketprint.h"
#include "voiding.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QList<GridColumn> kColumns = {
    {"F_BSZAM", "Bszám", 70},        {"F_OSTERMKOD", "Österm.kód", 70},
    {"O_NEV", "Név", 180},           {"F_KELT", "Dátum", 80},
    {"F_PRN", "Print", 40},          {"F_MEGJ", "Megjegyzés", 140},
    {"O_IRSZAM", "Irszám", 50},      {"O_HELYSEGNEV", "Helységnév", 110},
    {"O_UTCA", "Utca", 120},         {"O_ADOSZAM", "Adószám", 90},
    {"O_ADOAZON", "Adóazonositó", 90}, {"F_SZJA", "Szja", 40},
    {"ID_FJFEJ", "ID", 50},
};

const QList<GridColumn> kLineColumns = {
    {"S_BSZAM", "Bizonylatszám", 80},  {"S_MEGNEVEZES", "Megnevezés", 150},
    {"S_BRUTTO", "Mennyiség", 70},     {"S_MEGY", "M.egys.", 50},
    {"S_EAR", "Egységár", 70},         {"S_KOMPMERTEKE", "Komp. %", 50},
    {"S_FELVAR", "Felvásár. ár", 90},  {"S_KOMPFELAR", "Komp.felár", 80},
    {"S_VETELAR", "Vételár", 90},      {"S_SZJA", "Szja %", 50},
    {"S_VTSZ", "VTSZ", 60},            {"ID_FJSOR", "ID", 50},
    {"S_TERMEKKOD", "Termékkód", 60},  {"S_AKOD", "Átvevő", 50},
};

struct Sort {
    const char* field;
    const char* orderBy;
    const char* label;
};
// The columns the list can be sorted by; the other titles do nothing.
const Sort kSorts[] = {
    {"F_BSZAM", "f_Bszam", "Felvásárlási jegy lista, \"Bizonylatszám\" szerint"},
    {"F_OSTERMKOD", "f_ostermkod", "Felvásárlási jegy lista, \"Őstermelőkód\" szerint"},
    {"O_NEV", "o_nev", "Felvásárlási jegy lista, név szerint"}, // Hungarian order
    {"F_KELT", "f_kelt", "Felvásárlási jegy lista, dátum szerint"},
    {"F_PRN", "f_prn", "Felvásárlási jegy lista, volt-e nyomtatva szerint"},
};

struct Field {
    const char* label;
    const char* key;
};
const Field kPanel[] = {
    {"ID:", "ID_FJFEJ"},          {"Bszám:", "F_BSZAM"},
    {"Érvényt. bszám:", "F_ERVENYT"}, {"Átvevőkód:", "F_AKOD"},
    {"Őstermelőkód:", "F_OSTERMKOD"}, {"Dátum:", "F_KELT"},
    {"Szja:", "F_SZJA"},          {"Print:", "F_PRN"},
    {"Megjegyzés:", "F_MEGJ"},    {"Érvényesitve:", "O_ERVKELT"},
    {"Betétlap:", "O_BETETLAP"},
};
const Field kProducer[] = {
    {"ID:", "ID_OSTERMELO"},      {"Kód:", "O_KOD"},
    {"Neve:", "O_NEV"},           {"Cim:", "CIM"},
    {"Adóazonositó:", "O_ADOAZON"}, {"Ősterm.Ig.szám:", "O_IGSZAM"},
    {"Reg.szám:", "O_REGSZAM"},   {"TAJ:", "O_TAJ"},
    {"Adószám:", "O_ADOSZAM"},    {"Bank szla:", "O_BANKSZLA"},
    {"Születési név:", "O_SZULNEV"}, {"Szül. hely:", "O_SZULHELY"},
    {"Születési idő:", "O_SZIDO"}, {"Anyja neve:", "O_ANYJA"},
    {"Neme:", "O_NEME"},          {"Családi gazd.szám:", "O_CSGAZD"},
    {"Szja:", "O_SZJA"},
};

QString rowText(TQuery* q, const char* field)
{
    bool any = q->active() && !q->isEmpty() && q->recNo() >= 0;
    return any && q->hasField(field) ? q->asString(field) : QString();
}

} // namespace

TForm8::TForm8(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form8");
    setWindowTitle("Felvásárlási jegy");
    auto* top = new QVBoxLayout(this);

    // Header panel of the current row.
    auto* head = new QGroupBox("Felvásárlási jegy fejsor adata", this);
    head->setObjectName("GroupBox1");
    auto* hl = new QGridLayout(head);
    hl->setVerticalSpacing(2);
    int i = 0;
    for (const Field& f : kPanel) {
        auto* e = new QLineEdit(head);
        e->setObjectName(QString("pn_") + f.key);
        form::setReadOnly(e);
        panel_[f.key] = e;
        const int row = i % 4, col = (i / 4) * 2;
        hl->addWidget(form::label(QString::fromUtf8(f.label), e, head), row, col);
        hl->addWidget(e, row, col + 1);
        ++i;
    }
    top->addWidget(head);

    auto* searchRow = new QHBoxLayout;
    search_ = new FilteredEdit(FilteredEdit::Any, 8, this);
    search_->setObjectName("Edit1");
    search_->setToolTip("Kezdö betükre rákeres");
    search_->installEventFilter(this);
    auto* keresBtn = new QPushButton("Keres", this);
    keresBtn->setObjectName("Button7");
    keresBtn->setAutoDefault(false);
    searchRow->addWidget(form::label("Bizonylat:", search_, this));
    searchRow->addWidget(search_);
    searchRow->addWidget(keresBtn);
    searchRow->addStretch();
    top->addLayout(searchRow);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    // Tab "Fejsor"
    auto* p1 = new QWidget;
    p1->setObjectName("TabSheet1");
    auto* l1 = new QVBoxLayout(p1);
    order_ = new QLabel(ticketlist::openingLabel(), p1);
    order_->setObjectName("Label1");
    l1->addWidget(order_);
    grid_ = new DBGrid(p1);
    grid_->setObjectName("DBGrid1");
    grid_->setAccessibleName("Felvásárlási jegyek");
    grid_->setMinimumSize(900, 300);
    l1->addWidget(grid_, 1);
    nav_ = new DBNavigator(p1);
    nav_->setObjectName("DBNavigator1");
    l1->addWidget(nav_);
    tabs_->addTab(p1, "Fejsor");
    // Tab "Tételsor"
    auto* p2 = new QWidget;
    p2->setObjectName("TabSheet2");
    auto* l2 = new QVBoxLayout(p2);
    lines_ = new DBGrid(p2);
    lines_->setObjectName("DBGrid2");
    lines_->setAccessibleName("Tételsorok");
    l2->addWidget(lines_, 1);
    linesNav_ = new DBNavigator(p2);
    linesNav_->setObjectName("DBNavigator2");
    l2->addWidget(linesNav_);
    tabs_->addTab(p2, "Tételsor");
    // Tab "Östermelő"
    auto* p3 = new QWidget;
    p3->setObjectName("TabSheet3");
    auto* l3 = new QVBoxLayout(p3);
    auto* box = new QGroupBox("Adata", p3);
    box->setObjectName("GroupBox2");
    auto* pl = new QGridLayout(box);
    pl->setVerticalSpacing(2);
    i = 0;
    for (const Field& f : kProducer) {
        auto* e = new QLineEdit(box);
        e->setObjectName(QString("os_") + f.key);
        form::setReadOnly(e);
        producer_[f.key] = e;
        const int row = i % 9, col = (i / 9) * 2;
        pl->addWidget(form::label(QString::fromUtf8(f.label), e, box), row, col);
        pl->addWidget(e, row, col + 1);
        ++i;
    }
    l3->addWidget(box);
    l3->addStretch();
    tabs_->addTab(p3, "Östermelő");
    top->addWidget(tabs_, 1);

    auto* buttons = new QHBoxLayout;
    auto make = [&](const char* name, const QString& text) {
        return form::addButton(buttons, text, name, this);
    };
    auto* uj = make("Button1", "Új");
    modosit_ = make("Button2", "Módosít");
    auto* megtekint = make("Button3", "Megtekint");
    auto* nyomtat = make("Button4", "Nyomtat");
    auto* ervenytelenit = make("Button5", "Érvénytelenit");
    ervenytelenit->setToolTip("Stornó. A kiválasztott bizonylat mennyiség minusz eggyel szorzása "
                              "és új bizonylatszámon létrehozva.");
    buttons->addStretch();
    auto* megsem = make("Button6", "Mégsem");
    top->addLayout(buttons);
    modosit_->installEventFilter(this);

    auto on = [this](QPushButton* b, void (TForm8::*f)()) {
        connect(b, &QPushButton::clicked, this, [this, f] { app::guarded([this, f] { (this->*f)(); }); });
    };
    on(uj, &TForm8::ujClick);
    on(megtekint, &TForm8::megtekintClick);
    on(nyomtat, &TForm8::nyomtatClick);
    on(ervenytelenit, &TForm8::ervenytelenitClick);
    connect(modosit_, &QPushButton::clicked, this,
            [this] { app::guarded([this] { modositClick(); }); });
    connect(keresBtn, &QPushButton::clicked, this, [this] { app::guarded([this] { keres(true); }); });
    connect(megsem, &QPushButton::clicked, this, &QDialog::reject);
    connect(grid_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int c) { app::guarded([this, c] { sortByColumn(c); }); });
    connect(tabs_, &QTabWidget::currentChanged, this,
            [this](int idx) { app::guarded([this, idx] { tabChanged(idx); }); });

    TQuery* q = Data->ZQ10;
    grid_->setQuery(q, kColumns);
    nav_->setQuery(q);
    lines_->setQuery(Data->ZQ20, kLineColumns);
    linesNav_->setQuery(Data->ZQ20);
    connect(q, &TQuery::currentChanged, this, [this] { updatePanel(); });
    connect(q, &TQuery::reset, this, [this] { updatePanel(); });
    app::guarded([this] { frissit(ticketlist::openingLabel()); });
    resize(1100, 680);
}

QPushButton* TForm8::button(const QString& objectName) const
{
    return findChild<QPushButton*>(objectName);
}

QString TForm8::panelText(const QString& column) const
{
    QLineEdit* e = panel_.value(column);
    return e ? e->text() : QString();
}

QString TForm8::producerText(const QString& column) const
{
    QLineEdit* e = producer_.value(column);
    return e ? e->text() : QString();
}

bool TForm8::hasCurrent() const
{
    TQuery* q = Data->ZQ10;
    return q->active() && !q->isEmpty() && q->recNo() >= 0;
}

void TForm8::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    // The list was read when the screen was made: once per opening.
    grid_->setFocus();
}

void TForm8::frissit(const QString& label)
{
    orderBy_ = "f_Bszam";
    ticketlist::requery(orderBy_);
    order_->setText(label);
}

void TForm8::updatePanel()
{
    TQuery* q = Data->ZQ10;
    for (auto it = panel_.begin(); it != panel_.end(); ++it) {
        const QString text = rowText(q, it.key().toLatin1().constData());
        if (it.value()->text() == text)
            continue; // a re-read that lands on the same ticket changes nothing
        it.value()->setText(text);
        it.value()->setCursorPosition(0);
    }
}

void TForm8::sortByColumn(int column)
{
    const QString field = grid_->queryModel()->fieldAt(column);
    for (const Sort& s : kSorts) {
        if (field == s.field) {
            orderBy_ = s.orderBy;
            ticketlist::requery(orderBy_, false); // from the first row
            Data->ZQ10->first();
            order_->setText(QString::fromUtf8(s.label));
            return;
        }
    }
}

void TForm8::keres(bool requery)
{
    TQuery* q = Data->ZQ10;
    // Typing re-reads nothing while the list is already in number order: every
    // operation of this program re-reads it when it finishes. The lookup of the
    // prefix reads a page at the ticket found; no match leaves the list as is.
    if (requery || orderBy_ != "f_Bszam" || !q->active() || !q->windowed()) {
        orderBy_ = "f_Bszam";
        ticketlist::requery(orderBy_);
    }
    q->locatePrefix("F_BSZAM", search_->text());
    order_->setText(ticketlist::byNumber().label);
}

void TForm8::tabChanged(int index)
{
    if (index == 0)
        return;
    const QString bszam = rowText(Data->ZQ10, "F_BSZAM");
    const QString kod = rowText(Data->ZQ10, "F_OSTERMKOD");
    TQuery* l = Data->ZQ20;
    l->close();
    l->clearSql();
    l->add("SELECT * FROM FjSor WHERE s_Bszam = :p0");
    l->setText("p0", bszam);
    l->open();
    TQuery* o = Data->ZQ30;
    o->close();
    o->clearSql();
    o->add("SELECT * FROM ostermelo WHERE o_kod = :p0");
    o->setText("p0", kod);
    o->open();
    for (auto it = producer_.begin(); it != producer_.end(); ++it) {
        if (it.key() == "CIM") {
            QStringList parts;
            for (const char* f : {"O_IRSZAM", "O_HELYSEGNEV", "O_UTCA"})
                parts << rowText(o, f).trimmed();
            it.value()->setText(o->isEmpty() ? QString() : parts.join(' '));
        } else {
            it.value()->setText(rowText(o, it.key().toLatin1().constData()));
        }
        it.value()->setCursorPosition(0);
    }
}

bool TForm8::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyRelease && o == search_)
        app::guarded([this] { keres(false); });
    if (o == modosit_ && e->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(e)->key() == ServiceKey) {
        app::guarded([this] { modositClick(true); });
        return true;
    }
    return QDialog::eventFilter(o, e);
}

namespace {
// Without a usable counter no number can be formed: say so and open nothing.
bool counterReady()
{
    const numbering::Next next = ticketlist::nextNumber(Data->ZQ50);
    if (next.ok())
        return true;
    const QString stored = Data->ZQ50->isEmpty() ? QString() : Data->ZQ50->asString("A_FJBSZAM");
    seams::ui().showMessage(numbering::refusal(next.problem, stored));
    return false;
}
} // namespace

void TForm8::ujClick()
{
    // The entry refuses by itself when the counter gives no number.
    TForm9 f(TForm9::Mode::New, this);
    if (!f.prepareNew())
        return;
    seams::ui().runModal(&f);
    // The entry re-reads the list itself when it saves; read it again only
    // when it does not stand on the current ticket in number order.
    TQuery* q = Data->ZQ10;
    const bool current = q->active() && q->window() && q->window()->keyField == "F_BSZAM" &&
                         !G.aktBszam.isEmpty() && !q->isEmpty() && q->asString("F_BSZAM") == G.aktBszam;
    if (current) {
        orderBy_ = "f_Bszam";
        order_->setText(ticketlist::openingLabel());
        return;
    }
    frissit(ticketlist::openingLabel());
}

void TForm8::modositClick(bool skipChecks)
{
    if (!hasCurrent())
        return;
    if (!skipChecks) {
        TQuery* q = Data->ZQ11;
        q->close();
        q->clearSql();
        q->add("SELECT f_bszam, f_prn, F_TIPUS FROM FjFej WHERE f_bszam = :p1");
        q->setText("p1", Data->ZQ10->asString("F_BSZAM"));
        q->open();
        if (q->isEmpty())
            return;
        if (q->asString("F_PRN") == "I") {
            seams::ui().confirm("A felvásárlási jegy már nyomtatva volt!");
            return;
        }
        if (q->asString("F_TIPUS") != "1") {
            seams::ui().confirm("Az érvénytelenített felvásárlási jegy nem módosítható!");
            return;
        }
    }
    TForm9 f(TForm9::Mode::Modify, this);
    if (!f.load())
        return;
    seams::ui().runModal(&f);
    frissit(ticketlist::openingLabel());
}

void TForm8::megtekintClick() { print(false); }
void TForm8::nyomtatClick() { print(true); }

void TForm8::print(bool printMode)
{
    if (!hasCurrent())
        return;
    rep::Report* r = printMode ? Data->frNyomtat.get() : Data->frMegtekint.get();
    try {
        if (ticketprint::print(printMode ? ticketprint::Mode::Print : ticketprint::Mode::View, *r))
            r->showPrepared();
    } catch (...) {
        // The mark may be stored already: let the list show it before the error.
        frissit(ticketlist::openingLabel());
        throw;
    }
    frissit(ticketlist::openingLabel());
}

void TForm8::ervenytelenitClick()
{
    if (!hasCurrent())
        return;
    TQuery* q = Data->ZQ10;
    const QString bszam = q->asString("F_BSZAM");
    const QString refusal =
        voiding::refusal(q->asString("F_PRN"), q->asString("F_ERVENYT"), q->asString("F_TIPUS"));
    if (!refusal.isEmpty()) {
        seams::ui().showMessage(refusal);
        button("Button5")->setFocus();
        return;
    }
    if (!counterReady())
        return;
    if (!seams::ui().askYesNo(voiding::question(bszam)))
        return;
    TForm39 f(bszam, q->asDate("F_KELT"), this);
    if (!f.prepare())
        return;
    seams::ui().runModal(&f);
    // The list stands on the new document after a voiding, on the current
    // ticket number otherwise.
    frissit(ticketlist::openingLabel());
}

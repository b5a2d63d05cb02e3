#include "Unit22.h"

#include "Unit2.h"
#include "Unit23.h"
#include "gui/dbwidgets.h"
#include "seams.h"
#include "values.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kTabTitles[] = {"FjFej", "FjSor", "Ostermelo", "Termek", "Sorszam", "Atvevo"};

TTable* tableObject(int i)
{
    TTable* all[] = {Data->IBTable1, Data->IBTable2, Data->IBTable3,
                     Data->IBTable4, Data->IBTable5, Data->IBTable6};
    return all[i];
}

QToolButton* barButton(QWidget* bar, const QString& name, const QString& text, const QString& label)
{
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(label);
    b->setAccessibleName(label);
    b->setFocusPolicy(Qt::NoFocus);
    bar->layout()->addWidget(b);
    return b;
}

} // namespace

TForm22::TForm22(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form22");
    setWindowTitle("Adatbázis");
    resize(900, 600);
    auto* lay = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    lay->addWidget(PageControl1, 1);

    const QStringList tables = rawedit::tables();
    for (int i = 0; i < 6; ++i) {
        Page p;
        p.table = tables[i];
        p.t = tableObject(i);
        p.page = new QWidget(PageControl1);
        p.page->setObjectName(QString("TabSheet%1").arg(i + 1));
        auto* v = new QVBoxLayout(p.page);
        auto* navRow = new QHBoxLayout;
        p.nav = new DBNavigator(p.page);
        p.nav->setObjectName(QString("DBNavigator%1").arg(i + 1));
        navRow->addWidget(p.nav);
        p.editBar = new QWidget(p.page);
        p.editBar->setObjectName(QString("EditBar%1").arg(i + 1));
        auto* bl = new QHBoxLayout(p.editBar);
        bl->setContentsMargins(0, 0, 0, 0);
        connect(barButton(p.editBar, "btInsert", "+", "Beszúrás"), &QToolButton::clicked, this,
                [this, i] { startInsert(i); });
        connect(barButton(p.editBar, "btDelete", "−", "Törlés"), &QToolButton::clicked, this,
                [this, i] { removeCurrent(i); });
        connect(barButton(p.editBar, "btEdit", "▲", "Szerkesztés"), &QToolButton::clicked, this,
                [this, i] { startEdit(i); });
        connect(barButton(p.editBar, "btPost", "✓", "Rögzítés"), &QToolButton::clicked, this,
                [this, i] { post(i); });
        connect(barButton(p.editBar, "btCancel", "✗", "Elvetés"), &QToolButton::clicked, this,
                [this, i] { cancel(i); });
        connect(barButton(p.editBar, "btRefresh", "↻", "Frissítés"), &QToolButton::clicked, this,
                [this, i] { refresh(i); });
        navRow->addWidget(p.editBar);
        navRow->addStretch();
        v->addLayout(navRow);
        p.grid = new DBGrid(p.page);
        p.grid->setObjectName(QString("DBGrid%1").arg(i + 1));
        p.grid->setAccessibleName(kTabTitles[i]);
        v->addWidget(p.grid, 1);
        p.editor = new QTableWidget(0, 2, p.page);
        p.editor->setObjectName(QString("RowEditor%1").arg(i + 1));
        p.editor->setAccessibleName("Sor szerkesztése");
        p.editor->setHorizontalHeaderLabels({"Mező", "Érték"});
        p.editor->verticalHeader()->hide();
        p.editor->horizontalHeader()->setStretchLastSection(true);
        p.editor->hide();
        v->addWidget(p.editor, 1);
        PageControl1->addTab(p.page, kTabTitles[i]);
        pages_.push_back(p);
    }
    // The grids are bound after the pages are stored: the lambdas look them up by index.
    for (int i = 0; i < 6; ++i) {
        Page& p = pages_[size_t(i)];
        if (i == 4)
            p.grid->setQuery(p.t, {{"ID_SORSZAM", "ID_SORSZAM"}, {"A_FJBSZAM", "A_FJBSZAM"},
                                   {"A_AKOD", "A_AKOD"}});
        else if (i < 5)
            p.grid->setQuery(p.t);
        if (i < 5)
            p.nav->setQuery(p.t);
        // Leaving an edited row posts it, as a grid of a database form does.
        connect(p.t, &TQuery::currentChanged, this, [this, i](int) { rowLeft(i); });
        connect(p.grid, &QAbstractItemView::doubleClicked, this, [this, i] { startEdit(i); });
    }

    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton("Szerkeszt", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton("Mégsem", this);
    BitBtn2->setObjectName("BitBtn2");
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    lay->addLayout(buttons);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm22::SzerkesztClick);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    BitBtn1->installEventFilter(this);
    BitBtn2->installEventFilter(this);
    applyAccess();
    pages_[0].grid->setFocus();
}

TForm22::~TForm22()
{
    restoreReadOnly();
}

void TForm22::SzerkesztClick()
{
    TPasswordDlg dlg(this);
    // Only a confirmed code counts: "Mégsem" leaves the tables as they are.
    const int r = seams::ui().runModal(&dlg);
    const QString code = r == QDialog::Accepted ? dlg.Password->text() : QString();
    dlg.Password->clear();
    applyCode(code);
}

void TForm22::applyCode(const QString& code)
{
    // A wrong code changes nothing and is not reported.
    access_ = rawedit::applyCode(access_, code);
    applyAccess();
}

void TForm22::applyAccess()
{
    const bool all = access_ == rawedit::Access::All;
    Page& buyers = pages_[5];
    if (all && !buyers.grid->query()) {
        buyers.grid->setQuery(buyers.t);
        buyers.nav->setQuery(buyers.t);
    }
    buyers.grid->setVisible(all);
    buyers.nav->setVisible(all);
    buyers.editBar->setVisible(all);
    for (Page& p : pages_) {
        const bool w = rawedit::writable(access_, p.table);
        p.editBar->setEnabled(w);
        if (!w && p.mode != Mode::None)
            closeEditor(p);
    }
}

bool TForm22::eventFilter(QObject* o, QEvent* e)
{
    if ((o == BitBtn1 || o == BitBtn2) && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->modifiers() == Qt::NoModifier || k->modifiers() == Qt::ShiftModifier) {
            if (k->text().compare(QString(QChar(rawedit::LetterKey)), Qt::CaseInsensitive) == 0) {
                applyCode(rawedit::FirstCode);
                return true;
            }
        }
    }
    return QDialog::eventFilter(o, e);
}

bool TForm22::editing(int tab) const
{
    return pages_[size_t(tab)].mode != Mode::None;
}

void TForm22::fillEditor(Page& p, bool fromRow)
{
    if (p.columns.isEmpty())
        p.columns = rawedit::writableColumns(&Data->ZCon1, p.table);
    p.original.clear();
    p.editor->setRowCount(int(p.columns.size()));
    for (int r = 0; r < p.columns.size(); ++r) {
        const QString& c = p.columns[r];
        const QString text = fromRow && p.t->hasField(c) ? val::asText(p.t->value(c)) : QString();
        p.original.insert(c, text);
        auto* name = new QTableWidgetItem(c);
        name->setFlags(Qt::ItemIsEnabled);
        p.editor->setItem(r, 0, name);
        p.editor->setItem(r, 1, new QTableWidgetItem(text));
    }
    p.editor->resizeColumnToContents(0);
    p.editor->show();
    p.editor->setCurrentCell(0, 1);
    p.editor->setFocus();
}

void TForm22::closeEditor(Page& p)
{
    p.mode = Mode::None;
    p.original.clear();
    p.editor->hide();
    p.editor->setRowCount(0);
}

bool TForm22::startEdit(int tab)
{
    Page& p = pages_[size_t(tab)];
    if (!rawedit::writable(access_, p.table) || p.mode != Mode::None || p.t->isEmpty() ||
        p.t->recNo() < 0)
        return false;
    p.id = p.t->asInteger(rawedit::idColumn(p.table));
    fillEditor(p, true);
    p.mode = Mode::Edit;
    return true;
}

bool TForm22::startInsert(int tab)
{
    Page& p = pages_[size_t(tab)];
    if (!rawedit::writable(access_, p.table))
        return false;
    if (p.mode != Mode::None && !post(tab))
        return false;
    fillEditor(p, false);
    p.mode = Mode::Insert;
    return true;
}

void TForm22::setEditorText(int tab, const QString& column, const QString& text)
{
    Page& p = pages_[size_t(tab)];
    const int r = int(p.columns.indexOf(column));
    if (r >= 0 && p.mode != Mode::None)
        p.editor->item(r, 1)->setText(text);
}

QString TForm22::editorText(int tab, const QString& column) const
{
    const Page& p = pages_[size_t(tab)];
    const int r = int(p.columns.indexOf(column));
    return r >= 0 && p.mode != Mode::None ? p.editor->item(r, 1)->text() : QString();
}

bool TForm22::post(int tab)
{
    Page& p = pages_[size_t(tab)];
    if (p.mode == Mode::None)
        return true;
    rawedit::Values changed;
    for (int r = 0; r < p.columns.size(); ++r) {
        const QString text = p.editor->item(r, 1)->text();
        if (p.mode == Mode::Insert ? !text.isEmpty() : text != p.original.value(p.columns[r]))
            changed.insert(p.columns[r], text);
    }
    qint64 id = p.id;
    const rec::Outcome o = p.mode == Mode::Edit
                               ? rawedit::update(&Data->ZCon1, access_, p.table, p.id, changed)
                               : rawedit::insert(&Data->ZCon1, access_, p.table, changed, &id);
    if (!o.ok()) {
        // The row stays in edit with what was typed.
        if (o.kind == rec::Outcome::StepFailed)
            seams::ui().showError(o.dbText);
        else
            seams::ui().showMessage(o.message);
        p.editor->setFocus();
        return false;
    }
    closeEditor(p);
    reopenAt(p, id);
    return true;
}

void TForm22::cancel(int tab)
{
    closeEditor(pages_[size_t(tab)]);
}

bool TForm22::removeCurrent(int tab)
{
    Page& p = pages_[size_t(tab)];
    if (!rawedit::writable(access_, p.table) || p.t->isEmpty() || p.t->recNo() < 0)
        return false;
    if (!seams::ui().askYesNo("Törli a sort?"))
        return false;
    closeEditor(p);
    const qint64 id = p.t->asInteger(rawedit::idColumn(p.table));
    const rec::Outcome o = rawedit::remove(&Data->ZCon1, access_, p.table, id);
    if (!o.ok()) {
        seams::ui().showError(o.kind == rec::Outcome::StepFailed ? o.dbText : o.message);
        return false;
    }
    reopenAt(p, id);
    return true;
}

void TForm22::refresh(int tab)
{
    Page& p = pages_[size_t(tab)];
    const qint64 id = p.t->isEmpty() || p.t->recNo() < 0 ? 0
                                                        : p.t->asInteger(rawedit::idColumn(p.table));
    reopenAt(p, id);
}

// Re-reads the table standing on the row (or the next one when it is gone).
void TForm22::reopenAt(Page& p, qint64 id)
{
    if (!p.t->window())
        return;
    const TQuery::Window w = *p.t->window();
    QScopedValueRollback<bool> guard(closing_, true);
    p.t->openWindow(w, id > 0 ? QString::number(id) : QString());
}

void TForm22::rowLeft(int tab)
{
    Page& p = pages_[size_t(tab)];
    if (closing_ || p.mode != Mode::Edit || p.t->recNo() < 0)
        return;
    if (p.t->asInteger(rawedit::idColumn(p.table)) != p.id)
        post(tab);
}

bool TForm22::restoreReadOnly()
{
    if (closing_)
        return false;
    closing_ = true;
    // Back to read-only: the five tables reopen as at start-up; the buyer
    // table keeps its state.
    for (int i = 0; i < 5; ++i)
        if (Data && Data->ZCon1.connected())
            pages_[size_t(i)].t->open();
    access_ = rawedit::Access::ReadOnly;
    return true;
}

void TForm22::done(int r)
{
    // Closing drops a row not posted, as closing a table in edit does.
    for (Page& p : pages_)
        closeEditor(p);
    restoreReadOnly();
    QDialog::done(r);
}

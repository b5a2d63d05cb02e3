#include "Unit22.h"

#include "Unit2.h"
#include "Unit23.h"
#include "gui/dbwidgets.h"
#include "seams.h"
#include "values.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QAbstractItemDelegate>
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

// What a page's grid may edit, and the texts typed into the row in edit.
struct TForm22::Cells : QueryModel::RowEdit {
    TForm22* f;
    int tab;
    Cells(TForm22* form, int t) : f(form), tab(t) {}
    TForm22::Page& page() const { return f->pages_[size_t(tab)]; }
    bool editable(int row, const QString& field) const override
    {
        const Page& p = page();
        if (!rawedit::writable(f->access_, p.table) || !p.columns.contains(field))
            return false;
        return p.mode == Mode::None || (p.mode == Mode::Edit && f->rowId(p, row) == p.id);
    }
    std::optional<QString> typed(int row, const QString& field) const override
    {
        const Page& p = page();
        if (p.mode != Mode::Edit || !p.typed.contains(field) || f->rowId(p, row) != p.id)
            return std::nullopt;
        return p.typed.value(field);
    }
    bool setTyped(int row, const QString& field, const QString& text) override
    {
        if (!editable(row, field))
            return false;
        Page& p = page();
        if (p.mode == Mode::None && !f->beginEdit(p, row))
            return false;
        p.typed.insert(field, text);
        f->showTyped(p);
        return true;
    }
};

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
        connect(p.editor, &QTableWidget::itemChanged, this, [this, i](QTableWidgetItem* it) {
            Page& pg = pages_[size_t(i)];
            if (filling_ || it->column() != 1 || pg.mode == Mode::None || it->row() >= pg.columns.size())
                return;
            pg.typed.insert(pg.columns[it->row()], it->text());
            pg.grid->viewport()->update();
        });
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
        cells_.push_back(std::make_unique<Cells>(this, i));
        p.grid->queryModel()->setRowEdit(cells_.back().get());
        p.grid->installEventFilter(this);
        // Enter in a cell posts the row, Esc cancels the row's edit; after the
        // cell editor has gone.
        connect(p.grid->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
                [this, i](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
                    // A cell left for another row is posted by leaving the row.
                    if (hint == QAbstractItemDelegate::SubmitModelCache)
                        QMetaObject::invokeMethod(this, [this, i] {
                            const Page& p = pages_[size_t(i)];
                            if (p.mode == Mode::Edit && rowId(p, p.t->recNo()) == p.id)
                                post(i);
                        }, Qt::QueuedConnection);
                    else if (hint == QAbstractItemDelegate::RevertModelCache)
                        QMetaObject::invokeMethod(this, [this, i] { cancel(i); }, Qt::QueuedConnection);
                });
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
        if (w && p.columns.isEmpty())
            p.columns = rawedit::writableColumns(&Data->ZCon1, p.table);
        p.grid->setEditTriggers(w ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                        QAbstractItemView::AnyKeyPressed
                                  : QAbstractItemView::NoEditTriggers);
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
    if (e->type() == QEvent::KeyPress) {
        for (int i = 0; i < int(pages_.size()); ++i) {
            Page& p = pages_[size_t(i)];
            if (o != p.grid || p.mode == Mode::None)
                continue;
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                post(i);
                return true;
            }
            if (key == Qt::Key_Escape) {
                cancel(i);
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

qint64 TForm22::rowId(const Page& p, int row) const
{
    const int idx = p.t->fieldIndex(rawedit::idColumn(p.table));
    if (idx < 0 || row < 0 || row >= p.t->rowsHeld())
        return 0;
    return p.t->valueAt(row, idx).toLongLong();
}

// The row goes into edit with its stored texts as the typed ones.
bool TForm22::beginEdit(Page& p, int row)
{
    if (p.columns.isEmpty())
        p.columns = rawedit::writableColumns(&Data->ZCon1, p.table);
    const qint64 id = rowId(p, row);
    if (id <= 0)
        return false;
    p.id = id;
    p.original.clear();
    for (const QString& c : p.columns) {
        const int idx = p.t->fieldIndex(c);
        p.original.insert(c, idx >= 0 ? val::asText(p.t->valueAt(row, idx)) : QString());
    }
    p.typed = p.original;
    p.mode = Mode::Edit;
    return true;
}

void TForm22::fillEditor(Page& p)
{
    QScopedValueRollback<bool> guard(filling_, true);
    p.editor->setRowCount(int(p.columns.size()));
    for (int r = 0; r < p.columns.size(); ++r) {
        const QString& c = p.columns[r];
        auto* name = new QTableWidgetItem(c);
        name->setFlags(Qt::ItemIsEnabled);
        p.editor->setItem(r, 0, name);
        p.editor->setItem(r, 1, new QTableWidgetItem(p.typed.value(c)));
    }
    p.editor->resizeColumnToContents(0);
    p.editor->show();
    p.editor->setCurrentCell(0, 1);
    p.editor->setFocus();
}

// The typed texts shown in the row editor (when open) and the grid.
void TForm22::showTyped(Page& p)
{
    if (p.editor->isVisible() || p.editor->rowCount() > 0) {
        QScopedValueRollback<bool> guard(filling_, true);
        for (int r = 0; r < p.columns.size() && r < p.editor->rowCount(); ++r)
            p.editor->item(r, 1)->setText(p.typed.value(p.columns[r]));
    }
    p.grid->viewport()->update();
}

void TForm22::closeEditor(Page& p)
{
    p.mode = Mode::None;
    p.original.clear();
    p.typed.clear();
    p.editor->hide();
    p.editor->setRowCount(0);
    p.grid->viewport()->update();
}

bool TForm22::startEdit(int tab)
{
    Page& p = pages_[size_t(tab)];
    if (!rawedit::writable(access_, p.table) || p.t->isEmpty() || p.t->recNo() < 0)
        return false;
    if (p.mode == Mode::Insert)
        return false;
    if (p.mode == Mode::None && !beginEdit(p, p.t->recNo()))
        return false;
    fillEditor(p);
    return true;
}

bool TForm22::startInsert(int tab)
{
    Page& p = pages_[size_t(tab)];
    if (!rawedit::writable(access_, p.table))
        return false;
    if (p.mode != Mode::None && !post(tab))
        return false;
    if (p.columns.isEmpty())
        p.columns = rawedit::writableColumns(&Data->ZCon1, p.table);
    p.original.clear();
    p.typed.clear();
    p.mode = Mode::Insert;
    fillEditor(p);
    return true;
}

void TForm22::setEditorText(int tab, const QString& column, const QString& text)
{
    Page& p = pages_[size_t(tab)];
    if (p.mode != Mode::None && p.columns.contains(column)) {
        p.typed.insert(column, text);
        showTyped(p);
    }
}

QString TForm22::editorText(int tab, const QString& column) const
{
    const Page& p = pages_[size_t(tab)];
    return p.mode != Mode::None ? p.typed.value(column) : QString();
}

bool TForm22::post(int tab)
{
    return postRow(tab, 0);
}

// Writes the row in edit; the grid then stands on `standOn` (0: the written row).
bool TForm22::postRow(int tab, qint64 standOn)
{
    Page& p = pages_[size_t(tab)];
    if (p.mode == Mode::None)
        return true;
    rawedit::Values changed;
    for (const QString& c : p.columns) {
        const QString text = p.typed.value(c);
        if (p.mode == Mode::Insert ? !text.isEmpty() : text != p.original.value(c))
            changed.insert(c, text);
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
        if (p.editor->isVisible())
            p.editor->setFocus();
        else
            p.grid->setFocus();
        return false;
    }
    closeEditor(p);
    reopenAt(p, standOn > 0 ? standOn : id);
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
    const qint64 now = p.t->asInteger(rawedit::idColumn(p.table));
    if (now == p.id)
        return;
    // A refused row keeps the cursor: back to it once this move is over.
    if (!postRow(tab, now))
        QMetaObject::invokeMethod(this, [this, tab] { backToEditedRow(tab); }, Qt::QueuedConnection);
}

void TForm22::backToEditedRow(int tab)
{
    Page& p = pages_[size_t(tab)];
    if (p.mode != Mode::Edit)
        return;
    for (int r = 0; r < p.t->rowsHeld(); ++r)
        if (rowId(p, r) == p.id) {
            QScopedValueRollback<bool> guard(closing_, true);
            p.t->moveTo(r);
            return;
        }
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

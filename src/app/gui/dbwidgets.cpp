#include "dbwidgets.h"

#include <QScopedValueRollback>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QToolButton>

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new QueryModel(this))
{
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    // Widths from the rows in view only: a long list is not measured whole.
    horizontalHeader()->setResizeContentsPrecision(0);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &DBGrid::scrolled);
    // Rows read or dropped above the view: the same rows stay in view.
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        if (first != 0 || model_->rowCount() == last + 1)
            return;
        updateGeometries();
        QScopedValueRollback<bool> guard(reading_, true);
        verticalScrollBar()->setValue(verticalScrollBar()->value() + last + 1);
    });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this](const QModelIndex&, int first, int last) {
        if (first != 0)
            return;
        updateGeometries();
        QScopedValueRollback<bool> guard(reading_, true);
        verticalScrollBar()->setValue(std::max(0, verticalScrollBar()->value() - (last + 1)));
    });    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur) {
                if (cur.isValid())
                    column_ = cur.column();
                if (syncing_ || !cur.isValid() || !query())
                    return;
                syncing_ = true;
                query()->moveTo(cur.row());
                syncing_ = false;
            });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        applyWidths();
        if (query())
            followQuery(query()->recNo());
    });
}

void DBGrid::setTitles(const QHash<QString, QString>& titles)
{
    model_->setTitles(titles);
    sized_ = false;
    applyWidths();
}

void DBGrid::setQuery(TQuery* q, const QList<GridColumn>& columns)
{
    if (query())
        disconnect(query(), &TQuery::currentChanged, this, nullptr);
    model_->setQuery(q, columns);
    if (q)
        connect(q, &TQuery::currentChanged, this, [this](int row) { followQuery(row); });
    applyWidths();
    if (q)
        followQuery(q->recNo());
}

// Every column at least as wide as its title and, once there are rows, as the
// values in view; the given width is the least. Measured once, so that a
// re-read (a search keystroke) does not make the columns jump.
void DBGrid::applyWidths()
{
    const auto& cols = model_->gridColumns();
    const bool withRows = model_->rowCount() > 0;
    if (sized_ && withRows)
        return;
    // One long value (a product's full name) must not push the columns after
    // it off the screen: content widens a column up to a limit, and the rest
    // is elided (the panel under a list shows the value whole).
    const int limit = std::max(320, fontMetrics().horizontalAdvance(QString(40, QLatin1Char('x'))));
    for (int i = 0; i < cols.size(); ++i) {
        int w = std::max(cols[i].width, horizontalHeader()->sectionSizeHint(i));
        if (withRows)
            w = std::max(w, std::min(sizeHintForColumn(i), std::max(limit, cols[i].width)));
        setColumnWidth(i, w);
    }
    sized_ = withRows;
}

int DBGrid::pageRows() const
{
    const int h = verticalHeader()->defaultSectionSize();
    return std::max(1, viewport()->height() / std::max(1, h));
}

// At the top of what is read, read the page before; the current row stays in view.
void DBGrid::scrolled(int value)
{
    if (reading_)
        return;
    QScopedValueRollback<bool> guard(reading_, true);
    if (value == verticalScrollBar()->minimum() && model_->canFetchBefore())
        model_->fetchBefore();
    keepCurrentInView();
}

void DBGrid::keepCurrentInView()
{
    if (!query() || !query()->windowed())
        return;
    const int top = rowAt(0);
    if (top < 0)
        return;
    int bottom = rowAt(viewport()->height() - 1);
    if (bottom < 0)
        bottom = model_->rowCount() - 1;
    const int cur = currentIndex().isValid() ? currentIndex().row() : -1;
    const int col = currentIndex().isValid() ? currentIndex().column() : column_;
    int want = cur < top ? top : cur > bottom ? bottom : cur;
    if (want != cur)
        selectionModel()->setCurrentIndex(model_->index(want, col),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Keys that leave what is read: read on first; Ctrl+Home and Ctrl+End go to
// the ends of the whole list.
QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    TQuery* q = query();
    if (q && q->windowed()) {
        const int row = currentIndex().isValid() ? currentIndex().row() : 0;
        const int col = currentIndex().isValid() ? currentIndex().column() : column_;
        const bool ctrl = modifiers & Qt::ControlModifier;
        if ((action == MoveHome && ctrl) || (action == MoveEnd && ctrl)) {
            if (action == MoveHome)
                q->first();
            else
                q->last();
            return model_->index(q->recNo(), col);
        }
        QScopedValueRollback<bool> guard(reading_, true);
        if ((action == MoveUp || action == MovePageUp) && row - pageRows() < 0 && model_->canFetchBefore())
            model_->fetchBefore();
        if ((action == MoveDown || action == MovePageDown) && row + pageRows() >= model_->rowCount() &&
            model_->canFetchMore({}))
            model_->fetchMore({});
    }
    return QTableView::moveCursor(action, modifiers);
}

void DBGrid::followQuery(int row)
{
    if (syncing_ || row < 0)
        return;
    syncing_ = true;
    int col = currentIndex().isValid() ? currentIndex().column() : column_;
    QModelIndex idx = model_->index(row, col);
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect |
                                               QItemSelectionModel::Rows);
    scrollTo(idx);
    syncing_ = false;
}

QString DBGrid::currentField() const
{
    QModelIndex idx = currentIndex();
    return idx.isValid() ? model_->fieldAt(idx.column()) : QString();
}

void DBGrid::setCurrentColumn(int column)
{
    int row = currentIndex().isValid() ? currentIndex().row() : 0;
    column_ = column;
    setCurrentIndex(model_->index(row, column));
}

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(2);
    auto make = [&](const char* name, const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        lay->addWidget(b);
        return b;
    };
    first_ = make("navFirst", "|◀", "Első");
    prior_ = make("navPrior", "◀", "Előző");
    next_ = make("navNext", "▶", "Következő");
    last_ = make("navLast", "▶|", "Utolsó");
    lay->addStretch();
    connect(first_, &QToolButton::clicked, this, [this] { if (q_) q_->first(); });
    connect(prior_, &QToolButton::clicked, this, [this] { if (q_) q_->prior(); });
    connect(next_, &QToolButton::clicked, this, [this] { if (q_) q_->next(); });
    connect(last_, &QToolButton::clicked, this, [this] { if (q_) q_->last(); });
    update();
}

void DBNavigator::setQuery(TQuery* q)
{
    if (q_)
        disconnect(q_, nullptr, this, nullptr);
    q_ = q;
    if (q_) {
        connect(q_, &TQuery::currentChanged, this, [this] { update(); });
        connect(q_, &TQuery::reset, this, [this] { update(); });
    }
    update();
}

void DBNavigator::update()
{
    const bool any = q_ && q_->recordCount() > 0;
    const int r = any ? q_->recNo() : -1;
    const int n = any ? q_->recordCount() : 0;
    // A window may have rows beyond what it holds.
    const bool back = any && (r > 0 || q_->canFetchBefore());
    const bool on = any && (r < n - 1 || q_->canFetchMore());
    first_->setEnabled(back);
    prior_->setEnabled(back);
    next_->setEnabled(on);
    last_->setEnabled(on);
}

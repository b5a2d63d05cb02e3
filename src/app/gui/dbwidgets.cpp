#include "dbwidgets.h"

#include <QHBoxLayout>
#include <QHeaderView>
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
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur) {
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

void DBGrid::applyWidths()
{
    const auto& cols = model_->gridColumns();
    for (int i = 0; i < cols.size(); ++i) {
        if (cols[i].width > 0)
            setColumnWidth(i, cols[i].width);
        else
            resizeColumnToContents(i);
    }
}

void DBGrid::followQuery(int row)
{
    if (syncing_ || row < 0)
        return;
    syncing_ = true;
    int col = currentIndex().isValid() ? currentIndex().column() : 0;
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
    bool any = q_ && q_->recordCount() > 0;
    int r = any ? q_->recNo() : -1;
    int n = any ? q_->recordCount() : 0;
    first_->setEnabled(any && r > 0);
    prior_->setEnabled(any && r > 0);
    next_->setEnabled(any && r < n - 1);
    last_->setEnabled(any && r < n - 1);
}

#include "QueryModel.h"

#include "values.h"

#include <QFont>

QueryModel::QueryModel(QObject* parent) : QAbstractTableModel(parent) {}

void QueryModel::setQuery(TQuery* q, const QList<GridColumn>& columns)
{
    if (q_)
        disconnect(q_, nullptr, this, nullptr);
    q_ = q;
    given_ = columns;
    if (q_) {
        connect(q_, &TQuery::reset, this, &QueryModel::refresh);
        connect(q_, &TQuery::rowsAboutToBeInserted, this,
                [this](int first, int count) { beginInsertRows({}, first, first + count - 1); });
        connect(q_, &TQuery::rowsInserted, this, [this] { endInsertRows(); });
        connect(q_, &TQuery::rowsAboutToBeRemoved, this,
                [this](int first, int count) { beginRemoveRows({}, first, first + count - 1); });
        connect(q_, &TQuery::rowsRemoved, this, [this] { endRemoveRows(); });
    }
    refresh();
}

void QueryModel::setTitles(QHash<QString, QString> titles)
{
    titles_ = std::move(titles);
    refresh();
}

void QueryModel::refresh()
{
    beginResetModel();
    cols_ = given_;
    if (cols_.isEmpty() && q_) {
        for (const QString& f : q_->fieldNames())
            cols_ << GridColumn{f, titles_.value(f, f), 0};
    }
    fieldIdx_.clear();
    for (const auto& c : cols_)
        fieldIdx_.push_back(q_ ? q_->fieldIndex(c.field) : -1);
    endResetModel();
}

QString QueryModel::fieldAt(int column) const
{
    return column >= 0 && column < cols_.size() ? cols_[column].field : QString();
}

int QueryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !q_ ? 0 : q_->rowsHeld();
}

bool QueryModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && q_ && q_->canFetchMore();
}

void QueryModel::fetchMore(const QModelIndex& parent)
{
    if (!parent.isValid() && q_)
        q_->fetchMore();
}

bool QueryModel::canFetchBefore() const { return q_ && q_->canFetchBefore(); }

int QueryModel::fetchBefore() { return q_ ? q_->fetchBefore() : 0; }

int QueryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(cols_.size());
}

QVariant QueryModel::data(const QModelIndex& index, int role) const
{
    if (!q_ || !index.isValid())
        return {};
    int idx = fieldIdx_[size_t(index.column())];
    if (idx < 0)
        return {};
    if (edit_ && (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::FontRole))
        if (auto t = edit_->typed(index.row(), cols_[index.column()].field)) {
            if (role != Qt::FontRole)
                return *t;
            // The row in edit, not yet written, stands out.
            QFont f;
            f.setItalic(true);
            return f;
        }
    QVariant v = q_->valueAt(index.row(), idx);
    if (edit_ && role == Qt::EditRole)
        return val::asText(v);
    if (role == Qt::DisplayRole)
        return cols_[index.column()].display ? cols_[index.column()].display(v) : val::asText(v);
    if (role == Qt::TextAlignmentRole) {
        int t = v.typeId();
        if (t == QMetaType::Double || t == QMetaType::LongLong || t == QMetaType::Int)
            return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags QueryModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (edit_ && index.isValid() && edit_->editable(index.row(), fieldAt(index.column())))
        f |= Qt::ItemIsEditable;
    return f;
}

bool QueryModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!edit_ || !index.isValid() || role != Qt::EditRole)
        return false;
    if (!edit_->setTyped(index.row(), fieldAt(index.column()), value.toString()))
        return false;
    emit dataChanged(index, index);
    return true;
}

void QueryModel::rowChanged(int row)
{
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

QVariant QueryModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return section < cols_.size() ? cols_[section].title : QVariant();
    return section + 1;
}

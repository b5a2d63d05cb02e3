#pragma once
// Lets a grid show any query: rows of the result, columns chosen by field name.
// A windowed query is shown as far as it has read; the view asks for more at
// the bottom through canFetchMore/fetchMore, at the top through fetchBefore.

#include "Query.h"

#include <QAbstractTableModel>
#include <QPointer>

struct GridColumn {
    QString field;
    QString title;
    int width = 0; // pixels; 0 lets the grid decide
};

class QueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QueryModel(QObject* parent = nullptr);
    // With no columns given, every field of the result is shown under its own name.
    void setQuery(TQuery* q, const QList<GridColumn>& columns = {});
    TQuery* query() const { return q_; }
    const QList<GridColumn>& gridColumns() const { return cols_; }
    QString fieldAt(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    bool canFetchBefore() const;
    int fetchBefore();

private:
    void refresh();
    QPointer<TQuery> q_;
    QList<GridColumn> cols_;
    QList<GridColumn> given_;
    std::vector<int> fieldIdx_;
};

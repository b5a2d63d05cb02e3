#pragma once
// Lets a grid show any query: rows of the result, columns chosen by field name.
// A windowed query is shown as far as it has read; the view asks for more at
// the bottom through canFetchMore/fetchMore, at the top through fetchBefore.

#include "Query.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <functional>
#include <optional>

struct GridColumn {
    QString field;
    QString title;
    int width = 0; // pixels; 0 lets the grid decide
    // The text shown for a value, when not the value's own.
    std::function<QString(const QVariant&)> display = {};
};

class QueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Cell edits of a grid that edits (the raw table view). Without one the
    // model is read-only, as every list grid is.
    class RowEdit {
    public:
        virtual ~RowEdit() = default;
        virtual bool editable(int row, const QString& field) const = 0;
        // The text typed into a cell of the row in edit, if any.
        virtual std::optional<QString> typed(int row, const QString& field) const = 0;
        virtual bool setTyped(int row, const QString& field, const QString& text) = 0;
    };

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
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    void setRowEdit(RowEdit* e) { edit_ = e; }
    // Titles by field for a query shown with its own columns (no list given):
    // a field not named here keeps its name.
    void setTitles(QHash<QString, QString> titles);
    // The row's cells are shown anew (typed texts came or went).
    void rowChanged(int row);
    bool canFetchBefore() const;
    int fetchBefore();

private:
    void refresh();
    QPointer<TQuery> q_;
    QList<GridColumn> cols_;
    QList<GridColumn> given_;
    QHash<QString, QString> titles_;
    std::vector<int> fieldIdx_;
    RowEdit* edit_ = nullptr;
};

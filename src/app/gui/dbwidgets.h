#pragma once
// Grid and record navigator bound to a query's current row. Over a windowed
// query the grid reads on at either edge as it is scrolled, and the current
// row follows the scrolling (it stays in view), so the window can drop what is
// far behind.

#include "QueryModel.h"

#include <QTableView>
#include <QWidget>

class QToolButton;

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    void setQuery(TQuery* q, const QList<GridColumn>& columns = {});
    TQuery* query() const { return model_->query(); }
    QueryModel* queryModel() const { return model_; }
    // Hungarian titles for the fields of a query shown with its own columns.
    void setTitles(const QHash<QString, QString>& titles);
    // Field of the column that holds the cell cursor ("" when none).
    QString currentField() const;
    void setCurrentColumn(int column);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void followQuery(int row);
    void applyWidths();
    void scrolled(int value);
    void keepCurrentInView();
    int pageRows() const;
    QueryModel* model_;
    // The marked column: a re-read (first, last, a new order) resets the
    // model, and the cell cursor comes back in the same column.
    int column_ = 0;
    bool syncing_ = false;
    bool sized_ = false;
    bool reading_ = false;
};

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit DBNavigator(QWidget* parent = nullptr);
    void setQuery(TQuery* q);

private:
    void update();
    TQuery* q_ = nullptr;
    QToolButton* first_;
    QToolButton* prior_;
    QToolButton* next_;
    QToolButton* last_;
};

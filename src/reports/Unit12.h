#pragma once
// "Tételes lista": every ticket line of a payment period in the chosen order,
// printed with "FjLista4.frf". The queries are in lists.

#include "reports/lists.h"

#include <QDialog>

class DBGrid;
class QDateEdit;
class QPushButton;
class QRadioButton;

class TForm12 : public QDialog {
    Q_OBJECT
public:
    explicit TForm12(QWidget* parent = nullptr);

    void collectClick(); // "Kigyüjtés"
    void printClick(); // "Nyomtatás"

    QDateEdit* tol() const { return tol_; }
    QDateEdit* ig() const { return ig_; }
    QRadioButton* orderButton(lists::ItemOrder o) const { return order_[int(o)]; }
    QPushButton* collectButton() const { return collect_; }
    QPushButton* printButton() const { return print_; }
    DBGrid* grid() const { return grid_; }
    QString total() const { return total_; }

private:
    lists::ItemOrder order() const;
    void inputChanged();

    QDateEdit* tol_;
    QDateEdit* ig_;
    QRadioButton* order_[5];
    DBGrid* grid_;
    QPushButton* collect_;
    QPushButton* print_;
    QString total_ = "0";
};

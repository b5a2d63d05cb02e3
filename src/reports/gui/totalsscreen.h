#pragma once
// What the cash list and the statistics screens share: a grid of totals, the
// "by product" box and the collect and print buttons.

#include <QDialog>

class DBGrid;
class QCheckBox;
class QPushButton;

class TotalsScreen : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    virtual void collectClick() = 0; // "Kigyüjtés"
    virtual void printClick() = 0; // "Nyomtatás"

    QCheckBox* byProduct() const { return byProduct_; }
    QPushButton* collectButton() const { return collect_; }
    QPushButton* printButton() const { return print_; }
    DBGrid* grid() const { return grid_; }

protected:
    QCheckBox* byProduct_ = nullptr;
    DBGrid* grid_ = nullptr;
    QPushButton* collect_ = nullptr;
    QPushButton* print_ = nullptr;
};

#pragma once
// "Statisztika": net quantity, average price, purchase value and purchase
// price per product, by month or all together; "FjLista12.frf" /
// "FjLista13.frf". The queries are in lists.

#include "reports/lists.h"

#include <QDialog>

class DBGrid;
class QCheckBox;
class QPushButton;

class TForm32 : public QDialog {
    Q_OBJECT
public:
    explicit TForm32(QWidget* parent = nullptr);

    void Button1Click(); // "Kigyüjtés"
    void Button2Click(); // "Nyomtatás"

    QCheckBox* byProduct() const { return byProduct_; }
    QPushButton* collectButton() const { return collect_; }
    QPushButton* printButton() const { return print_; }
    DBGrid* grid() const { return grid_; }
    lists::StatTotals totals() const { return totals_; }

private:
    QCheckBox* byProduct_;
    DBGrid* grid_;
    QPushButton* collect_;
    QPushButton* print_;
    lists::StatTotals totals_;
};

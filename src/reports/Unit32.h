#pragma once
// "Statisztika": net quantity, average price, purchase value and purchase
// price per product, by month or all together; "FjLista12.frf" /
// "FjLista13.frf". The queries are in lists.

#include "reports/gui/totalsscreen.h"
#include "reports/lists.h"

class TForm32 : public TotalsScreen {
    Q_OBJECT
public:
    explicit TForm32(QWidget* parent = nullptr);

    void collectClick() override;
    void printClick() override;

    lists::StatTotals totals() const { return totals_; }

private:
    lists::StatTotals totals_;
};

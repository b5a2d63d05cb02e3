#pragma once
// "Kp. napilista": what was paid out in cash on each payment day, optionally
// by product; "FjLista10.frf" / "FjLista11.frf". The queries are in lists.

#include "reports/gui/totalsscreen.h"

class TForm31 : public TotalsScreen {
    Q_OBJECT
public:
    explicit TForm31(QWidget* parent = nullptr);

    void collectClick() override;
    void printClick() override;
};

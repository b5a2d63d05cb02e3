#pragma once
// "Östermelönkénti lista": the period's lines grouped by producer, printed
// with "FjLista8.frf". The queries are in lists.

#include "reports/gui/grouplist.h"

class TForm19 : public GroupListScreen {
    Q_OBJECT
public:
    explicit TForm19(QWidget* parent = nullptr);

protected:
    QString collect(const lists::Period& p) override;
    bool print(const lists::Period& p, const QString& total) override;
};

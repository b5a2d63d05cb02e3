#pragma once
// "Termékenkénti lista": the period's lines grouped by product name, printed
// with "FjLista5.frf". The queries are in lists.

#include "reports/gui/grouplist.h"

class TForm13 : public GroupListScreen {
    Q_OBJECT
public:
    explicit TForm13(QWidget* parent = nullptr);

protected:
    QString collect(const lists::Period& p) override;
    bool print(const lists::Period& p, const QString& total) override;
};

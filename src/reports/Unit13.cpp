#include "Unit13.h"

#include "Unit2.h"
#include "context.h"

TForm13::TForm13(QWidget* parent) : GroupListScreen("Form13", "Termékenkénti lista", parent) {}

QString TForm13::collect(const lists::Period& p)
{
    return lists::collectPerProduct(app::currentContext(), Data->ZQ80, Data->ZQ20, Data->ZQ21, p);
}

bool TForm13::print(const lists::Period& p, const QString& total)
{
    return lists::printPerProduct(*Data->frNyomtat, app::currentContext(), Data->ZQ60, Data->ZQ20,
                                  Data->ZQ21, p, total);
}

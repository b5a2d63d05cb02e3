#include "Unit19.h"

#include "Unit2.h"
#include "context.h"

TForm19::TForm19(QWidget* parent) : GroupListScreen("Form19", "Östermelönkénti lista", parent) {}

QString TForm19::collect(const lists::Period& p)
{
    return lists::collectPerProducer(app::currentContext(), Data->ZQ80, Data->ZQ20, p);
}

bool TForm19::print(const lists::Period& p, const QString& total)
{
    return lists::printPerProducer(*Data->frNyomtat, app::currentContext(), Data->ZQ60, Data->ZQ20,
                                   Data->ZQ80, Data->ZQ21, p, total);
}

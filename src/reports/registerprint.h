#pragma once
// Printing the producer register ("FjLista2.frf") and the product catalogue
// ("FjLista6.frf"): the data the templates read, the buyer's street line, the
// template and the prepared pages. No widgets: the list screen calls one of
// these and shows the pages or, when it answers false, report.errorText().

#include <QDate>
#include <QString>

class TQuery;

namespace rep {
class Report;
}

namespace registerprint {

// What the templates read: the query objects the screen lends (they are left
// open on the printed rows) and the buyer.
struct Sources {
    TQuery* buyer = nullptr; // the buyer's row (the screens' ZQ60)
    TQuery* rows = nullptr;  // the producers (ZQ30) or the products (ZQ40)
    QString akod;
    QDate today;
};

// Every producer by name and birth date; landscape. False when the template
// cannot be read or prepared.
bool producers(rep::Report& report, const Sources& src);

// Every product by name; landscape.
bool products(rep::Report& report, const Sources& src);

// The names "save as PDF" offers: the list and the day it was printed.
QString producersFileName(const QDate& day);
QString productsFileName(const QDate& day);

} // namespace registerprint

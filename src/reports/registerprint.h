#pragma once
// Printing the producer register ("FjLista2.frf") and the product catalogue
// ("FjLista6.frf"): the data the templates read, the buyer's street line, the
// template and the prepared pages. No widgets: the list screen calls one of
// these and, when it answers true, shows the pages (report.showPrepared()).

#include <QDate>
#include <QString>

namespace rep {
class Report;
}

namespace registerprint {

// ZQ60 the current buyer with "v_atvevoutca" (the street line the ticket
// prints too), ZQ30 every producer by name and birth date; landscape.
// False, with the reason shown, when the template cannot be read or prepared.
bool producers(rep::Report& report);

// ZQ60 and "v_atvevoutca" as above, ZQ40 every product by name; landscape.
bool products(rep::Report& report);

// The names "save as PDF" offers: the list and the day it was printed.
QString producersFileName(const QDate& day);
QString productsFileName(const QDate& day);

} // namespace registerprint

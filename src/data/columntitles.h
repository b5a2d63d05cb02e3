#pragma once
// Hungarian column titles for the grids that show a query's own fields (the
// totals, the monthly breakdown, the 2008M sums, the audit documents, the data
// check, the producer import, the inventory hand-over), in the words the
// printed lists use. A field not named keeps its name.

#include <QHash>
#include <QString>

namespace columntitles {

const QHash<QString, QString>& all();

} // namespace columntitles

#pragma once
// The exports' walk over rows: one call a row, the chosen fields' values in
// order, whether the rows come from a query object or a forward cursor.

#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

class TQuery;
namespace fb {
class Cursor;
}

namespace rowwalk {

// Fills `values` (one per field) and answers true, or false after the last row.
using Next = std::function<bool(std::vector<QVariant>&)>;

// The rows of `q` from the first; a field the query lacks stays empty. A
// closed query has no rows.
Next overQuery(TQuery* q, const QStringList& fields);
// The rest of `cursor`'s rows; fields matched by name, case ignored. The
// cursor must outlive the walk.
Next overCursor(fb::Cursor& cursor, const QStringList& fields);

} // namespace rowwalk

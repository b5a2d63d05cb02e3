#pragma once
// New producer and product codes.

#include <QString>

class TQuery;
namespace fb {
class Connection;
}

namespace codes {

// One more than the greatest code of the open query's column read as a number,
// five digits wide. Text order would put "99" after "100" and hand out a code
// that exists; an empty register starts at "00001".
QString nextCode(TQuery* q, const QString& column);

// Inside a new record's unit of work: the code typed, unless a row of
// `table` has it by now. When the typed code is the one the entry offered
// (or no offer is known), another computer has saved it meanwhile and the
// next free code as stored now is taken; a code the user typed over the
// offer is refused with takenMessage, on `column`. The unique key on the
// column stops two computers saving the same code at once: the one that
// meets it is run again (insertCode) and takes the next.
QString take(fb::Connection* db, const QString& table, const QString& column, const QString& typed,
             const QString& offered = QString());
// Runs the INSERT of a new code; a duplicate key is another computer's save
// of the same moment, handled as a conflict so that the save runs again.
void insertCode(TQuery* q);
// The refusal of a changed code that another row has.
QString takenMessage(const QString& kod);

} // namespace codes

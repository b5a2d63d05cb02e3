#pragma once
// New producer and product codes.

#include <QString>

class TQuery;

namespace codes {

// One more than the greatest code of the open query's column read as a number,
// five digits wide. Text order would put "99" after "100" and hand out a code
// that exists; an empty register starts at "00001".
QString nextCode(TQuery* q, const QString& column);

} // namespace codes

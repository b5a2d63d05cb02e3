#include "codes.h"

#include "Query.h"

namespace codes {

QString nextCode(TQuery* q, const QString& column)
{
    qint64 greatest = 0;
    for (q->first(); !q->eof(); q->next()) {
        bool ok = false;
        qint64 n = q->asString(column).trimmed().toLongLong(&ok);
        if (ok && n > greatest)
            greatest = n;
    }
    return QString("%1").arg(greatest + 1, 5, 10, QChar('0'));
}

} // namespace codes

#include "codes.h"

#include "records.h"

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

QString take(fb::Connection* db, const QString& table, const QString& column, const QString& typed,
             const QString& offered)
{
    TQuery q(db, "codeTake");
    q.add(QString("SELECT count(*) AS db FROM %1 WHERE %2 = :p1").arg(table, column));
    q.setText("p1", typed);
    q.open();
    if (q.asInteger("db") == 0)
        return typed;
    if (!offered.isNull() && typed.trimmed() != offered.trimmed())
        throw rec::CheckError{takenMessage(typed), column};
    q.close();
    q.clearSql();
    q.add(QString("SELECT %1 FROM %2").arg(column, table));
    q.open();
    return nextCode(&q, column);
}

QString takenMessage(const QString& kod)
{
    return QString("A(z) %1 kód már foglalt!").arg(kod.trimmed());
}

void insertCode(TQuery* q)
{
    try {
        q->execSQL();
    } catch (const fb::Error& e) {
        if (e.isDuplicate())
            throw fb::Error::conflict(e.text());
        throw;
    }
}

} // namespace codes

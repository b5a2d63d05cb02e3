#include "rows.h"

#include "Query.h"

namespace rows {

rec::Outcome removeUnlessLast(const rec::Context& ctx, const QString& table,
                              const QString& idColumn, const QString& id,
                              const char* lastRefusal, const char* failMessage)
{
    TQuery q(ctx.db, "rowDelete");
    q.add("SELECT count(*) AS db FROM " + table);
    q.open();
    if (q.asInteger("db") < 2)
        return rec::Outcome::check(QString::fromUtf8(lastRefusal));
    return rec::unitOfWork(ctx.db, failMessage, [&] {
        rec::step(failMessage, [&] {
            q.close();
            q.clearSql();
            q.add("DELETE FROM " + table);
            q.add("  WHERE " + idColumn + " = :p1 ");
            q.setText("p1", id);
            q.execSQL();
            rec::expectRows(&q, 1);
        });
    });
}

} // namespace rows

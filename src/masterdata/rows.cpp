#include "rows.h"

#include "Query.h"

namespace rows {

rec::Outcome removeUnlessLast(const rec::Context& ctx, const QString& table,
                              const QString& idColumn, const QString& id,
                              const char* lastRefusal, const char* failMessage,
                              const std::function<void()>& guard)
{
    TQuery q(ctx.db, "rowDelete");
    return rec::unitOfWorkRetrying(ctx.db, failMessage, [&] {
        rec::step(failMessage, [&] {
            if (guard)
                guard();
            q.close();
            q.clearSql();
            // One other row is held as the survivor: another computer deleting
            // it (or holding it for its own delete) meets this one, and whoever
            // comes second counts again once the first has finished.
            q.add("SELECT FIRST 1 " + idColumn + " FROM " + table + " WHERE " + idColumn +
                  " <> :p1 ORDER BY " + idColumn + " WITH LOCK");
            q.setText("p1", id);
            q.open();
            if (q.isEmpty())
                throw rec::CheckError{QString::fromUtf8(lastRefusal), {}};
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

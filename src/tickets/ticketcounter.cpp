#include "ticketcounter.h"

#include "Query.h"
#include "numbering.h"

namespace counter {

namespace {
void sql(TQuery& q, const QString& text)
{
    q.close();
    q.clearSql();
    q.add(text);
}

qint64 ticketCount(const rec::Context& ctx)
{
    TQuery q(ctx.db, "counterTickets");
    sql(q, "SELECT f_akod, count(f_akod) AS sdb FROM Fjfej WHERE f_akod = :p1 GROUP BY f_akod");
    q.setText("p1", ctx.akod);
    q.open();
    return q.isEmpty() ? 0 : q.asInteger("sdb");
}
} // namespace

QString lockedMessage() { return "Már készült felvásárlási jegy! Nem módositható."; }

YearOpening yearOpening(const rec::Context& ctx)
{
    YearOpening y;
    y.locked = ticketCount(ctx) >= 1;
    // The current counter shows in both states: the locked screen is where a
    // user looks up which series the buyer is on.
    TQuery q(ctx.db, "counterRead");
    sql(q, "SELECT a_fjbszam FROM Sorszam WHERE a_akod = :p1");
    q.setText("p1", ctx.akod);
    q.open();
    y.current = q.isEmpty() ? QString() : q.asString("A_FJBSZAM");
    return y;
}

rec::Outcome storeYearOpening(const rec::Context& ctx, const QString& typed)
{
    const QString error = numbering::yearOpeningError(typed);
    if (!error.isEmpty())
        return rec::Outcome::check(error, "Edit2");
    TQuery q(ctx.db, "counterStore");
    sql(q, "SELECT a_akod, count(a_akod) AS db FROM sorszam WHERE a_akod = :p1 GROUP BY a_akod");
    q.setText("p1", ctx.akod);
    q.open();
    const qint64 rows = q.isEmpty() ? 0 : q.asInteger("db");
    const bool exists = rows > 0;
    const char* message = exists ? "Hiba381: Letároláskor az UPDATE Sorszam -ba "
                                 : "Hiba382: Letároláskor az INSERT Sorszam -ba ";
    // Committed at once: a counter left pending would be lost by the next
    // failed save anywhere, and the next new ticket would find no series.
    return rec::unitOfWorkRetrying(ctx.db, message, [&] {
        if (exists)
            rec::step(message, [&] {
                // Held first: a ticket save of another computer now either has
                // committed (and is counted below) or waits for this one.
                sql(q, "UPDATE Sorszam SET a_FjBszam = a_FjBszam WHERE a_akod = :p1");
                q.setText("p1", ctx.akod);
                q.execSQL();
            });
        // The screen hides "Letárol" once a ticket exists; the rule holds without it.
        if (ticketCount(ctx) >= 1)
            throw rec::CheckError{lockedMessage(), {}};
        rec::step(message, [&] {
            if (exists)
                sql(q, "UPDATE Sorszam SET a_FjBszam = :p1 WHERE a_akod = :p2");
            else
                sql(q, "INSERT INTO sorszam ( a_FjBszam, a_akod ) VALUES ( :p1, :p2 )");
            q.setText("p1", typed);
            q.setText("p2", ctx.akod);
            q.execSQL();
            // Every counter row of the buyer takes the new series.
            rec::expectRows(&q, exists ? rows : 1);
        });
    });
}

QString take(const rec::Context& ctx, TQuery* q)
{
    sql(*q, "SELECT a_fjbszam FROM Sorszam WHERE a_akod = :p1");
    q->setText("p1", ctx.akod);
    q->open();
    std::optional<QString> stored;
    if (!q->isEmpty() && !q->isNull("A_FJBSZAM"))
        stored = q->asString("A_FJBSZAM");
    const numbering::Next next = numbering::nextNumber(stored);
    // The screen refused before when the counter gave no number; one lost
    // since (deleted behind its back) fails the step, its reason in the log.
    if (!next.ok())
        throw fb::Error(numbering::refusal(next.problem, stored.value_or(QString())));
    // Guarded by the value read: if another computer took a number since, no
    // row matches and the save starts again with the counter as it is now.
    sql(*q, "UPDATE Sorszam SET a_FjBszam = :p1 WHERE a_akod = :p2 AND a_FjBszam = :p3");
    q->setText("p1", next.number);
    q->setText("p2", ctx.akod);
    q->setText("p3", *stored);
    q->execSQL();
    if (q->rowsAffected() == 0)
        throw fb::Error::conflict("A sorszámot közben egy másik gép használta fel.");
    rec::expectRows(q, 1);
    return next.number;
}

} // namespace counter

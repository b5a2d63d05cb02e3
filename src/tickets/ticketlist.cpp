#include "ticketlist.h"

#include "fb.h"

namespace ticketlist {

Order byNumber()
{
    return {"f_Bszam", "Felvásárlási jegy lista, \"Bizonylatszám\" szerint"};
}

QString openingLabel() { return "A lista, \"Bszám\" szerint"; }

namespace {

// Files made before the indexes of the list existed lack them; a PLAN naming
// a missing index would not even prepare.
bool hasListIndexes(fb::Connection* db)
{
    const fb::Result r = db->execute(
        "SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_NAME IN "
        "('IX_FJFEJ_AKOD_BSZAM', 'IX_FJFEJ_AKOD_BSZAM_D', 'IX_OSTERMELO_KOD')");
    return !r.rows.empty() && r.rows[0][0].toLongLong() == 3;
}

} // namespace

TQuery::Window window(const QString& orderBy, fb::Connection* db)
{
    const QString o = orderBy.toLower();
    // Number order walks the (f_akod, f_bszam) indexes, both ways. Named: with
    // the buyer code a parameter the engine would rather filter and sort.
    if (o == "f_bszam") {
        if (!db || !db->connected() || !hasListIndexes(db))
            return {{"f_akod"}, "f_bszam", "F_BSZAM", "ID_FJFEJ", {}, {}};
        return {{"f_akod"}, "f_bszam", "F_BSZAM", "ID_FJFEJ",
                "PLAN JOIN (FJFEJ ORDER IX_FJFEJ_AKOD_BSZAM, OSTERMELO INDEX (IX_OSTERMELO_KOD))",
                "PLAN JOIN (FJFEJ ORDER IX_FJFEJ_AKOD_BSZAM_D, OSTERMELO INDEX (IX_OSTERMELO_KOD))"};
    }
    if (o == "o_nev")
        return {{}, "o_nev COLLATE PXW_HUNDC", "O_NEV", "ID_FJFEJ", {}, {}};
    if (o == "f_ostermkod" || o == "f_kelt" || o == "f_prn")
        return {{}, o, o.toUpper(), "ID_FJFEJ", {}, {}};
    // The order is one of the list's fixed column orders, never typed text.
    throw fb::Error("Ismeretlen rendezés: " + orderBy);
}

void requery(TQuery* q, const QString& akod, const QString& current, const QString& orderBy,
             bool onCurrent)
{
    const TQuery::Window w = window(orderBy, q->connection());
    // No close first: opening replaces the rows with one reset of the views.
    q->clearSql();
    q->add("SELECT * FROM FjFej LEFT JOIN ostermelo ON FjFej.f_ostermkod = Ostermelo.o_kod");
    q->add("WHERE f_akod = :p1");
    q->setText("p1", akod);
    q->openWindow(w, onCurrent && w.keyField == "F_BSZAM" ? current : QString());
}

numbering::Next nextNumber(TQuery* q, const QString& akod)
{
    q->close();
    q->clearSql();
    q->add("SELECT * FROM Sorszam WHERE a_aKod = :p1");
    q->setText("p1", akod);
    q->open();
    std::optional<QString> stored;
    if (!q->isEmpty() && !q->isNull("A_FJBSZAM"))
        stored = q->asString("A_FJBSZAM");
    return numbering::nextNumber(stored);
}


} // namespace ticketlist

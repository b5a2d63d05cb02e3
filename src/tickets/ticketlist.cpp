#include "ticketlist.h"

#include "fb.h"

#include <QMap>

namespace ticketlist {

Order byNumber()
{
    return {"f_Bszam", "Felvásárlási jegy lista, \"Bizonylatszám\" szerint"};
}

QString openingLabel() { return "A lista, \"Bszám\" szerint"; }

namespace {

QString plan(const QString& index)
{
    return QString("PLAN JOIN (FJFEJ ORDER %1, OSTERMELO INDEX (IX_OSTERMELO_KOD))").arg(index);
}

} // namespace

TQuery::Window window(const QString& orderBy, fb::Connection* db)
{
    const QString o = orderBy.toLower();
    // Every order walks an index of (f_akod, key[, id]) both ways. Named: with
    // the buyer code a parameter the engine would rather filter and sort.
    if (o == "f_bszam") {
        const QString ix = "IX_FJFEJ_AKOD_BSZAM";
        if (!(db && db->hasIndexes({ix, ix + "_D", "IX_OSTERMELO_KOD"})))
            return {{"f_akod"}, "f_bszam", "F_BSZAM", "ID_FJFEJ", {}, {}};
        return {{"f_akod"}, "f_bszam", "F_BSZAM", "ID_FJFEJ", plan(ix), plan(ix + "_D")};
    }
    // The other keys repeat (half the tickets share a print mark): equal keys
    // in ticket id order. The name order reads the producer's name kept on
    // the ticket, which sorts as o_nev COLLATE PXW_HUNDC does.
    static const QMap<QString, QString> kIndexed = {
        {"o_nev", "RNEV"}, {"f_ostermkod", "OSTERMKOD"}, {"f_kelt", "KELT"}, {"f_prn", "PRN"}};
    if (kIndexed.contains(o)) {
        const QString ix = "IX_FJFEJ_AKOD_" + kIndexed[o];
        if (db && db->hasIndexes({ix, ix + "_D", "IX_OSTERMELO_KOD"})) {
            const QString key = "f_" + kIndexed[o].toLower();
            TQuery::Window w{{"f_akod"}, key, key.toUpper(), "ID_FJFEJ", plan(ix), plan(ix + "_D")};
            w.idOrdered = true;
            return w;
        }
    }
    // A register whose sort keys are not made yet: the engine sorts.
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

#include "upgrades.h"

namespace upgrades {

namespace {
rec::Outcome addColumn(fb::Connection* db, const char* column, const char* exists,
                       const char* ddl, const char* failed, const char* other)
{
    if (columnExists(db, "OSTERMELO", column))
        return rec::Outcome::check(QString::fromUtf8(exists));
    return rec::unitOfWork(db, other, [&] {
        rec::step(failed, [&] { db->executeImmediate(QString::fromUtf8(ddl)); });
    });
}
} // namespace

bool columnExists(fb::Connection* db, const QString& table, const QString& column)
{
    const fb::Result r = db->execute(
        "SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = ? AND RDB$FIELD_NAME = ?",
        {{fb::Param::Text, table.toUpper(), "RDB$RELATION_NAME"},
         {fb::Param::Text, column.toUpper(), "RDB$FIELD_NAME"}});
    return r.rows.at(0).at(0).toLongLong() > 0;
}

rec::Outcome addMnyptag(fb::Connection* db)
{
    return addColumn(db, "O_MNYPTAG", "Már létezik!", "ALTER TABLE ostermelo ADD o_mnyptag VARCHAR(1)",
                     "Hiba281: ALTER TABLE az östermelöben. ",
                     "Hiba282: TRANSACTION közben az östermelöben!");
}

rec::Outcome addFelir(fb::Connection* db)
{
    return addColumn(db, "O_FELIR", "Már létezik az östermelöben!",
                     "ALTER TABLE OSTERMELO ADD O_FELIR D_BLAP COLLATE PXW_HUNDC",
                     "Hiba371: ALTER TABLE OSTERMELO ADD O_FELIR az östermelöben! ",
                     "Hiba372: ALTER TABLE OSTERMELO ADD O_FELIR az östermelöben!");
}

rec::Outcome widenKamara(fb::Connection* db)
{
    return rec::unitOfWork(db, "Hiba422: Hossz: D_KAMARA az östermelöben!", [&] {
        rec::step("Hiba421: Hossz: D_KAMARA az östermelöben! ", [&] {
            db->executeImmediate("ALTER DOMAIN D_KAMARA TYPE VARCHAR(20) CHARACTER SET WIN1250");
        });
    });
}

rec::Outcome markSharedTaxIds(fb::Connection* db, int* changed)
{
    int n = 0;
    const rec::Outcome o = rec::unitOfWork(db, "Hiba362: az östermelök egyesítése közben!", [&] {
        rec::step("Hiba361: UPDATE az östermelöben ", [&] {
            // Only the keys are read: a register of any size walks in one pass.
            const fb::Result rows = db->execute(
                "SELECT ID_OSTERMELO, O_ADOAZON FROM ostermelo ORDER BY o_Adoazon, o_kod");
            QVariant previous;
            bool first = true;
            for (const auto& row : rows.rows) {
                if (!first && !row.at(1).isNull() && !previous.isNull() &&
                    row.at(1).toString() == previous.toString()) {
                    const fb::Result u = db->execute(
                        "UPDATE ostermelo SET o_szja = ? WHERE ID_ostermelo = ?",
                        {{fb::Param::Integer, 1, "O_SZJA"}, {fb::Param::Integer, row.at(0), "ID_OSTERMELO"}});
                    if (u.rowsAffected != 1)
                        throw fb::Error("A módosítás nem egy sort érintett.");
                    ++n;
                }
                previous = row.at(1);
                first = false;
            }
        });
    });
    if (changed)
        *changed = o.ok() ? n : 0;
    return o;
}

} // namespace upgrades

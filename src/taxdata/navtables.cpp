#include "navtables.h"

#include "applog.h"
#include "fb.h"

namespace navtables {

bool widen(fb::Connection* db)
{
    try {
        const fb::Result r = db->execute(
            "SELECT TRIM(rf.RDB$FIELD_NAME), f.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS rf "
            "JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
            "WHERE rf.RDB$RELATION_NAME = 'NAVFEJ' "
            "AND rf.RDB$FIELD_NAME IN ('ZA_ONSZAMLA', 'NE_SZLA_FORMA')");
        bool changed = false;
        for (const auto& row : r.rows) {
            if (row.at(1).toInt() >= 100)
                continue;
            // The table is emptied by every collection: nothing in it to keep.
            db->executeImmediate("ALTER TABLE NAVFEJ ALTER COLUMN " + row.at(0).toString() +
                                 " TYPE VARCHAR(100)");
            changed = true;
        }
        if (changed || db->inTransaction())
            db->commit();
        return true;
    } catch (const std::exception& e) {
        try {
            db->rollback();
        } catch (...) {
        }
        applog::write("NAVFEJ oszlopok bővítése: " + QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace navtables

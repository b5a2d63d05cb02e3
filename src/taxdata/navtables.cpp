#include "navtables.h"

#include "applog.h"
#include "fb.h"

namespace navtables {

bool widen(fb::Connection* db)
{
    try {
        // Checked and changed inside the engine: a start-up reads no rows for it.
        // The table is emptied by every collection: nothing in it to keep.
        db->executeImmediate(
            "EXECUTE BLOCK AS DECLARE n VARCHAR(63); BEGIN "
            "FOR SELECT TRIM(rf.RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS rf "
            "JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
            "WHERE rf.RDB$RELATION_NAME = 'NAVFEJ' "
            "AND rf.RDB$FIELD_NAME IN ('ZA_ONSZAMLA', 'NE_SZLA_FORMA') "
            "AND f.RDB$CHARACTER_LENGTH < 100 INTO :n DO "
            "EXECUTE STATEMENT 'ALTER TABLE NAVFEJ ALTER COLUMN ' || n || ' TYPE VARCHAR(100)'; "
            "END");
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

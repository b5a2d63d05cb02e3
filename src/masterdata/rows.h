#pragma once
// Deleting one row of a master data table from its list.

#include "records.h"

#include <functional>

namespace rows {

// Deletes the row with this ID unless it is the last of the table (the
// lists need one row): the refusal comes back as a failed check with an
// empty field, a failed DELETE (or one that found no row, deleted elsewhere
// meanwhile) as the failed step `failMessage`. Committed at once: left
// pending, a failed save in any other screen would roll it back silently.
// The count and `guard` (a check that throws rec::CheckError) run inside the
// delete's unit of work, on rows held against other computers' changes, so
// two computers deleting at once cannot both pass them.
rec::Outcome removeUnlessLast(const rec::Context& ctx, const QString& table,
                              const QString& idColumn, const QString& id,
                              const char* lastRefusal, const char* failMessage,
                              const std::function<void()>& guard = {});

} // namespace rows

#pragma once
// The audit data supply's work table holds the settings texts it writes; older
// databases had them narrower than the authority allows (100 characters).

namespace fb {
class Connection;
}

namespace navtables {

// Widens the settings columns of NAVFEJ where they are narrower, committed at
// once. Never throws: a failure is logged and the program goes on (the
// collection then reports its own error). Returns whether the columns are wide.
bool widen(fb::Connection* db);

} // namespace navtables

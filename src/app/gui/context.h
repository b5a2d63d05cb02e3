#pragma once
// The running program's context for the rules: the connection, the current
// buyer, the document type codes and today, as the buyer selection set them.
// Screens build it and hand it to the rules; the rules read no globals.

#include "records.h"

namespace app {

rec::Context currentContext();

} // namespace app

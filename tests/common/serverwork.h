#pragma once
// What the tests and the benchmark of several computers save on a server
// register: the first sample buyer's context on a day of March 2026, a
// ticket line and a ticket header of the first sample producer.

#include "records.h"
#include "tickets/ticketentry.h"

namespace serverwork {

rec::Context contextOn(fb::Connection* db);
// A line of product 00001 waiting under `key` (a ticket number or a new
// ticket's key): 60 Ft a kg, 12 % compensation surcharge.
ticketentry::Line line(const QString& key, const char* name, const char* qty);
// A header offering number `offered`, its lines waiting under `key`.
ticketentry::Header header(const QString& offered, const QString& key);

} // namespace serverwork

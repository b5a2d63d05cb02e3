#pragma once
// Producers from a ";"-separated file that a spreadsheet saved: one producer
// per line (a header line too), each inserted in its own unit of work, so a
// failed line is reported and skipped and the others stay imported.

#include "importlines.h"

#include <functional>

namespace csvimport {

extern const char* const InsertFailed; // "Hiba301: Újban, INSERT az östermelöben "

// The fields of a line, split at every ";" (quotes do not protect one), each
// without its leading and trailing blanks and control characters.
QStringList splitFields(const QString& line);

// One line read into the eighteen columns, or the field at fault and why.
using Parsed = imports::Parsed;
Parsed parseLine(const QString& line);

// Imports the lines; `progress` (may be empty) hears the index of each line
// before it is worked on, then `cancelled` may stop the import there
// (Result::cancelledAt); the lines before it stay imported.
imports::Result importLines(const rec::Context& ctx, const QString& fileName,
                            const std::vector<imports::Line>& lines,
                            const std::function<void(int)>& progress = {},
                            const std::function<bool()>& cancelled = {});

} // namespace csvimport

class TQuery;
namespace csvimport {
// Every producer, all columns, in the order they were stored.
void showAll(TQuery* q);
} // namespace csvimport

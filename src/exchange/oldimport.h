#pragma once
// Producers, products and buyers of the previous edition, from its three
// fixed-width files. Producers and products are added, each line in its own
// unit of work; the buyers are replaced as a whole.

#include "importlines.h"

#include <functional>

namespace oldimport {

enum class Kind { Producers, Products, Buyers };

QString fileName(Kind k);            // "exposterm.txt", "exptermek.txt", "expatvevo.txt"
QString doneMessage(Kind k);         // "A régi östermelö adatok átemelve", ...
const char* insertFailed(Kind k);    // "Hiba251: Újban, INSERT az östermelöben ", ...
const char* stopMessage(Kind k);     // "Hiba252!", "Hiba254!", "Hiba258!"
extern const char* const DeleteFailed; // "Hiba255: törlés az átvevőben "

// Characters from..to (1-based, inclusive) of the line; "" past its end.
QString pos(const QString& line, int from, int to);

using Parsed = imports::Parsed;
Parsed parseProducer(const QString& line);
Parsed parseProduct(const QString& line);
// `number`: the line's number in the file, the buyer's new code.
Parsed parseBuyer(const QString& line, int number);

// Imports the lines of one kind. Producers and products: each line its own
// unit of work. Buyers: the deletion of the old ones and the inserts are one
// unit of work, committed only when at least one buyer was read, so a file
// without a usable line never leaves the register without buyers.
// `cancelled`, asked before each line of producers and products, stops the
// import there (Result::cancelledAt); the buyers, one unit of work, go on.
imports::Result importLines(const rec::Context& ctx, Kind kind,
                            const std::vector<imports::Line>& lines,
                            const std::function<void(int)>& progress = {},
                            const std::function<bool()>& cancelled = {});

} // namespace oldimport

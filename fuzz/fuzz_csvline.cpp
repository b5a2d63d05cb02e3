// Any bytes as a ";" file: cut into lines, each line read as a producer.
#include "exchange/csvimport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Read as the screens read a file; a refused file still has its lines
    // parsed, so that the parsers meet every byte.
    const imports::Text text = imports::decodeFile(bytes);
    for (const imports::Line& l : text.refusal.isEmpty() ? text.lines : imports::splitLines(bytes)) {
        const csvimport::Parsed p = csvimport::parseLine(l.text);
        // A parsed line holds the eighteen columns, one value each.
        if (p.ok() && (p.row.columns.size() != 18 || p.row.values.size() != 18))
            __builtin_trap();
    }
    return 0;
}

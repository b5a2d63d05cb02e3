// Any bytes as a ";" file: cut into lines, each line read as a producer.
#include "exchange/csvimport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const imports::Line& l : imports::splitLines(bytes)) {
        const csvimport::Parsed p = csvimport::parseLine(l.text);
        // A parsed line holds the eighteen columns, one value each.
        if (p.ok() && (p.row.columns.size() != 18 || p.row.values.size() != 18))
            __builtin_trap();
    }
    return 0;
}

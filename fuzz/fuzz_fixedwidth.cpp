// Any bytes as the previous edition's three fixed-width files.
#include "exchange/oldimport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Read as the screens read a file; a refused file still has its lines
    // parsed, so that the parsers meet every byte.
    const imports::Text text = imports::decodeFile(bytes);
    for (const imports::Line& l : text.refusal.isEmpty() ? text.lines : imports::splitLines(bytes)) {
        const oldimport::Parsed a = oldimport::parseProducer(l.text);
        const oldimport::Parsed b = oldimport::parseProduct(l.text);
        const oldimport::Parsed c = oldimport::parseBuyer(l.text, l.number);
        for (const oldimport::Parsed* p : {&a, &b, &c})
            if (p->ok() && p->row.columns.size() != qsizetype(p->row.values.size()))
                __builtin_trap();
    }
    return 0;
}

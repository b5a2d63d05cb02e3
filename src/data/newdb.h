#pragma once
// Creates a database file of the register: the full schema and one sample
// buyer; optionally a few producers, products and a ticket counter to try with.

#include <QString>

namespace newdb {

struct Options {
    bool samples = false; // producers, products and a counter for the buyer
};

QString schemaSql();
// Throws fb::Error; refuses to overwrite an existing file.
void create(const QString& path, const Options& opt = {});

} // namespace newdb

#pragma once
// The product catalogue without widgets: the list statements, the new code,
// the deletion, and the checks and save of one product.

#include "records.h"

#include <QHash>
#include <QString>
#include <functional>

class TQuery;

namespace products {

// One product as typed: every field's text by its column name.
struct Product {
    QHash<QString, QString> fields;

    QString get(const QString& column) const { return fields.value(column); }
    void set(const QString& column, const QString& text) { fields[column] = text; }
};

enum class Mode { New, Modify };

// The orders of the list; each has its status line text.
enum class Order { Megnevezes, Kod, Id };
QString statusText(Order order);

// The list statement on q (the list screen's query object). The name sorts
// in Hungarian order.
void runList(TQuery* q, Order order = Order::Megnevezes);
// The catalogue print's statement: every product by name.
void runPrintList(TQuery* q);

// One more than the greatest numeric product code, five digits wide.
QString nextCode(fb::Connection* db);

// Asked before a fractional rate is stored rounded; true goes on with the save.
using Confirm = std::function<bool(const QString& question)>;

// The checks of "OK" in the program's order, with the question about a
// fractional rate (a "no" comes back as a failed check without a message,
// on the rate's field); Saved when all pass.
rec::Outcome check(const Product& p, const Confirm& confirm);

// The checks, then the INSERT (New) or the UPDATE by ID (Modify) as one unit
// of work. An UPDATE that finds no row (deleted meanwhile) is a failure.
// A new product whose offered code (`offered`, what the entry proposed)
// another computer has saved meanwhile takes the next free one; a typed code
// that another product has is refused, new or changed. `kod` receives the
// code saved.
rec::Outcome save(const rec::Context& ctx, const Product& p, Mode mode, const Confirm& confirm,
                  QString* kod = nullptr, const QString& offered = QString());

// "Töröl" on the product with this ID: the last product is refused (a failed
// check with an empty field), a failed statement is "Hiba61: ...". Committed at once.
rec::Outcome remove(const rec::Context& ctx, const QString& id);

} // namespace products

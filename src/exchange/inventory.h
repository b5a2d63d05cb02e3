#pragma once
// The inventory hand-over: the current buyer's ticket lines of a period of
// purchase dates as the document "fjegy_keszlethez" (one "Records" element per
// line, one element per column), and its copy to where the inventory program
// reads it. Both files are written under a temporary name and renamed, so the
// inventory program never reads half a file.

#include "fb.h"

#include <QDate>
#include <QVariant>
#include <functional>

class TQuery;

namespace inventory {

extern const char* const FileName; // "fjegy_keszlethez.xml"
extern const char* const Copied;   // "Átmásolva. Adatátadás végrehajtva."
extern const char* const Cancelled; // the user stopped the document

// The lines with their ticket and producer, ordered by purchase date, as a
// statement with "?" placeholders and their values, read a row at a time by
// the document below.
struct Statement {
    QString sql;
    std::vector<fb::Param> params;
};
// With the connection the statement names the indexes that read only the
// period (when the register has them).
Statement statement(const QDate& from, const QDate& to, const QString& akod, fb::Connection* db = nullptr);
// The same lines held whole in a query.
void runQuery(TQuery* q, const QDate& from, const QDate& to, const QString& akod);
// The same lines as a windowed list for a grid, by purchase date: the grid
// holds a window however long the period is. The rows carry ID_FJSOR besides.
void openWindow(TQuery* q, const QDate& from, const QDate& to, const QString& akod);
// How many lines the period has: the progress's range.
qint64 count(fb::Connection* db, const QDate& from, const QDate& to, const QString& akod);

// A value's text by its column's type: texts "null" when empty, numbers "0"
// unless above zero, dates as 03.15.2020 ("01.01.1900" for none).
QString valueText(const QVariant& v, const fb::Column& column);

// Writes the query's rows, read from the first, as the document to `path`.
// False with `error` (Hungarian) when it cannot be written; an earlier file
// at `path` stays then.
bool writeDocument(TQuery* q, const QString& path, QString* error,
                   const std::function<void(qint64)>& progress = {});

// The same, reading the statement's rows one at a time as they are written,
// so memory stays flat however many lines the period has. Throws fb::Error
// when the statement cannot run; an earlier file at `path` stays then, and
// likewise when `cancelled` (asked after each record) says stop: false with
// `error` = Cancelled.
bool writeDocument(fb::Connection* db, const Statement& s, const QString& path, QString* error,
                   const std::function<void(qint64)>& progress = {},
                   const std::function<bool()>& cancelled = {});

// Copies `source` to `target` through a temporary name in the target's
// folder. False with `error` when the source is missing, the folder does not
// exist or the copy fails; the earlier target stays then.
bool handOver(const QString& source, const QString& target, QString* error);

} // namespace inventory

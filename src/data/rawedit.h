#pragma once
// Direct edits of the main tables for the raw table view: which tables an
// access code opens, and single-row writes by the row's ID, each committed at
// once so that a later failed save elsewhere cannot take it back. No check of
// the ordinary screens applies; the database's own constraints still do.

#include "records.h"

#include <QMap>
#include <QString>
#include <QStringList>

namespace rawedit {

enum class Access { ReadOnly, Five, All };

inline constexpr const char* FirstCode = "581726340";  // the five tables without the buyers
inline constexpr const char* SecondCode = "qvx";       // all six
inline constexpr char LetterKey = 'J';                 // same as the first code, either case

// The access after a code is typed; any other text leaves it as it was.
// The first code never takes the buyer table away once it is open.
Access applyCode(Access now, const QString& code);
bool writable(Access a, const QString& table);

// Tables in the order of the view's tabs; the last is the buyer table.
QStringList tables();
QString idColumn(const QString& table);

// Stored columns a row edit may write: not computed, not the ID.
QStringList writableColumns(fb::Connection* db, const QString& table);

// Column texts as the grid shows them (decimal comma, yyyy.mm.dd dates);
// an empty text stores NULL. Only the columns given are written.
using Values = QMap<QString, QString>;

rec::Outcome update(fb::Connection* db, Access a, const QString& table, qint64 id, const Values& v);
rec::Outcome insert(fb::Connection* db, Access a, const QString& table, const Values& v,
                    qint64* newId = nullptr);
rec::Outcome remove(fb::Connection* db, Access a, const QString& table, qint64 id);

} // namespace rawedit

#pragma once
// The six tables written whole to text files, one line per row:
// :value:,:value:,...,:value:* and CR LF, Windows-1250, numbers with the
// decimal comma, dates as yyyy.mm.dd, NULL as an empty value. Rows are
// written as they are read; each file goes through a temporary name.

#include "fb.h"

#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

namespace tabletext {

struct Table {
    QString box;   // the check box's text
    QString file;  // "atvevo.txt", ...
    QString table; // "ATVEVO", ...
    QStringList columns;
};
const std::vector<Table>& tables();

// The text of one value as the program shows it.
QString valueText(const QVariant& v);
// One row's line without its CR LF.
QString line(const std::vector<QVariant>& values);

// A path typed the Windows way ("c:\\data\\", "C:\\holtu5\\x.xml") mapped onto
// this platform; any other text unchanged. A closing separator, or its
// absence, is kept.
QString localPath(const QString& text);

// Where a table's file goes: the folder field's text directly followed by the
// file name. A Windows folder ("c:\data\") is mapped onto this platform first.
QString target(const QString& folderField, const QString& file);

// A value with characters Windows-1250 cannot hold: they are written as "?".
struct Replaced {
    QString file;   // "ostermelo.txt"
    qint64 line = 0; // the row's line in the file, from 1
    QString id;     // the row's identifier (the first column's value)
    QString column; // "O_NEV"
    QString chars;  // the characters replaced, each once
};
// The lines of the end message that name them ("" when there are none): the
// first `shown`, then how many more.
QString describe(const std::vector<Replaced>& replaced, int shown = 15);

// Writes one table's file; returns the rows written. Throws
// std::runtime_error (Hungarian, with the file's name) when the file cannot
// be written; a file of that name written before stays then. When
// `cancelled` (asked after each row) says stop, nothing is written either
// and the result is -1. Values written with "?" are added to `replaced`.
qint64 exportTable(fb::Connection* db, const Table& t, const QString& folderField,
                   const std::function<void(qint64)>& progress = {},
                   const std::function<bool()>& cancelled = {},
                   std::vector<Replaced>* replaced = nullptr);
// The table's rows: the progress's range.
qint64 rowCount(fb::Connection* db, const Table& t);

} // namespace tabletext

#pragma once
// The two workbook exports: a period's ticket lines with their ticket and
// producer (FJFEJ.xls), and every producer (OSTERMELO.xls). The collection
// statements, the columns with their widths, alignments and kinds, and the
// writing of whatever a query holds, row by row, into an Excel 95 or an
// Excel 2007+ workbook.

#include "exchange/xlswriter.h"
#include "fb.h"

#include <QDate>
#include <functional>

class TQuery;

namespace excelexport {

enum class DateKind { Payment, Purchase }; // F_FIZKELT or F_FELVKELT
enum class Format { Xls, Xlsx };

// A collection as a statement with "?" placeholders and their values: what
// an export reads row by row, so that a year of lines never sits in memory.
struct Statement {
    QString sql;
    std::vector<fb::Param> params;
};
// With the connection the statement names the indexes that read only the
// period (when the register has them).
Statement ticketStatement(const QDate& from, const QDate& to, DateKind kind, const QString& akod,
                          fb::Connection* db = nullptr);
Statement producerStatement();
// How many rows the collection has: the progress's range.
Statement ticketCount(const QDate& from, const QDate& to, DateKind kind, const QString& akod);
Statement producerCount();
qint64 count(fb::Connection* db, const Statement& countStatement);

// The same collections held whole in a query, for a grid.
void collectTickets(TQuery* q, const QDate& from, const QDate& to, DateKind kind,
                    const QString& akod);
void collectProducers(TQuery* q);
// The same collections as windowed lists for a grid, in the exports' order:
// the grid holds a window of rows however long the period is. The rows carry
// their id (ID_FJSOR, ID_OSTERMELO) besides the exported columns.
void openTicketWindow(TQuery* q, const QDate& from, const QDate& to, DateKind kind,
                      const QString& akod);
void openProducerWindow(TQuery* q);

std::vector<xls::Column> ticketColumns();
std::vector<xls::Column> producerColumns();
constexpr int TicketBoldTo = 38;   // row 1 bold from A to AM
constexpr int ProducerBoldTo = 15; // from A to P

// "FJFEJ.xls", "OSTERMELO.xlsx", ...
QString fileName(const QString& table, Format f);

extern const char* const NotSaved;  // "A fájl mentése nem történt meg!"
extern const char* const Cancelled; // the user stopped it: nothing saved

struct Result {
    bool saved = false;
    QString error; // why not saved
    bool cancelled = false;
    qint64 rows = 0;
    int sheets = 0;
};

// Writes every row of q, read from the first, under the header row, and
// saves the workbook at `path` through a temporary name. `progress` hears the
// rows written so far.
Result write(TQuery* q, const QString& sheetName, const std::vector<xls::Column>& columns,
             int boldTo, Format f, const QString& path,
             const std::function<void(qint64)>& progress = {});
// The same, reading the statement's rows one at a time as they are written:
// memory stays flat however many rows there are. Throws fb::Error when the
// statement cannot run; nothing is saved then. `cancelled`, asked after each
// row, stops the export unsaved (Result::cancelled).
Result write(fb::Connection* db, const Statement& s, const QString& sheetName,
             const std::vector<xls::Column>& columns, int boldTo, Format f, const QString& path,
             const std::function<void(qint64)>& progress = {},
             const std::function<bool()>& cancelled = {});

// The completion box's text: the done message, and a note when the rows
// went on to further sheets.
QString doneText(const QString& doneMessage, const Result& r, const QString& sheetName);

} // namespace excelexport

namespace excelexport {
// Where the workbooks go: the user's documents folder (made when missing),
// else the home folder.
QString exportFolder();
} // namespace excelexport

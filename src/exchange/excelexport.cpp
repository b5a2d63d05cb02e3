#include "excelexport.h"

#include "Query.h"
#include "rowwalk.h"
#include "exchange/xlsxwriter.h"

namespace excelexport {

const char* const NotSaved = "A fájl mentése nem történt meg!";
const char* const Cancelled = "Az exportálás megszakítva, a fájl nem készült el.";

namespace {

const char* const TicketFields =
    "SELECT F_FIZKELT, F_FELVKELT, F_KELT, F_OSTERMKOD, O_NEV, S_BSZAM, S_MEGNEVEZES,\n"
    "  S_NETTO, S_MEGY, S_EAR, S_KOMPMERTEKE, F_SZJA, O_ADOAZON, O_ADOSZAM, O_TAJ,\n"
    "  O_IGSZAM, O_REGSZAM, O_CSGAZD, O_HELYSEGNEV, O_UTCA, O_BANKSZLA, F_MUVKTG";

QString ticketBody(DateKind kind)
{
    const QString date = kind == DateKind::Payment ? "F_FIZKELT" : "F_FELVKELT";
    return "\nFROM FJSOR\n"
           // The WHERE needs the ticket header, so an inner join gives the same
           // rows and lets the engine start from the dated headers.
           "  INNER JOIN FJFEJ ON S_BSZAM = F_BSZAM\n"
           "  LEFT JOIN OSTERMELO ON F_OSTERMKOD = O_KOD\n"
           "WHERE " + date + " >= :p1 AND " + date + " <= :p2 AND F_AKOD = :p3";
}

// The period's headers through their date index, then their lines: the
// engine would rather walk every line of the register in number order.
QString ticketPlan(fb::Connection* db, DateKind kind)
{
    const QString date = kind == DateKind::Payment ? "IX_FJFEJ_FIZKELT" : "IX_FJFEJ_FELVKELT";
    if (!db || !db->hasIndexes({date, "IX_FJSOR_BSZAM", "IX_OSTERMELO_KOD"}))
        return {};
    return QString("\nPLAN SORT (JOIN (JOIN (FJFEJ INDEX (%1), FJSOR INDEX (IX_FJSOR_BSZAM)), "
                   "OSTERMELO INDEX (IX_OSTERMELO_KOD)))")
        .arg(date);
}

// A ticket's lines in the order they were entered.
QString ticketSql(DateKind kind, fb::Connection* db)
{
    return TicketFields + ticketBody(kind) + ticketPlan(db, kind) + "\nORDER BY S_BSZAM, ID_FJSOR";
}

const char* const ProducerFields =
    "SELECT O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_SZULNEV, O_SZULHELY, O_SZIDO,\n"
    "  O_ANYJA, O_NEME, O_ADOAZON, O_ADOSZAM, O_TAJ, O_IGSZAM, O_REGSZAM, O_CSGAZD,\n"
    "  O_BANKSZLA";
const char* const ProducerBody = "\nFROM OSTERMELO";
const QString ProducerSql =
    QString(ProducerFields) + ProducerBody + "\nORDER BY O_NEV COLLATE PXW_HUNDC";

std::vector<fb::Param> ticketParams(const QDate& from, const QDate& to, DateKind kind,
                                    const QString& akod)
{
    const QString date = kind == DateKind::Payment ? "F_FIZKELT" : "F_FELVKELT";
    return {{fb::Param::Date, from, date},
            {fb::Param::Date, to, date},
            {fb::Param::Text, akod, "F_AKOD"}};
}

QString positional(QString sql) { return sql.replace(":p1", "?").replace(":p2", "?").replace(":p3", "?"); }

} // namespace

Statement ticketStatement(const QDate& from, const QDate& to, DateKind kind, const QString& akod,
                          fb::Connection* db)
{
    return {positional(ticketSql(kind, db)), ticketParams(from, to, kind, akod)};
}

Statement ticketCount(const QDate& from, const QDate& to, DateKind kind, const QString& akod)
{
    return {positional("SELECT COUNT(*)" + ticketBody(kind)), ticketParams(from, to, kind, akod)};
}

Statement producerStatement() { return {ProducerSql, {}}; }

Statement producerCount() { return {QString("SELECT COUNT(*)") + ProducerBody, {}}; }

qint64 count(fb::Connection* db, const Statement& s)
{
    const fb::Result r = db->execute(s.sql, s.params);
    return r.rows.empty() || r.rows[0].empty() ? 0 : r.rows[0][0].toLongLong();
}

void collectTickets(TQuery* q, const QDate& from, const QDate& to, DateKind kind,
                    const QString& akod)
{
    q->close();
    q->clearSql();
    q->setSql(ticketSql(kind, q->connection()));
    q->setDate("p1", from);
    q->setDate("p2", to);
    q->setText("p3", akod);
    q->open();
}

void collectProducers(TQuery* q)
{
    q->close();
    q->clearSql();
    q->setSql(ProducerSql);
    q->open();
}

void openTicketWindow(TQuery* q, const QDate& from, const QDate& to, DateKind kind,
                      const QString& akod)
{
    q->close();
    q->clearSql();
    q->setSql(TicketFields + QString(",\n  ID_FJSOR") + ticketBody(kind));
    q->setDate("p1", from);
    q->setDate("p2", to);
    q->setText("p3", akod);
    // A ticket's lines share its number: the line's id tells them apart.
    // The engine's own way: walking the lines by number keeps memory flat,
    // where sorting the period for every page would hold it all.
    q->openWindow({{}, "S_BSZAM", "S_BSZAM", "ID_FJSOR", {}, {}});
}

void openProducerWindow(TQuery* q)
{
    q->close();
    q->clearSql();
    q->setSql(ProducerFields + QString(",\n  ID_OSTERMELO") + ProducerBody);
    q->openWindow({{}, "O_NEV COLLATE PXW_HUNDC", "O_NEV", "ID_OSTERMELO", {}, {}});
}

std::vector<xls::Column> ticketColumns()
{
    using C = xls::Column;
    return {
        {"F_FIZKELT", 12, false, C::Date},     {"F_FELVKELT", 12, false, C::Date},
        {"F_KELT", 12, false, C::Date},        {"F_OSTERMKOD", 10, false, C::Text},
        {"O_NEV", 45, false, C::Text},         {"S_BSZAM", 15, false, C::Text},
        {"S_MEGNEVEZES", 45, false, C::Text},  {"S_NETTO", 15, true, C::Decimal},
        {"S_MEGY", 15, false, C::Text},        {"S_EAR", 15, true, C::Decimal},
        {"S_KOMPMERTEKE", 5, true, C::Decimal}, {"F_SZJA", 5, true, C::Whole},
        {"O_ADOAZON", 15, false, C::Text},     {"O_ADOSZAM", 17, false, C::Text},
        {"O_TAJ", 15, false, C::Text},         {"O_IGSZAM", 10, false, C::Text},
        {"O_REGSZAM", 15, false, C::Text},     {"O_CSGAZD", 12, false, C::Text},
        {"O_HELYSEGNEV", 45, false, C::Text},  {"O_UTCA", 45, false, C::Text},
        {"O_BANKSZLA", 30, false, C::Text},    {"F_MUVKTG", 15, false, C::Decimal},
    };
}

std::vector<xls::Column> producerColumns()
{
    using C = xls::Column;
    return {
        {"O_NEV", 45, false, C::Text},      {"O_IRSZAM", 4, false, C::Text},
        {"O_HELYSEGNEV", 45, false, C::Text}, {"O_UTCA", 45, false, C::Text},
        {"O_SZULNEV", 45, false, C::Text},  {"O_SZULHELY", 45, false, C::Text},
        {"O_SZIDO", 20, false, C::Date},    {"O_ANYJA", 45, false, C::Text},
        {"O_NEME", 3, false, C::Text},      {"O_ADOAZON", 15, false, C::Text},
        {"O_ADOSZAM", 15, false, C::Text},  {"O_TAJ", 15, false, C::Text},
        {"O_IGSZAM", 10, false, C::Text},   {"O_REGSZAM", 15, false, C::Text},
        {"O_CSGAZD", 12, false, C::Text},   {"O_BANKSZLA", 30, false, C::Text},
    };
}

QString fileName(const QString& table, Format f)
{
    return table + (f == Format::Xls ? ".xls" : ".xlsx");
}

namespace {

// Feeds the rows that `next` fills in, in order, to the workbook and saves it.
Result writeRows(const std::function<bool(std::vector<QVariant>&)>& next,
                 const QString& sheetName, const std::vector<xls::Column>& columns, int boldTo,
                 Format f, const QString& path, const std::function<void(qint64)>& progress,
                 const std::function<bool()>& cancelled = {})
{
    std::unique_ptr<xls::Writer> w;
    if (f == Format::Xls)
        w = std::make_unique<xls::Workbook>(sheetName, columns, boldTo);
    else
        w = xlsx::create(sheetName, columns, boldTo);
    Result r;
    std::vector<QVariant> values(columns.size());
    while (next(values)) {
        w->addRow(values);
        if (progress)
            progress(w->rows());
        if (cancelled && cancelled()) {
            // Never saved: the rows spooled so far go with the writer, and an
            // earlier file at `path` stays as it was.
            r.rows = w->rows();
            r.cancelled = true;
            r.error = QString::fromUtf8(Cancelled);
            return r;
        }
    }
    r.rows = w->rows();
    r.sheets = w->sheets();
    r.saved = w->save(path, &r.error);
    return r;
}

QStringList headers(const std::vector<xls::Column>& columns)
{
    QStringList out;
    for (const xls::Column& c : columns)
        out << c.header;
    return out;
}

} // namespace

Result write(TQuery* q, const QString& sheetName, const std::vector<xls::Column>& columns,
             int boldTo, Format f, const QString& path,
             const std::function<void(qint64)>& progress)
{
    // Columns the query lacks stay empty rather than stopping the export.
    return writeRows(rowwalk::overQuery(q, headers(columns)), sheetName, columns, boldTo, f, path,
                     progress);
}

Result write(fb::Connection* db, const Statement& s, const QString& sheetName,
             const std::vector<xls::Column>& columns, int boldTo, Format f, const QString& path,
             const std::function<void(qint64)>& progress, const std::function<bool()>& cancelled)
{
    // Opened before the workbook: a statement that cannot run leaves no file.
    fb::Cursor cursor(*db, s.sql, s.params);
    return writeRows(rowwalk::overCursor(cursor, headers(columns)), sheetName, columns, boldTo, f,
                     path, progress, cancelled);
}

QString doneText(const QString& doneMessage, const Result& r, const QString& sheetName)
{
    if (r.sheets <= 1)
        return doneMessage;
    return doneMessage +
           QString("\n%1 sor, %2 munkalapon (\"%3\", \"%3 (2)\", …): egy munkalapra legfeljebb "
                   "%4 sor fér.")
               .arg(r.rows)
               .arg(r.sheets)
               .arg(sheetName)
               .arg(xls::Workbook::RowsPerSheet - 1);
}

} // namespace excelexport

#include <QDir>
#include <QStandardPaths>

namespace excelexport {

QString exportFolder()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty() && QDir().mkpath(docs))
        return docs;
    return QDir::homePath();
}

} // namespace excelexport

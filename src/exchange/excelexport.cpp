#include "excelexport.h"

#include "Query.h"
#include "exchange/xlsxwriter.h"

namespace excelexport {

const char* const NotSaved = "A fájl mentése nem történt meg!";

void collectTickets(TQuery* q, const QDate& from, const QDate& to, DateKind kind,
                    const QString& akod)
{
    const QString date = kind == DateKind::Payment ? "F_FIZKELT" : "F_FELVKELT";
    q->close();
    q->clearSql();
    q->add("SELECT F_FIZKELT, F_FELVKELT, F_KELT, F_OSTERMKOD, O_NEV, S_BSZAM, S_MEGNEVEZES,");
    q->add("  S_NETTO, S_MEGY, S_EAR, S_KOMPMERTEKE, F_SZJA, O_ADOAZON, O_ADOSZAM, O_TAJ,");
    q->add("  O_IGSZAM, O_REGSZAM, O_CSGAZD, O_HELYSEGNEV, O_UTCA, O_BANKSZLA, F_MUVKTG");
    q->add("FROM FJSOR");
    // The WHERE needs the ticket header, so an inner join gives the same rows
    // and lets the engine start from the dated headers.
    q->add("  INNER JOIN FJFEJ ON S_BSZAM = F_BSZAM");
    q->add("  LEFT JOIN OSTERMELO ON F_OSTERMKOD = O_KOD");
    q->add("WHERE " + date + " >= :p1 AND " + date + " <= :p2 AND F_AKOD = :p3");
    q->add("ORDER BY S_BSZAM");
    q->setDate("p1", from);
    q->setDate("p2", to);
    q->setText("p3", akod);
    q->open();
}

void collectProducers(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_SZULNEV, O_SZULHELY, O_SZIDO,");
    q->add("  O_ANYJA, O_NEME, O_ADOAZON, O_ADOSZAM, O_TAJ, O_IGSZAM, O_REGSZAM, O_CSGAZD,");
    q->add("  O_BANKSZLA");
    q->add("FROM OSTERMELO");
    q->add("ORDER BY O_NEV COLLATE PXW_HUNDC");
    q->open();
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

Result write(TQuery* q, const QString& sheetName, const std::vector<xls::Column>& columns,
             int boldTo, Format f, const QString& path,
             const std::function<void(qint64)>& progress)
{
    std::unique_ptr<xls::Writer> w;
    if (f == Format::Xls)
        w = std::make_unique<xls::Workbook>(sheetName, columns, boldTo);
    else
        w = xlsx::create(sheetName, columns, boldTo);
    Result r;
    std::vector<QVariant> values(columns.size());
    // Columns the query lacks stay empty rather than stopping the export.
    std::vector<int> index;
    for (const xls::Column& c : columns)
        index.push_back(q->fieldIndex(c.header));
    if (q->active()) {
        for (q->first(); !q->eof(); q->next()) {
            for (size_t c = 0; c < columns.size(); ++c)
                values[c] = index[c] < 0 ? QVariant() : q->value(columns[c].header);
            w->addRow(values);
            if (progress)
                progress(w->rows());
        }
    }
    r.rows = w->rows();
    r.sheets = w->sheets();
    r.saved = w->save(path, &r.error);
    return r;
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

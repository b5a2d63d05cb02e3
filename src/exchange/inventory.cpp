#include "inventory.h"

#include "Query.h"
#include "rowwalk.h"
#include "safefile.h"
#include "values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>
#include <ibase.h>

namespace inventory {

const char* const FileName = "fjegy_keszlethez.xml";
const char* const Copied = "Átmásolva. Adatátadás végrehajtva.";
const char* const Cancelled = "A kigyűjtés megszakítva, a dokumentum nem készült el.";

namespace {

const char* const LinesFields =
    "SELECT F_FELVKELT, S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_BIZONYLAT, S_BRUTTO, S_MEGY,\n"
    "  S_EAR, S_FELVAR, S_VTSZ, O_KOD, O_NEV, O_HELYSEGNEV, O_UTCA, O_IRSZAM";
const char* const Joins =
    "\nFROM FJSOR\n"
    // Inner: the WHERE needs the header anyway, and the engine can start from it.
    "  INNER JOIN FJFEJ ON F_BSZAM = S_BSZAM\n"
    "  LEFT JOIN OSTERMELO ON O_KOD = F_OSTERMKOD\n"
    "  LEFT JOIN TERMEK ON T_KOD = S_TERMEKKOD\n";
// "+ 0" and "|| ''" keep the engine off the date and buyer indexes: a year's
// dates or one buyer cover nearly every row of a small register, and ANDing
// those indexes into each lookup of the join made a year's collection 35
// times slower than reading the headers once and their lines by number.
const char* const LinesBody =
    "WHERE F_FELVKELT + 0 BETWEEN :p1 AND :p2 AND S_AKOD || '' = :p3";
// On a large register a year is a tenth of it: the headers are read through
// their date index, bounded by the period, in date order, and that is named
// in a PLAN so that nothing else is ANDed in.
const char* const PlannedBody = "WHERE F_FELVKELT BETWEEN :p1 AND :p2 AND S_AKOD || '' = :p3";
const char* const PlanTail = ", FJSOR INDEX (IX_FJSOR_BSZAM)), OSTERMELO INDEX (IX_OSTERMELO_KOD)), "
                             "TERMEK INDEX (IX_TERMEK_KOD))";

bool planned(fb::Connection* db)
{
    return db && db->hasIndexes({"IX_FJFEJ_FELVKELT", "IX_FJSOR_BSZAM", "IX_OSTERMELO_KOD", "IX_TERMEK_KOD"});
}

// The lines of the period; `ordered`: in date order, walking the date index.
QString body(fb::Connection* db, bool ordered)
{
    if (!planned(db))
        return QString(Joins) + LinesBody;
    return QString(Joins) + PlannedBody + "\nPLAN JOIN (JOIN (JOIN (FJFEJ " +
           (ordered ? "ORDER IX_FJFEJ_FELVKELT" : "INDEX (IX_FJFEJ_FELVKELT)") + PlanTail;
}

QString linesSql(fb::Connection* db) { return LinesFields + body(db, true) + "\nORDER BY F_FELVKELT"; }

QString positional(QString sql) { return sql.replace(":p1", "?").replace(":p2", "?").replace(":p3", "?"); }

std::vector<fb::Param> params(const QDate& from, const QDate& to, const QString& akod)
{
    return {{fb::Param::Date, from, "F_FELVKELT"},
            {fb::Param::Date, to, "F_FELVKELT"},
            {fb::Param::Text, akod, "S_AKOD"}};
}

} // namespace

Statement statement(const QDate& from, const QDate& to, const QString& akod, fb::Connection* db)
{
    return {positional(linesSql(db)), params(from, to, akod)};
}

qint64 count(fb::Connection* db, const QDate& from, const QDate& to, const QString& akod)
{
    const fb::Result r = db->execute(positional("SELECT COUNT(*)" + body(db, false)),
                                     params(from, to, akod));
    return r.rows.empty() || r.rows[0].empty() ? 0 : r.rows[0][0].toLongLong();
}

void openWindow(TQuery* q, const QDate& from, const QDate& to, const QString& akod)
{
    q->close();
    q->clearSql();
    const bool plan = planned(q->connection());
    q->setSql(LinesFields + QString(",\n  ID_FJSOR") + Joins + (plan ? PlannedBody : LinesBody));
    q->setDate("p1", from);
    q->setDate("p2", to);
    q->setText("p3", akod);
    // Many lines share a date: the line's id tells them apart.
    TQuery::Window w{{}, "F_FELVKELT", "F_FELVKELT", "ID_FJSOR", {}, {}};
    if (plan) {
        // Forward along the date index from the period's start; backward
        // (no descending index) the period's rows before the edge sorted.
        w.planAfter = QString("PLAN JOIN (JOIN (JOIN (FJFEJ ORDER IX_FJFEJ_FELVKELT") + PlanTail;
        w.planBefore = QString("PLAN SORT (JOIN (JOIN (JOIN (FJFEJ INDEX (IX_FJFEJ_FELVKELT)") + PlanTail + ")";
    }
    q->openWindow(w);
}

void runQuery(TQuery* q, const QDate& from, const QDate& to, const QString& akod)
{
    q->close();
    q->clearSql();
    q->setSql(linesSql(q->connection()));
    q->setDate("p1", from);
    q->setDate("p2", to);
    q->setText("p3", akod);
    q->open();
}

namespace {

QString dateText(const QDate& d)
{
    return d.isValid() ? d.toString("MM.dd.yyyy") : QString("01.01.1900");
}
QString timeText(const QTime& t) { return t.isValid() ? t.toString("HH:mm:ss") : QString("00:00:00"); }

} // namespace

QString valueText(const QVariant& v, const fb::Column& c)
{
    const bool null = !v.isValid() || v.isNull();
    switch (c.type) {
    case SQL_TEXT:
    case SQL_VARYING:
    case SQL_BLOB: {
        const QString s = null ? QString() : v.toString();
        return s.isEmpty() ? QString("null") : s;
    }
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (c.scale < 0)
            break; // a decimal, below
        return (null || v.toLongLong() < 1) ? QString("0") : QString::number(v.toLongLong());
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        break;
    case SQL_BOOLEAN:
        return (!null && v.toBool()) ? QString("True") : QString("False");
    case SQL_TYPE_DATE:
        return dateText(null ? QDate() : v.toDate());
    case SQL_TYPE_TIME:
        return timeText(null ? QTime() : v.toTime());
    case SQL_TIMESTAMP: {
        const QDateTime dt = null ? QDateTime() : v.toDateTime();
        return dateText(dt.date()) + ' ' + timeText(dt.time());
    }
    default:
        return null ? QString("null") : v.toString();
    }
    const double d = null ? 0.0 : v.toDouble();
    return d > 0 ? val::fmtNumber(d) : QString("0");
}

namespace {

// Writes the records that `next` fills in, in order, as the document.
bool writeRecords(const std::vector<fb::Column>& cols,
                  const std::function<bool(std::vector<QVariant>&)>& next, const QString& path,
                  QString* error, const std::function<void(qint64)>& progress,
                  const std::function<bool()>& cancelled = {})
{
    safefile::Device out(path);
    if (!out.open()) {
        if (error)
            *error = QString("A fájl nem hozható létre: %1 (%2)").arg(path, out.writer().reasonText());
        return false;
    }
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement("fjegy_keszlethez");
    std::vector<QVariant> values(cols.size());
    qint64 n = 0;
    while (next(values)) {
        w.writeStartElement("Records");
        for (size_t c = 0; c < cols.size(); ++c)
            w.writeTextElement(cols[c].name, valueText(values[c], cols[c]));
        w.writeEndElement();
        if (progress)
            progress(++n);
        if (cancelled && cancelled()) {
            out.cancel(); // the temporary goes; an earlier document stays
            if (error)
                *error = QString::fromUtf8(Cancelled);
            return false;
        }
    }
    w.writeEndElement();
    w.writeEndDocument();
    if (w.hasError() || !out.commit()) {
        if (error)
            *error = QString("A fájl írása nem sikerült: %1 (%2)").arg(path, out.writer().reasonText());
        return false;
    }
    return true;
}

QStringList names(const std::vector<fb::Column>& cols)
{
    QStringList out;
    for (const fb::Column& c : cols)
        out << c.name;
    return out;
}

} // namespace

bool writeDocument(TQuery* q, const QString& path, QString* error,
                   const std::function<void(qint64)>& progress)
{
    const std::vector<fb::Column>& cols = q->columns();
    return writeRecords(cols, rowwalk::overQuery(q, names(cols)), path, error, progress);
}

bool writeDocument(fb::Connection* db, const Statement& s, const QString& path, QString* error,
                   const std::function<void(qint64)>& progress,
                   const std::function<bool()>& cancelled)
{
    // Opened before the file: a statement that cannot run leaves the earlier file.
    fb::Cursor cursor(*db, s.sql, s.params);
    const std::vector<fb::Column>& cols = cursor.columns();
    return writeRecords(cols, rowwalk::overCursor(cursor, names(cols)), path, error, progress,
                        cancelled);
}

bool handOver(const QString& source, const QString& target, QString* error)
{
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QString("Nincs mit átadni: %1 (%2)").arg(source, in.errorString()));
    const QFileInfo t(target);
    if (!t.dir().exists())
        return fail(QString("A könyvtár nem létezik: %1").arg(QDir::toNativeSeparators(t.path())));
    safefile::Writer out(target);
    if (!out.open())
        return fail(QString("Az adatátadás nem sikerült: %1 (%2)").arg(target, out.reasonText()));
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() || !out.write(chunk))
            return fail(QString("Az adatátadás nem sikerült: %1 (%2)")
                            .arg(target, out.error() ? out.reasonText() : in.errorString()));
    }
    if (!out.commit())
        return fail(QString("Az adatátadás nem sikerült: %1 (%2)").arg(target, out.reasonText()));
    return true;
}

} // namespace inventory

#include "inventory.h"

#include "Query.h"
#include "values.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>
#include <ibase.h>

namespace inventory {

const char* const FileName = "fjegy_keszlethez.xml";
const char* const Copied = "Átmásolva. Adatátadás végrehajtva.";

void runQuery(TQuery* q, const QDate& from, const QDate& to, const QString& akod)
{
    q->close();
    q->clearSql();
    q->add("SELECT F_FELVKELT, S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_BIZONYLAT, S_BRUTTO, S_MEGY,");
    q->add("  S_EAR, S_FELVAR, S_VTSZ, O_KOD, O_NEV, O_HELYSEGNEV, O_UTCA, O_IRSZAM");
    q->add("FROM FJSOR");
    // Inner: the WHERE needs the header anyway, and the engine can start from it.
    q->add("  INNER JOIN FJFEJ ON F_BSZAM = S_BSZAM");
    q->add("  LEFT JOIN OSTERMELO ON O_KOD = F_OSTERMKOD");
    q->add("  LEFT JOIN TERMEK ON T_KOD = S_TERMEKKOD");
    // "+ 0" and "|| ''" keep the engine off the date and buyer indexes: a
    // year's dates or one buyer cover nearly every row, and ANDing those
    // indexes into each lookup of the join made a year's collection 35 times
    // slower than reading the headers once and their lines by number.
    q->add("WHERE F_FELVKELT + 0 BETWEEN :p1 AND :p2 AND S_AKOD || '' = :p3");
    q->add("ORDER BY F_FELVKELT");
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

bool writeDocument(TQuery* q, const QString& path, QString* error,
                   const std::function<void(qint64)>& progress)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QString("A fájl nem hozható létre: %1 (%2)").arg(path, out.errorString());
        return false;
    }
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement("fjegy_keszlethez");
    const std::vector<fb::Column>& cols = q->columns();
    qint64 n = 0;
    for (q->first(); !q->eof(); q->next()) {
        w.writeStartElement("Records");
        for (const fb::Column& c : cols)
            w.writeTextElement(c.name, valueText(q->value(c.name), c));
        w.writeEndElement();
        if (progress)
            progress(++n);
    }
    w.writeEndElement();
    w.writeEndDocument();
    if (w.hasError() || !out.commit()) {
        if (error)
            *error = QString("A fájl írása nem sikerült: %1 (%2)").arg(path, out.errorString());
        return false;
    }
    return true;
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
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QString("Az adatátadás nem sikerült: %1 (%2)").arg(target, out.errorString()));
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            break;
        }
    }
    if (!out.commit())
        return fail(QString("Az adatátadás nem sikerült: %1 (%2)").arg(target, out.errorString()));
    return true;
}

} // namespace inventory

#include "importlines.h"

#include "Query.h"
#include "textfile.h"

#include <QHash>
#include <array>

namespace imports {
namespace {

// Each byte's character in Windows-1250; U+FFFD for the five bytes that are
// none (0x81, 0x83, 0x88, 0x90, 0x98).
const std::array<QChar, 256>& table()
{
    static const std::array<QChar, 256> t = [] {
        std::array<QChar, 256> a{};
        for (int b = 0; b < 256; ++b) {
            const QString s = textfile::fromWin1250(QByteArray(1, char(b)));
            a[b] = (s.size() == 1 && (s != "?" || b == '?')) ? s[0] : QChar(0xFFFD);
        }
        return a;
    }();
    return t;
}

} // namespace

QString decodeLine(const QByteArray& bytes)
{
    const auto& t = table();
    QString s;
    s.reserve(bytes.size());
    for (char c : bytes)
        s += t[static_cast<unsigned char>(c)];
    return s;
}

std::vector<Line> splitLines(const QByteArray& bytes)
{
    std::vector<Line> out;
    qsizetype start = 0;
    int number = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool last = end < 0;
        if (last)
            end = bytes.size();
        qsizetype len = end - start;
        if (len > 0 && bytes[start + len - 1] == '\r')
            --len;
        out.push_back({++number, decodeLine(bytes.mid(start, len))});
        start = end + 1;
    }
    return out;
}

QString trimmed(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b].unicode() <= 0x20)
        ++b;
    while (e > b && s[e - 1].unicode() <= 0x20)
        --e;
    return s.mid(b, e - b);
}

QString badCharacter(const QString& value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const ushort u = value[i].unicode();
        if (u == 0xFFFD)
            return QString("nem Windows-1250 karakter a(z) %1. helyen").arg(i + 1);
        if (u < 0x20 || u == 0x7F)
            return QString("vezérlő karakter (%1) a(z) %2. helyen")
                .arg(QString::asprintf("0x%02X", u))
                .arg(i + 1);
    }
    return {};
}

int textLength(const QString& column)
{
    static const QHash<QString, int> lengths = {
        {"O_KOD", 5},        {"O_NEV", 45},       {"O_IRSZAM", 4},    {"O_HELYSEGNEV", 45},
        {"O_UTCA", 45},      {"O_ADOAZON", 10},   {"O_IGSZAM", 8},    {"O_REGSZAM", 10},
        {"O_SZULHELY", 45},  {"O_ANYJA", 45},     {"O_CSGAZD", 8},    {"O_NEME", 1},
        {"O_SZULNEV", 45},   {"O_TAJ", 9},        {"O_ADOSZAM", 11},  {"O_BANKSZLA", 26},
        {"O_AKOD", 5},       {"T_KOD", 5},        {"T_MEGNEVEZES", 75}, {"T_VTSZ", 10},
        {"T_MEGY", 10},      {"T_AKOD", 5},       {"V_AKOD", 5},      {"V_NEVE", 75},
        {"V_HELYSEG", 45},   {"V_UTCA", 45},      {"V_IRSZAM", 8},    {"V_ADOSZAM", 11},
    };
    return lengths.value(column, 0);
}

QString valueProblem(const QString& column, const QString& value)
{
    const QString bad = badCharacter(value);
    if (!bad.isEmpty())
        return bad;
    const int max = textLength(column);
    // Blanks at the end are dropped by the database, so they do not count.
    QString kept = value;
    while (!kept.isEmpty() && kept.back() == ' ')
        kept.chop(1);
    if (max > 0 && kept.size() > max)
        return QString("túl hosszú: %1 karakter, legfeljebb %2 fér el").arg(kept.size()).arg(max);
    return {};
}

QString describe(const Failure& f)
{
    QString s = QString("%1 %2. sor").arg(f.file).arg(f.line);
    if (!f.field.isEmpty())
        s += ", " + f.field;
    s += ": " + f.reason;
    if (!f.message.isEmpty())
        s += " – " + trimmed(f.message);
    return s;
}

QString report(const QString& headline, const Result& r, int shown)
{
    QStringList out;
    out << headline;
    out << QString("Beolvasva: %1 sor, kihagyva: %2 sor.").arg(r.imported).arg(r.skipped());
    if (r.stopped && r.stopMessage != headline)
        out << r.stopMessage;
    if (r.cancelled())
        out << QString("Megszakítva a %1. sor előtt: addig %2 sor került be, a többi nem.")
                   .arg(r.cancelledAt)
                   .arg(r.imported);
    const int n = std::min<int>(shown, r.skipped());
    for (int i = 0; i < n; ++i)
        out << describe(r.failures[size_t(i)]);
    if (r.skipped() > n)
        out << QString("… és még %1 kihagyott sor.").arg(r.skipped() - n);
    return out.join('\n');
}

rec::Outcome insert(const rec::Context& ctx, const QString& table, const Row& row,
                    const char* stepMessage, const char* otherMessage)
{
    return rec::unitOfWork(ctx.db, otherMessage, [&] {
        rec::step(stepMessage, [&] {
            TQuery q(ctx.db, "importInsert");
            QStringList params;
            for (int i = 1; i <= row.columns.size(); ++i)
                params << QString(":p%1").arg(i);
            q.add("INSERT INTO " + table + " (" + row.columns.join(", ") + ")");
            q.add("  VALUES (" + params.join(", ") + ")");
            for (size_t i = 0; i < row.values.size(); ++i) {
                const QString p = QString("p%1").arg(i + 1);
                const QVariant& v = row.values[i];
                switch (v.typeId()) {
                case QMetaType::QString: q.setText(p, v.toString()); break;
                case QMetaType::QDate: q.setDate(p, v.toDate()); break;
                case QMetaType::LongLong: q.setInteger(p, v.toLongLong()); break;
                case QMetaType::Double: q.setFloat(p, v.toDouble()); break;
                default: q.setNull(p); break;
                }
            }
            q.execSQL();
            rec::expectRows(&q, 1);
        });
    });
}

} // namespace imports

#include <QFile>
#include <stdexcept>

namespace imports {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QString("A fájl nem olvasható: %1 (%2)").arg(path, f.errorString()).toStdString());
    return f.readAll();
}

} // namespace imports

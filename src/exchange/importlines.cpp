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

namespace {

template <typename Decode>
std::vector<Line> splitWith(const QByteArray& bytes, Decode decode)
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
        out.push_back({++number, decode(bytes.mid(start, len))});
        start = end + 1;
    }
    return out;
}

} // namespace

std::vector<Line> splitLines(const QByteArray& bytes) { return splitWith(bytes, decodeLine); }

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
    if (!r.encoding.isEmpty())
        out << QString("A fájl kódolása: %1.").arg(r.encoding);
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

void insertRow(fb::Connection* db, const QString& table, const Row& row)
{
    TQuery q(db, "importInsert");
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
}

rec::Outcome insert(const rec::Context& ctx, const QString& table, const Row& row,
                    const char* stepMessage, const char* otherMessage)
{
    return rec::unitOfWork(ctx.db, otherMessage,
                           [&] { rec::step(stepMessage, [&] { insertRow(ctx.db, table, row); }); });
}

Result insertLines(const rec::Context& ctx, const QString& file, const QString& table,
                   const std::vector<Line>& lines,
                   const std::function<Parsed(const QString&)>& parse,
                   const char* insertFailed, const char* stopMessage,
                   const std::function<void(int)>& progress,
                   const std::function<bool()>& cancelled)
{
    Result r;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (progress)
            progress(int(i));
        const Line& l = lines[i];
        if (cancelled && cancelled()) {
            r.cancelledAt = l.number;
            break;
        }
        if (trimmed(l.text).isEmpty()) {
            r.failures.push_back({file, l.number, {}, "üres sor", {}});
            continue;
        }
        const Parsed p = parse(l.text);
        if (!p.ok()) {
            r.failures.push_back({file, l.number, p.field, p.reason, insertFailed});
            continue;
        }
        const rec::Outcome o =
            insert(ctx, table, p.row, insertFailed, stopMessage ? stopMessage : insertFailed);
        if (o.ok()) {
            ++r.imported;
        } else if (stopMessage && o.message == QString::fromUtf8(stopMessage)) {
            r.stopped = true;
            r.stopMessage = o.message;
            break;
        } else {
            r.failures.push_back({file, l.number, {}, o.dbText, o.message});
        }
    }
    return r;
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

namespace imports {

namespace {

// The length of the well-formed UTF-8 sequence at `i` (overlong forms,
// surrogates and code points beyond U+10FFFF are not), 0 when there is none.
int utf8Sequence(const QByteArray& b, qsizetype i)
{
    const auto at = [&](qsizetype k) { return k < b.size() ? uchar(b[k]) : 0; };
    const uchar c = at(i);
    if (c < 0x80)
        return 1;
    auto cont = [&](qsizetype k, uchar lo = 0x80, uchar hi = 0xBF) {
        const uchar x = at(k);
        return x >= lo && x <= hi;
    };
    if (c >= 0xC2 && c <= 0xDF)
        return cont(i + 1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const uchar lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
        return cont(i + 1, lo, hi) && cont(i + 2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const uchar lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
        return cont(i + 1, lo, hi) && cont(i + 2) && cont(i + 3) ? 4 : 0;
    }
    return 0;
}

int lineOf(const QByteArray& b, qsizetype offset)
{
    return int(b.left(offset).count('\n')) + 1;
}

// The line as it is written, for the refusal; bytes that are no character
// shown as U+FFFD.
QString shownLine(const QByteArray& b, int line)
{
    const QList<QByteArray> lines = b.split('\n');
    QByteArray l = line - 1 < lines.size() ? lines[line - 1] : QByteArray();
    if (l.endsWith('\r'))
        l.chop(1);
    QString s = decodeLine(l);
    for (QChar& c : s)
        if (c.unicode() < 0x20)
            c = QChar(0xFFFD);
    if (s.size() > 80)
        s = s.left(80) + "…";
    return QString("%1. sor: „%2”").arg(line).arg(s);
}

Text refused(const QString& why) { return Text{{}, Encoding::Win1250, why}; }

constexpr const char* kResave =
    "Mentse a fájlt UTF-8 vagy Windows-1250 kódolású szövegként, és próbálja újra.";

} // namespace

QString encodingName(Encoding e)
{
    switch (e) {
    case Encoding::Utf8: return "UTF-8";
    case Encoding::Utf8Bom: return "UTF-8 (BOM)";
    case Encoding::Win1250: break;
    }
    return "Windows-1250";
}

Text decodeFile(const QByteArray& all)
{
    const bool bom = all.startsWith("\xEF\xBB\xBF");
    const QByteArray b = bom ? all.mid(3) : all;
    const qsizetype zero = b.indexOf('\0');
    if (zero >= 0)
        return refused(QString("a(z) %1. sorban 0 értékű bájt áll: ez nem szövegfájl (talán UTF-16 "
                               "kódolású). %2")
                           .arg(lineOf(b, zero))
                           .arg(kResave));
    // The first byte that breaks UTF-8, and the first character beyond ASCII
    // that UTF-8 makes of two or more bytes.
    qsizetype invalid = -1, multi = -1;
    for (qsizetype i = 0; i < b.size();) {
        const int n = utf8Sequence(b, i);
        if (n == 0) {
            invalid = i;
            break;
        }
        if (n > 1 && multi < 0)
            multi = i;
        i += n;
    }
    if (bom && invalid >= 0)
        return refused(QString("UTF-8 jelöléssel (BOM) kezdődik, de a(z) %1. sora nem UTF-8 szöveg. "
                               "%2\n%3")
                           .arg(lineOf(b, invalid))
                           .arg(kResave, shownLine(b, lineOf(b, invalid))));
    if (invalid < 0 && (bom || multi >= 0))
        return Text{splitWith(b, [](const QByteArray& l) { return QString::fromUtf8(l); }),
                    bom ? Encoding::Utf8Bom : Encoding::Utf8, {}};
    // Windows-1250 (or plain ASCII): every byte must be one of its characters,
    // and no line may be UTF-8 beside the others.
    if (multi >= 0)
        return refused(QString("vegyes kódolású: a(z) %1. sor UTF-8, a(z) %2. sor Windows-1250 "
                               "kódolású szöveg. %3\n%4")
                           .arg(lineOf(b, multi))
                           .arg(lineOf(b, invalid))
                           .arg(kResave, shownLine(b, lineOf(b, invalid))));
    const auto& t = table();
    for (qsizetype i = 0; i < b.size(); ++i)
        if (t[uchar(b[i])].unicode() == 0xFFFD) {
            const int line = lineOf(b, i);
            const qsizetype col = i - (b.lastIndexOf('\n', i) + 1) + 1;
            return refused(QString("a(z) %1. sor %2. bájtja (%3) sem UTF-8, sem Windows-1250 "
                                   "szövegben nem állhat. %4\n%5")
                               .arg(line)
                               .arg(col)
                               .arg(QString::asprintf("0x%02X", uchar(b[i])))
                               .arg(kResave, shownLine(b, line)));
        }
    return Text{splitLines(b), Encoding::Win1250, {}};
}

Text readText(const QString& path)
{
    Text t = decodeFile(readFile(path));
    if (!t.refusal.isEmpty())
        throw std::runtime_error(
            QString("A(z) %1 fájl nem olvasható be: %2").arg(path, t.refusal).toStdString());
    return t;
}

} // namespace imports

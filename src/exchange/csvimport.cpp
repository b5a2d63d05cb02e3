#include "csvimport.h"

#include "values.h"

namespace csvimport {

const char* const InsertFailed = "Hiba301: Újban, INSERT az östermelöben ";

namespace {

// Field number (1-based), column, and how many characters are kept (0: all).
struct Take {
    int field;
    const char* column;
    int keep;
};

// Every text field but the birth date and the TAJ number, which have rules of
// their own.
const Take kTexts[] = {
    {1, "O_KOD", 5},       {2, "O_NEV", 45},       {3, "O_IRSZAM", 4},
    {4, "O_HELYSEGNEV", 45}, {5, "O_UTCA", 45},    {6, "O_ADOAZON", 10},
    {7, "O_IGSZAM", 8},    {8, "O_REGSZAM", 10},
};
const Take kTexts2[] = {
    {10, "O_SZULHELY", 45}, {12, "O_ANYJA", 45}, {13, "O_CSGAZD", 8},
    {14, "O_NEME", 1},      {15, "O_SZULNEV", 45},
};

QString fieldName(int n, const char* column) { return QString("%1. mező (%2)").arg(n).arg(column); }

} // namespace

QStringList splitFields(const QString& line)
{
    QStringList f = line.split(';');
    for (QString& s : f)
        s = imports::trimmed(s);
    return f;
}

Parsed parseLine(const QString& line)
{
    Parsed p;
    const QStringList f = splitFields(line);
    auto field = [&](int n) { return n <= f.size() ? f[n - 1] : QString(); };
    auto fail = [&](int n, const char* column, const QString& why) {
        p.field = fieldName(n, column);
        p.reason = why;
        return p;
    };
    // A value with a control character or a byte of another code page is
    // refused whole, before anything is cut from it.
    for (int n = 1; n <= std::min<int>(int(f.size()), 18); ++n) {
        const QString bad = imports::badCharacter(field(n));
        if (!bad.isEmpty()) {
            p.field = QString("%1. mező").arg(n);
            p.reason = bad;
            return p;
        }
    }
    // A producer without a code or a name cannot be picked or printed.
    if (field(1).isEmpty())
        return fail(1, "O_KOD", "üres kód");
    if (field(2).isEmpty())
        return fail(2, "O_NEV", "üres név");

    auto text = [&](const Take& t) { p.row.add(t.column, field(t.field).left(t.keep)); };
    for (const Take& t : kTexts)
        text(t);
    p.row.add("O_SZJA", qint64(0));
    text(kTexts2[0]);

    const QString d = field(11);
    if (d.size() < 7) {
        p.row.add("O_SZIDO", QDate(1900, 1, 1));
    } else {
        const auto date = val::parseDate(d.left(10));
        if (!date)
            return fail(11, "O_SZIDO", "nem dátum (éééé.hh.nn): " + d.left(10));
        p.row.add("O_SZIDO", *date);
    }
    for (int i = 1; i < 5; ++i)
        text(kTexts2[i]);

    const QString taj = field(16);
    p.row.add("O_TAJ", taj.size() == 11 ? taj.mid(0, 3) + taj.mid(4, 3) + taj.mid(8, 3)
                                        : taj.left(9));
    // The whole field goes to these two; one too long for its column is
    // refused here so that the report can name it.
    for (auto [n, column] : {std::pair{17, "O_ADOSZAM"}, std::pair{18, "O_BANKSZLA"}}) {
        const QString why = imports::valueProblem(column, field(n));
        if (!why.isEmpty())
            return fail(n, column, why);
        p.row.add(column, field(n));
    }
    return p;
}

imports::Result importLines(const rec::Context& ctx, const QString& fileName,
                            const std::vector<imports::Line>& lines,
                            const std::function<void(int)>& progress,
                            const std::function<bool()>& cancelled)
{
    return imports::insertLines(ctx, fileName, "ostermelo", lines, parseLine, InsertFailed,
                                nullptr, progress, cancelled);
}

} // namespace csvimport

#include "Query.h"

namespace csvimport {

void showAll(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT * FROM ostermelo ORDER BY id_ostermelo");
    q->open();
}

} // namespace csvimport

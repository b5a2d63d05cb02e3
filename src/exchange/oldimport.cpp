#include "oldimport.h"

#include "Query.h"
#include "values.h"

#include <cmath>

namespace oldimport {

const char* const DeleteFailed = "Hiba255: törlés az átvevőben ";

QString fileName(Kind k)
{
    switch (k) {
    case Kind::Producers: return "exposterm.txt";
    case Kind::Products: return "exptermek.txt";
    case Kind::Buyers: break;
    }
    return "expatvevo.txt";
}

QString doneMessage(Kind k)
{
    switch (k) {
    case Kind::Producers: return "A régi östermelö adatok átemelve";
    case Kind::Products: return "A régi termék adatok átemelve";
    case Kind::Buyers: break;
    }
    return "A régi átvevö adatok átemelve";
}

const char* insertFailed(Kind k)
{
    switch (k) {
    case Kind::Producers: return "Hiba251: Újban, INSERT az östermelöben ";
    case Kind::Products: return "Hiba253: Újban, INSERT a termékben ";
    case Kind::Buyers: break;
    }
    return "Hiba257: Újban, INSERT az átvevöben ";
}

const char* stopMessage(Kind k)
{
    switch (k) {
    case Kind::Producers: return "Hiba252!";
    case Kind::Products: return "Hiba254!";
    case Kind::Buyers: break;
    }
    return "Hiba258!";
}

QString pos(const QString& line, int from, int to)
{
    if (from > line.size())
        return {};
    return line.mid(from - 1, to - from + 1);
}

namespace {

struct Field {
    int from, to;
    const char* column;
};

Parsed failed(Parsed p, const QString& field, const QString& why)
{
    p.field = field;
    p.reason = why;
    return p;
}

// Adds the trimmed texts; the first one with a bad character or too long for
// its column fails the line.
bool addTexts(Parsed& p, const QString& line, std::initializer_list<Field> fields)
{
    for (const Field& f : fields) {
        const QString v = imports::trimmed(pos(line, f.from, f.to));
        const QString why = imports::valueProblem(f.column, v);
        if (!why.isEmpty()) {
            p = failed(p, f.column, why);
            return false;
        }
        p.row.add(f.column, v);
    }
    return true;
}

// "1" and positions 2-6 as they stand: the previous edition's code under the
// new edition's prefix.
bool addCode(Parsed& p, const QString& line, const char* column)
{
    const QString raw = pos(line, 2, 6);
    if (imports::trimmed(raw).isEmpty()) {
        p = failed(p, column, "üres kód");
        return false;
    }
    const QString code = "1" + raw;
    const QString why = imports::valueProblem(column, code);
    if (!why.isEmpty()) {
        p = failed(p, column, why + " (\"" + code + "\")");
        return false;
    }
    p.row.add(column, code);
    return true;
}

bool nameGiven(Parsed& p, const char* column)
{
    const int i = int(p.row.columns.indexOf(column));
    if (i >= 0 && !p.row.values[size_t(i)].toString().isEmpty())
        return true;
    p = failed(p, column, "üres név");
    return false;
}

} // namespace

Parsed parseProducer(const QString& line)
{
    Parsed p;
    if (!addCode(p, line, "O_KOD"))
        return p;
    if (!addTexts(p, line,
                  {{7, 51, "O_NEV"}, {53, 56, "O_IRSZAM"}, {58, 102, "O_HELYSEGNEV"},
                   {104, 148, "O_UTCA"}, {150, 159, "O_ADOAZON"}, {161, 168, "O_IGSZAM"},
                   {170, 179, "O_REGSZAM"}}) ||
        !nameGiven(p, "O_NEV"))
        return p;
    p.row.add("O_SZJA", qint64(0));
    if (!addTexts(p, line, {{183, 227, "O_SZULHELY"}}))
        return p;
    // A birth date only where the old file holds one in yyyy.mm.dd.
    if (pos(line, 233, 233) == ".") {
        const QString d = imports::trimmed(pos(line, 229, 238));
        const auto date = val::parseDate(d);
        if (!date)
            return failed(p, "O_SZIDO", "nem dátum (éééé.hh.nn): " + d);
        p.row.add("O_SZIDO", *date);
    } else {
        p.row.add("O_SZIDO", QVariant());
    }
    if (!addTexts(p, line, {{240, 284, "O_ANYJA"}}))
        return p;
    p.row.add("O_MUVKTG", 0.0);
    if (!addTexts(p, line, {{288, 295, "O_CSGAZD"}}))
        return p;
    const QString neme = pos(line, 297, 297);
    const QString why = imports::valueProblem("O_NEME", neme);
    if (!why.isEmpty())
        return failed(p, "O_NEME", why);
    p.row.add("O_NEME", neme);
    if (!addTexts(p, line,
                  {{299, 343, "O_SZULNEV"}, {345, 353, "O_TAJ"}, {355, 365, "O_ADOSZAM"},
                   {367, 392, "O_BANKSZLA"}}))
        return p;
    p.row.add("O_AKOD", QString("1"));
    return p;
}

Parsed parseProduct(const QString& line)
{
    Parsed p;
    if (!addCode(p, line, "T_KOD") ||
        !addTexts(p, line, {{7, 81, "T_MEGNEVEZES"}, {83, 92, "T_VTSZ"}}) ||
        !nameGiven(p, "T_MEGNEVEZES"))
        return p;
    // Numbers with the decimal comma; an empty one stores no value.
    const QString ear = imports::trimmed(pos(line, 94, 108));
    if (ear.isEmpty()) {
        p.row.add("T_EAR", QVariant());
    } else {
        const auto v = val::parseNumber(ear);
        if (!v)
            return failed(p, "T_EAR", "nem szám (tizedesvesszővel, csoportosítás nélkül): " + ear);
        p.row.add("T_EAR", *v);
    }
    if (!addTexts(p, line, {{110, 119, "T_MEGY"}}))
        return p;
    const QString komp = imports::trimmed(pos(line, 121, 123));
    if (komp.isEmpty()) {
        p.row.add("T_KOMPMERTEKE", QVariant());
    } else {
        const auto v = val::parseNumber(komp);
        if (!v || *v != std::floor(*v))
            return failed(p, "T_KOMPMERTEKE", "nem egész szám: " + komp);
        p.row.add("T_KOMPMERTEKE", qint64(*v));
    }
    p.row.add("T_AKOD", QString("1"));
    return p;
}

Parsed parseBuyer(const QString& line, int number)
{
    Parsed p;
    p.row.add("V_AKOD", QString::number(number));
    if (!addTexts(p, line,
                  {{1, 45, "V_NEVE"}, {47, 91, "V_HELYSEG"}, {93, 137, "V_UTCA"},
                   {139, 142, "V_IRSZAM"}, {144, 154, "V_ADOSZAM"}}))
        return p;
    nameGiven(p, "V_NEVE");
    return p;
}

namespace {

struct NothingToImport {};

imports::Result replaceBuyers(const rec::Context& ctx, const std::vector<imports::Line>& lines,
                              const std::function<void(int)>& progress)
{
    const QString file = fileName(Kind::Buyers);
    imports::Result r;
    std::vector<std::pair<int, imports::Row>> rows;
    for (size_t i = 0; i < lines.size(); ++i) {
        const imports::Line& l = lines[i];
        if (imports::trimmed(l.text).isEmpty()) {
            r.failures.push_back({file, l.number, {}, "üres sor", {}});
            continue;
        }
        const Parsed p = parseBuyer(l.text, l.number);
        if (p.ok())
            rows.emplace_back(l.number, p.row);
        else
            r.failures.push_back({file, l.number, p.field, p.reason, insertFailed(Kind::Buyers)});
    }
    if (rows.empty()) {
        r.stopped = true;
        r.stopMessage = "Egy átvevő sem került be: a meglévők megmaradtak.";
        return r;
    }
    std::vector<imports::Failure> refused;
    rec::Outcome o;
    try {
    o = rec::unitOfWork(ctx.db, stopMessage(Kind::Buyers), [&] {
        rec::step(DeleteFailed, [&] {
            TQuery q(ctx.db, "buyersDelete");
            q.add("DELETE FROM atvevo ");
            q.execSQL();
        });
        int done = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (progress)
                progress(int(i));
            const imports::Row& row = rows[i].second;
            // A refused line leaves the transaction usable: the statement alone is undone.
            try {
                imports::insertRow(ctx.db, "atvevo", row);
                ++done;
            } catch (const std::exception& e) {
                refused.push_back({file, rows[i].first, {}, QString::fromUtf8(e.what()),
                                   insertFailed(Kind::Buyers)});
            }
        }
        if (done == 0)
            throw NothingToImport{};
        r.imported = done;
    });
    } catch (const NothingToImport&) {
        // Every line refused: the deletion is undone with them.
        r.failures.insert(r.failures.end(), refused.begin(), refused.end());
        r.stopped = true;
        r.stopMessage = "Egy átvevő sem került be: a meglévők megmaradtak.";
        return r;
    }
    r.failures.insert(r.failures.end(), refused.begin(), refused.end());
    if (!o.ok()) {
        r.imported = 0;
        r.stopped = true;
        r.stopMessage = o.message;
    }
    return r;
}

} // namespace

imports::Result importLines(const rec::Context& ctx, Kind kind,
                            const std::vector<imports::Line>& lines,
                            const std::function<void(int)>& progress,
                            const std::function<bool()>& cancelled)
{
    if (kind == Kind::Buyers)
        return replaceBuyers(ctx, lines, progress);
    const auto parse = kind == Kind::Producers ? parseProducer : parseProduct;
    return imports::insertLines(ctx, fileName(kind), kind == Kind::Producers ? "ostermelo" : "termek",
                                lines, parse, insertFailed(kind), stopMessage(kind), progress,
                                cancelled);
}

} // namespace oldimport

#include "rawedit.h"

#include "Query.h"
#include "values.h"

#include <cmath>

namespace rawedit {

namespace {

const QStringList kTables = {"FJFEJ", "FJSOR", "OSTERMELO", "TERMEK", "SORSZAM", "ATVEVO"};

bool known(const QString& table)
{
    return kTables.contains(table);
}

// The table's columns with their types, read from an empty result.
std::vector<fb::Column> columnsOf(fb::Connection* db, const QString& table)
{
    TQuery q(db, "rawColumns");
    q.setSql("select * from " + table + " where 1 = 0");
    q.open();
    return q.columns();
}

// Binds one typed text as the column's type; a text the column cannot take
// is refused with a message naming the column.
void bindText(TQuery& q, const QString& param, const fb::Column& c, const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        q.setNull(param);
        return;
    }
    switch (c.type) {
    case 448: // text
    case 452:
        q.setText(param, text);
        return;
    case 500: // smallint, integer, bigint (numeric when scaled)
    case 496:
    case 580:
    case 480: // double
    case 482: // float
    {
        const auto n = val::parseNumber(t);
        if (!n)
            throw rec::StepError{"Hibás szám: " + c.name, {}};
        if (c.scale == 0 && (c.type == 500 || c.type == 496 || c.type == 580)) {
            if (*n != std::floor(*n))
                throw rec::StepError{"Egész számot kérek: " + c.name, {}};
            q.setInteger(param, qint64(*n));
        } else {
            q.setFloat(param, *n);
        }
        return;
    }
    case 570: // date
    case 510: // timestamp, date part only
    {
        const auto d = val::parseDate(t);
        if (!d)
            throw rec::StepError{"Hibás dátum: " + c.name, {}};
        q.setDate(param, *d);
        return;
    }
    default:
        q.setText(param, text);
    }
}

const fb::Column* find(const std::vector<fb::Column>& cols, const QString& name)
{
    for (const auto& c : cols)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

// Refusals before anything is written: a table the access does not open, a
// column that is not there or cannot be written.
std::optional<rec::Outcome> refuse(fb::Connection* db, Access a, const QString& table,
                                   const Values& v)
{
    if (!known(table) || !writable(a, table))
        return rec::Outcome::check("A tábla nem szerkeszthető: " + table);
    if (v.isEmpty())
        return std::nullopt;
    const QStringList ok = writableColumns(db, table);
    for (auto it = v.begin(); it != v.end(); ++it)
        if (!ok.contains(it.key().toUpper()))
            return rec::Outcome::check("Nem írható oszlop: " + it.key(), it.key());
    return std::nullopt;
}

// A failed step without the database's text is a refused value: show it as a check.
rec::Outcome finish(rec::Outcome o)
{
    if (o.kind == rec::Outcome::StepFailed && o.dbText.isEmpty())
        return rec::Outcome::check(o.message);
    return o;
}

} // namespace

Access applyCode(Access now, const QString& code)
{
    if (code == QLatin1String(SecondCode))
        return Access::All;
    if (code == QLatin1String(FirstCode))
        return now == Access::All ? Access::All : Access::Five;
    return now;
}

bool writable(Access a, const QString& table)
{
    if (a == Access::All)
        return known(table);
    if (a == Access::Five)
        return known(table) && table != "ATVEVO";
    return false;
}

QStringList tables()
{
    return kTables;
}

QString idColumn(const QString& table)
{
    return "ID_" + table;
}

QStringList writableColumns(fb::Connection* db, const QString& table)
{
    TQuery q(db, "rawWritable");
    q.add("select rf.rdb$field_name as fname from rdb$relation_fields rf");
    q.add("join rdb$fields f on f.rdb$field_name = rf.rdb$field_source");
    q.add("where rf.rdb$relation_name = :p0 and f.rdb$computed_blr is null");
    q.add("order by rf.rdb$field_position");
    q.setText("p0", table);
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next()) {
        const QString name = q.asString("FNAME").trimmed();
        if (name != idColumn(table))
            out << name;
    }
    return out;
}

rec::Outcome update(fb::Connection* db, Access a, const QString& table, qint64 id, const Values& v)
{
    if (auto r = refuse(db, a, table, v))
        return *r;
    if (v.isEmpty())
        return rec::Outcome::saved();
    const auto cols = columnsOf(db, table);
    return finish(rec::unitOfWork(db, "Hiba22: a módosítás nem sikerült", [&] {
        TQuery q(db, "rawUpdate");
        QStringList sets;
        int i = 0;
        for (auto it = v.begin(); it != v.end(); ++it, ++i)
            sets << it.key().toUpper() + " = :p" + QString::number(i);
        q.setSql("update " + table + " set " + sets.join(", ") + " where " + idColumn(table) +
                 " = :pid");
        i = 0;
        for (auto it = v.begin(); it != v.end(); ++it, ++i)
            bindText(q, "p" + QString::number(i), *find(cols, it.key()), it.value());
        q.setInteger("pid", id);
        rec::step("Hiba22: a módosítás nem sikerült", [&] {
            q.execSQL();
            rec::expectRows(&q, 1);
        });
    }));
}

rec::Outcome insert(fb::Connection* db, Access a, const QString& table, const Values& v,
                    qint64* newId)
{
    if (auto r = refuse(db, a, table, v))
        return *r;
    const auto cols = columnsOf(db, table);
    return finish(rec::unitOfWork(db, "Hiba22: a beszúrás nem sikerült", [&] {
        TQuery q(db, "rawInsert");
        QStringList names, params;
        int i = 0;
        for (auto it = v.begin(); it != v.end(); ++it, ++i) {
            names << it.key().toUpper();
            params << ":p" + QString::number(i);
        }
        const QString ret = " returning " + idColumn(table);
        if (names.isEmpty())
            q.setSql("insert into " + table + " default values" + ret);
        else
            q.setSql("insert into " + table + " (" + names.join(", ") + ") values (" +
                     params.join(", ") + ")" + ret);
        i = 0;
        for (auto it = v.begin(); it != v.end(); ++it, ++i)
            bindText(q, "p" + QString::number(i), *find(cols, it.key()), it.value());
        rec::step("Hiba22: a beszúrás nem sikerült", [&] {
            q.execSQL();
            if (newId)
                *newId = q.asInteger(idColumn(table));
        });
    }));
}

rec::Outcome remove(fb::Connection* db, Access a, const QString& table, qint64 id)
{
    if (auto r = refuse(db, a, table, {}))
        return *r;
    return rec::unitOfWork(db, "Hiba22: a törlés nem sikerült", [&] {
        TQuery q(db, "rawDelete");
        q.setSql("delete from " + table + " where " + idColumn(table) + " = :pid");
        q.setInteger("pid", id);
        rec::step("Hiba22: a törlés nem sikerült", [&] {
            q.execSQL();
            rec::expectRows(&q, 1);
        });
    });
}

} // namespace rawedit

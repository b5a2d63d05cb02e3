#include "buyer.h"

#include "Query.h"
#include "values.h"

namespace buyer {

namespace {

// Text parameters of the profile's UPDATE and the column each one carries.
const std::pair<const char*, const char*> kTextParams[] = {
    {"p2", "V_UTCA"},    {"p5", "V_BANKSZLA"}, {"p6", "V_ADOAZON"},     {"p7", "V_NYILATK"},
    {"p10", "V_VERZIO"}, {"p12", "V_EVNYILV"}, {"p13", "V_KERULET"},    {"p14", "V_JELLEG"},
    {"p15", "V_HAZSZAM"}, {"p16", "V_EPULET"}, {"p17", "V_LEPCSO"},     {"p18", "V_SZINT"},
    {"p19", "V_AJTO"},   {"p22", "V_KOZADOSZAM"}, {"p23", "V_EV_NEVE"},
};

rec::Outcome fail(const char* message, const char* column)
{
    return rec::Outcome::check(QString::fromUtf8(message), column);
}

} // namespace

void runList(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT *  ");
    q->add("  FROM atvevo     ");
    q->open();
}

void runRow(TQuery* q, const QString& akod)
{
    q->close();
    q->clearSql();
    q->add("SELECT *             ");
    q->add("  FROM atvevo     ");
    q->add("  WHERE v_akod = :p0  ");
    q->setText("p0", akod);
    q->open();
}

std::optional<Buyer> read(fb::Connection* db, const QString& akod)
{
    TQuery q(db, "buyerRow");
    runRow(&q, akod);
    if (q.isEmpty())
        return std::nullopt;
    Buyer b;
    for (const QString& f : q.fieldNames())
        b.fields[f] = q.asString(f);
    b.ev = q.asString("V_EV") == "true";
    b.kisado = q.asString("V_KISADO") == "true";
    return b;
}

qint64 ticketCount(fb::Connection* db, const QString& akod)
{
    TQuery q(db, "buyerTickets");
    q.add("SELECT  f_akod, count(f_akod) AS sdb ");
    q.add("  FROM Fjfej         ");
    q.add("  WHERE f_akod = :p1 ");
    q.add("  GROUP BY f_akod    ");
    q.setText("p1", akod);
    q.open();
    return q.isEmpty() ? 0 : q.asInteger("sdb");
}

rec::Outcome check(Buyer& b)
{
    const QString koz = b.get("V_KOZADOSZAM").trimmed();
    if (!koz.isEmpty() && koz.size() < 8)
        return fail("Közösségi adószám kevesebb mint 8 karakter!", "V_KOZADOSZAM");
    if (!b.ev) {
        for (const char* c : {"V_ADOAZON", "V_EVNYILV", "V_EV_NEVE"})
            b.set(c, " ");
        return rec::Outcome::saved();
    }
    if (val::rtrim(b.get("V_ADOAZON")).isEmpty())
        return fail("Nincs megadva az egyéni váll.adóazonositó száma!", "V_ADOAZON");
    if (val::rtrim(b.get("V_EVNYILV")).isEmpty())
        return fail("Nincs megadva az egyéni váll.nyilvántart.száma!", "V_EVNYILV");
    if (val::rtrim(b.get("V_EV_NEVE")).isEmpty())
        return fail("Nincs megadva az egyéni váll. neve!", "V_EV_NEVE");
    return rec::Outcome::saved();
}

rec::Outcome save(const rec::Context& ctx, Buyer& b)
{
    if (rec::Outcome o = check(b); !o.ok())
        return o;
    return rec::unitOfWork(ctx.db, "Hiba171: UPDATE az atvevo ", [&] {
        rec::step("Hiba170: UPDATE atvevo ", [&] {
            TQuery q(ctx.db, "buyerSave");
            q.add("UPDATE atvevo SET V_UTCA = :p2, V_BANKSZLA = :p5, V_ADOAZON = :p6, "
                  "V_NYILATK = :p7, V_VERZIO = :p10, V_EV = :p11, V_EVNYILV = :p12, "
                  "V_KERULET = :p13, V_JELLEG = :p14, V_HAZSZAM = :p15, V_EPULET = :p16, "
                  "V_LEPCSO = :p17, V_SZINT = :p18, V_AJTO = :p19, V_KISADO = :p21, "
                  "V_KOZADOSZAM = :p22, V_EV_NEVE = :p23 WHERE V_AKOD = :p20");
            for (const auto& [param, column] : kTextParams)
                q.setText(param, b.get(column));
            q.setText("p11", b.ev ? "true" : " ");
            q.setText("p21", b.kisado ? "true" : " ");
            q.setText("p20", ctx.akod);
            q.execSQL();
            rec::expectRows(&q, 1);
        });
    });
}

} // namespace buyer

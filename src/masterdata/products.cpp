#include "products.h"

#include "Query.h"
#include "codes.h"
#include "rows.h"
#include "values.h"

#include <cmath>

namespace products {

namespace {

bool ures(const Product& p, const char* column) { return val::rtrim(p.get(column)).isEmpty(); }

rec::Outcome fail(const char* message, const char* column)
{
    return rec::Outcome::check(QString::fromUtf8(message), column);
}

// The rate column holds whole numbers.
double storedRate(double rate) { return std::round(rate); }

} // namespace

QString statusText(Order order)
{
    switch (order) {
    case Order::Kod:
        return "Termék lista, \"Kód\" szerint";
    case Order::Id:
        return "Termék lista a beviteli sorrend szerint";
    case Order::Megnevezes:
        break;
    }
    return "Termék lista, \"Megnevezés\" szerint";
}

void runList(TQuery* q, Order order)
{
    q->close();
    q->clearSql();
    q->add("SELECT * FROM termek ");
    switch (order) {
    case Order::Megnevezes: q->add("  ORDER BY t_megnevezes COLLATE PXW_HUNDC "); break;
    case Order::Kod: q->add("  ORDER BY t_kod "); break;
    case Order::Id: q->add("  ORDER BY ID_Termek "); break;
    }
    q->open();
}

void runPrintList(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT * FROM termek ORDER BY t_megnevezes COLLATE PXW_HUNDC");
    q->open();
}

QString nextCode(fb::Connection* db)
{
    TQuery q(db, "productCodes");
    q.add("SELECT t_kod FROM termek");
    q.open();
    return codes::nextCode(&q, "T_KOD");
}

rec::Outcome check(const Product& p, const Confirm& confirm)
{
    if (ures(p, "T_KOD"))
        return fail("Nincs megadva a kód!", "T_KOD");
    if (ures(p, "T_MEGNEVEZES"))
        return fail("Nincs megadva a megnevezés!", "T_MEGNEVEZES");
    if (ures(p, "T_EAR"))
        return fail("Nincs megadva az egységár!", "T_EAR");
    if (ures(p, "T_MEGY"))
        return fail("Nincs megadva a mennyiség egység!", "T_MEGY");
    if (ures(p, "T_KOMPMERTEKE"))
        return fail("Nincs megadva a komp.mérték!", "T_KOMPMERTEKE");
    if (!val::parseNumber(p.get("T_EAR")))
        return fail("Az egységár nem szám (tizedesvesszővel írja, pl. 62,5)!", "T_EAR");
    const auto komp = val::parseNumber(p.get("T_KOMPMERTEKE"));
    if (!komp)
        return fail("A komp.mérték nem szám (tizedesvesszővel írja, pl. 12)!", "T_KOMPMERTEKE");
    // Say so before a fraction is rounded away.
    const double kerekitett = storedRate(*komp);
    if (kerekitett != *komp &&
        !confirm(QString("A komp.mérték csak egész szám lehet: %1 helyett %2 "
                         "kerül tárolásra. Mentsem így?")
                     .arg(val::fmtNumber(*komp), val::fmtNumber(kerekitett))))
        return rec::Outcome::check({}, "T_KOMPMERTEKE");
    return rec::Outcome::saved();
}

rec::Outcome save(const rec::Context& ctx, const Product& p, Mode mode, const Confirm& confirm,
                  QString* kod, const QString& offered)
{
    if (rec::Outcome o = check(p, confirm); !o.ok())
        return o;
    const bool modify = mode == Mode::Modify;
    QString code = p.get("T_KOD");
    const rec::Outcome o = rec::unitOfWorkRetrying(ctx.db, "Hiba74: az append vagy edit közben a termékben!", [&] {
        rec::step(modify ? "Hiba73: Módositásban, UPDATE a termékben "
                         : "Hiba72: Újban, INSERT  a termékben ",
                  [&] {
                      TQuery q(ctx.db, "productSave");
                      if (modify) {
                          q.add("SELECT count(*) AS db FROM termek WHERE t_kod = :p1 AND ID_termek <> :p0");
                          q.setText("p1", p.get("T_KOD"));
                          q.setText("p0", p.get("ID_TERMEK"));
                          q.open();
                          if (q.asInteger("db") > 0)
                              throw rec::CheckError{codes::takenMessage(p.get("T_KOD")), "T_KOD"};
                          q.close();
                          q.clearSql();
                      } else {
                          code = codes::take(ctx.db, "termek", "T_KOD", p.get("T_KOD"), offered);
                      }
                      if (modify) {
                          q.add("UPDATE termek              ");
                          q.add("  SET t_kod         = :p1, ");
                          q.add("      t_megnevezes  = :p2, ");
                          q.add("      t_VTSZ        = :p3, ");
                          q.add("      t_Ear         = :p4, ");
                          q.add("      t_megy        = :p5, ");
                          q.add("      t_Kompmerteke = :p6, ");
                          q.add("      t_bizonylat   = :p7  ");
                          q.add(" WHERE ID_termek    = :p0  ");
                          q.setText("p0", p.get("ID_TERMEK"));
                      } else {
                          q.add("INSERT INTO termek ( t_kod, t_megnevezes, t_VTSZ, t_Ear, t_megy, "
                                "t_Kompmerteke, t_bizonylat ) ");
                          q.add("   VALUES          (   :p1,          :p2,    :p3,   :p4,    :p5,  "
                                "         :p6,         :p7 ) ");
                      }
                      q.setText("p1", code);
                      q.setText("p2", p.get("T_MEGNEVEZES"));
                      q.setText("p3", p.get("T_VTSZ"));
                      q.setFloat("p4", *val::parseNumber(p.get("T_EAR")));
                      q.setText("p5", p.get("T_MEGY"));
                      q.setInteger("p6",
                                   qint64(storedRate(*val::parseNumber(p.get("T_KOMPMERTEKE")))));
                      q.setText("p7", p.get("T_BIZONYLAT"));
                      codes::insertCode(&q);
                      rec::expectRows(&q, 1);
                  });
    });
    if (o.ok() && kod)
        *kod = code;
    return o;
}

rec::Outcome remove(const rec::Context& ctx, const QString& id)
{
    return rows::removeUnlessLast(ctx, "termek", "ID_termek", id,
                                  "Az utolsó terméksor nem törölhető ki.",
                                  "Hiba61: termék DELETE törlésekor");
}

} // namespace products

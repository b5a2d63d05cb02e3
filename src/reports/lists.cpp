#include "lists.h"

#include "Query.h"
#include "app/buyer.h"
#include "reports/engine/Report.h"
#include "seams.h"
#include "values.h"

#include <QScopeGuard>
#include <QStringList>
#include <functional>
#include <limits>
#include <memory>
#include <utility>

namespace lists {

namespace {

// The lines with their ticket and producer. A condition on the ticket's
// columns leaves out a line without a ticket whichever way it is joined, so
// the ticket comes first and the period's tickets pick their lines by index.
const char* const kLineJoins = "  FROM fjfej JOIN fjsor ON s_bszam = f_bszam "
                               "LEFT JOIN ostermelo ON f_ostermkod = o_kod ";
const char* const kInnerJoins = "  FROM fjsor JOIN fjfej ON s_bszam = f_bszam "
                                "JOIN ostermelo ON f_ostermkod = o_kod ";

void sql(TQuery* q, const QString& text)
{
    q->close();
    q->clearSql();
    q->add(text);
}

QString periodOn(const Period& p)
{
    const char* col = p.purchase ? "f_felvkelt" : "f_fizkelt";
    return QString("(%1 >= :p1 AND %1 <= :p2)").arg(col);
}

// The same for the queries that take the buyer from the line (s_akod) and so
// walk the buyer's lines: "+ 0" keeps the engine from matching every line's
// ticket against the whole period's date index as well (seconds on a busy year).
QString periodOnLines(const Period& p)
{
    const char* col = p.purchase ? "f_felvkelt" : "f_fizkelt";
    return QString("(%1 + 0 >= :p1 AND %1 + 0 <= :p2)").arg(col);
}

const char* const kLinesFirst = "  FROM fjsor LEFT JOIN fjfej ON s_bszam = f_bszam ";

void bindPeriod(TQuery* q, const rec::Context& ctx, const Period& p)
{
    q->setDate("p1", p.from);
    q->setDate("p2", p.to);
    q->setText("p3", ctx.akod);
}

// The first row's field as a number (0 when there is no row or it is NULL).
double firstNumber(TQuery* q, const QString& field)
{
    q->first();
    return q->isEmpty() ? 0.0 : q->asFloat(field);
}

// The buyer's row on `buyerRow` and its street line, joined as the ticket joins it.
void openBuyer(const rec::Context& ctx, TQuery* buyerRow)
{
    buyer::runRow(buyerRow, ctx.akod);
    rep::setVariable("v_atvevoutca", buyer::streetLine(buyerRow));
}

// The head of every period list: the buyer, the grand total, the period and
// the order of the rows.
void openHeading(const rec::Context& ctx, TQuery* buyerRow, const QString& total,
                 const QDate& from, const QDate& to, const QString& order)
{
    openBuyer(ctx, buyerRow);
    rep::setVariable("v_osszesen", total);
    rep::setVariable("v_tol", val::fmtDate(from));
    rep::setVariable("v_ig", val::fmtDate(to));
    rep::setVariable("v_sorrend", order);
}

bool prepare(rep::Report& report, QPageLayout::Orientation o, const QString& templateName,
             const QString& fileName, const QString& title)
{
    report.setOrientation(o);
    if (!report.loadAndPrepare(templateName))
        return false;
    report.setFileName(rep::safeFileName(fileName));
    report.setTitle(title);
    return true;
}

// A list's title with its period: "Tételes lista 2026.01.01–2026.01.31".
QString periodTitle(const QString& list, const QDate& from, const QDate& to)
{
    return list + " " + val::fmtDate(from) + "–" + val::fmtDate(to);
}

QString fileDate(const QDate& d) { return d.isValid() ? d.toString("yyyy-MM-dd") : QString("-"); }

} // namespace

QString totalText(double sum) { return val::fmtNumber(sum); }

QString orderName(ItemOrder o)
{
    switch (o) {
    case ItemOrder::Ostermelo: return "östermelö";
    case ItemOrder::FizDatum: return "fizetés dátum";
    case ItemOrder::Fjegy: return "fjegy szám";
    case ItemOrder::Termek: return "termék megnevezés";
    case ItemOrder::FelvDatum: return "felvásárlás dátum";
    }
    return {};
}

QString periodFileName(const QString& list, const QDate& from, const QDate& to)
{
    return list + "_" + fileDate(from) + "_" + fileDate(to) + ".pdf";
}

// ---- Itemized ---------------------------------------------------------------

QString collectItemized(const rec::Context& ctx, TQuery* rows, const QDate& from,
                        const QDate& to, ItemOrder order)
{
    const Period p{from, to, false};
    sql(rows, QString("SELECT s_akod, SUM(s_vetelar) AS m_osszesen ") + kLinesFirst +
                  " WHERE " + periodOnLines(p) + " AND s_akod = :p3 GROUP BY s_akod");
    bindPeriod(rows, ctx, p);
    rows->open();
    const QString total = totalText(firstNumber(rows, "M_OSSZESEN"));

    QString orderBy;
    switch (order) {
    case ItemOrder::Ostermelo: orderBy = "o_nev COLLATE PXW_HUNDC, f_fizkelt"; break;
    case ItemOrder::FizDatum: orderBy = "f_fizkelt, o_nev COLLATE PXW_HUNDC"; break;
    case ItemOrder::Fjegy: orderBy = "s_bszam, s_megnevezes COLLATE PXW_HUNDC"; break;
    case ItemOrder::Termek: orderBy = "s_megnevezes COLLATE PXW_HUNDC, o_nev COLLATE PXW_HUNDC"; break;
    case ItemOrder::FelvDatum: orderBy = "f_felvkelt, o_nev COLLATE PXW_HUNDC"; break;
    }
    // The line id last keeps equal keys in the order they were entered.
    sql(rows, QString("SELECT * ") + kLineJoins + " WHERE " + periodOn(p) +
                  " AND f_akod = :p3 ORDER BY " + orderBy + ", id_fjsor");
    bindPeriod(rows, ctx, p);
    // A busy year is read for seconds: the progress is up from the start and
    // moves as the rows come.
    const std::unique_ptr<seams::Progress> progress = seams::startProgress("Kigyűjtés…", 0);
    if (progress)
        progress->setValue(0);
    rows->setReadProgress([&](qint64 n) {
        if (progress)
            progress->setValue(n);
    });
    const auto done = qScopeGuard([rows] { rows->setReadProgress({}); });
    rows->open();
    return total;
}

bool printItemized(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                   const QDate& from, const QDate& to, ItemOrder order, const QString& total)
{
    openHeading(ctx, buyerRow, total, from, to, orderName(order));
    return prepare(report, QPageLayout::Landscape, "FjLista4.frf",
                   periodFileName("teteles_lista", from, to),
                   periodTitle("Tételes lista", from, to));
}

// ---- Per product ------------------------------------------------------------

namespace {

void openProductLines(const rec::Context& ctx, TQuery* lines, const Period& p,
                      const QString& product, bool inner)
{
    sql(lines, QString("SELECT * ") + (inner ? kInnerJoins : kLineJoins) +
                   " WHERE s_megnevezes = :p0 AND " + periodOn(p) +
                   " AND f_akod = :p3 ORDER BY f_fizkelt, s_bszam, id_fjsor");
    lines->setText("p0", product);
    bindPeriod(lines, ctx, p);
    lines->open();
}

QString currentText(TQuery* q, const QString& field)
{
    return q->isEmpty() || q->eof() ? QString() : q->asString(field);
}

// A list of groups, each with its lines beneath. Reaching a group opens its
// lines (`openLines` with the group's `keyField`); the lines' data set walks
// them. The groups stand on their first row again afterwards.
bool prepareGrouped(rep::Report& report, const char* groupSet, const char* lineSet,
                    TQuery* groups, const char* keyField, TQuery* lines,
                    const std::function<void(const QString&)>& openLines,
                    const QString& templateName, const QString& fileName, const QString& title,
                    bool firstLinesRead)
{
    auto reopen = [=] {
        if (!groups->eof())
            openLines(currentText(groups, keyField));
    };
    // When the caller has just read the first group's lines, the walk's start
    // does not read them again (a busy producer's year takes a good part of a
    // second); a later walk reads its first group itself.
    auto firstOpen = std::make_shared<bool>(firstLinesRead);
    rep::DataRegistry* data = report.data();
    data->userDataSet(groupSet)->setCallbacks(
        [=] {
            groups->first();
            if (!std::exchange(*firstOpen, false))
                reopen();
        },
        [=] {
            *firstOpen = false;
            groups->next();
            reopen();
        },
        [=] { return groups->isEmpty() || groups->eof(); });
    data->userDataSet(lineSet)->setCallbacks(
        [=] { lines->first(); }, [=] { lines->next(); },
        [=] { return lines->isEmpty() || lines->eof(); });
    const bool ok = prepare(report, QPageLayout::Portrait, templateName, fileName, title);
    *firstOpen = false;
    groups->first();
    return ok;
}

} // namespace

QString collectPerProduct(const rec::Context& ctx, TQuery* totals, TQuery* groups,
                          TQuery* lines, const Period& p)
{
    sql(totals, "SELECT s_akod, SUM(s_vetelar) AS m_osszesen "
                "  FROM fjfej JOIN fjsor ON s_bszam = f_bszam "
                " WHERE " + periodOn(p) + " AND f_akod = :p3 GROUP BY s_akod");
    bindPeriod(totals, ctx, p);
    totals->open();
    const QString total = totalText(firstNumber(totals, "M_OSSZESEN"));

    // Grouped on the exact text ("Búza" and "búza" stay apart), listed in
    // Hungarian order.
    sql(groups, QString("SELECT * FROM (SELECT s_megnevezes, SUM(s_netto) AS mennyiseg, "
                        "SUM(s_vetelar) AS kifizetett ") +
                    kLineJoins + " WHERE " + periodOn(p) +
                    " AND f_akod = :p3 GROUP BY s_megnevezes) "
                    "ORDER BY s_megnevezes COLLATE PXW_HUNDC, s_megnevezes");
    bindPeriod(groups, ctx, p);
    groups->open();
    groups->first();
    openProductLines(ctx, lines, p, currentText(groups, "S_MEGNEVEZES"), false);
    return total;
}

bool printPerProduct(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                     TQuery* groups, TQuery* lines, const Period& p, const QString& total)
{
    openHeading(ctx, buyerRow, total, p.from, p.to, "Termékenként");
    rep::setVariable("v_datum", p.purchase ? "Felvásárlási " : "Fizetési ");

    // The printed detail takes only lines with a producer row; the group's
    // totals above it count every line.
    return prepareGrouped(
        report, "frUserDataset1", "frUserDataset2", groups, "S_MEGNEVEZES", lines,
        [=](const QString& name) { openProductLines(ctx, lines, p, name, true); }, "FjLista5.frf",
        periodFileName("termekenkenti_lista", p.from, p.to),
        periodTitle("Termékenkénti lista", p.from, p.to), false);
}

// ---- Per producer -----------------------------------------------------------

namespace {

void openProducer(const rec::Context& ctx, TQuery* totals, TQuery* lines, const Period& p,
                  const QString& kod)
{
    sql(totals, QString("SELECT o_kod, SUM(s_vetelar) AS nevosszesen ") + kInnerJoins +
                    " WHERE o_kod = :p0 AND " + periodOn(p) + " AND f_akod = :p3 GROUP BY o_kod");
    totals->setText("p0", kod);
    bindPeriod(totals, ctx, p);
    totals->open();
    // Every producer's lines by product, so a long list reads the same way
    // from the first group to the last.
    sql(lines, QString("SELECT * ") + kInnerJoins + " WHERE o_kod = :p0 AND " + periodOn(p) +
                   " AND f_akod = :p3 ORDER BY s_megnevezes COLLATE PXW_HUNDC, s_megnevezes, "
                   "f_fizkelt, id_fjsor");
    lines->setText("p0", kod);
    bindPeriod(lines, ctx, p);
    lines->open();
}

} // namespace

QString collectPerProducer(const rec::Context& ctx, TQuery* totals, TQuery* groups,
                           const Period& p)
{
    sql(totals, QString("SELECT s_akod, SUM(s_vetelar) AS m_osszesen ") + kLinesFirst +
                    " WHERE " + periodOnLines(p) + " AND s_akod = :p3 GROUP BY s_akod");
    bindPeriod(totals, ctx, p);
    totals->open();
    const QString total = totalText(firstNumber(totals, "M_OSSZESEN"));

    sql(groups, QString("SELECT o_kod, o_nev, SUM(s_vetelar) AS nevosszesen ") + kLinesFirst +
                    " LEFT JOIN ostermelo ON f_ostermkod = o_kod WHERE " + periodOnLines(p) +
                    " AND s_akod = :p3 GROUP BY o_kod, o_nev");
    bindPeriod(groups, ctx, p);
    groups->open();
    return total;
}

bool printPerProducer(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                      TQuery* groups, TQuery* totals, TQuery* lines, const Period& p,
                      const QString& total)
{
    openHeading(ctx, buyerRow, total, p.from, p.to, " Östermelönként ");
    groups->first();
    openProducer(ctx, totals, lines, p, currentText(groups, "O_KOD"));

    return prepareGrouped(
        report, "frUserDataset3", "frUserDataset4", groups, "O_KOD", lines,
        [=](const QString& kod) { openProducer(ctx, totals, lines, p, kod); }, "FjLista8.frf",
        periodFileName("ostermelonkenti_lista", p.from, p.to),
        periodTitle("Östermelönkénti lista", p.from, p.to), true);
}

// ---- One producer by month and product --------------------------------------

QString findProducer(TQuery* q, const QString& typed)
{
    sql(q, "SELECT * FROM ostermelo ORDER BY o_nev COLLATE PXW_HUNDC, o_kod");
    q->open();
    q->locatePrefix("O_NEV", typed);
    return currentText(q, "O_KOD");
}

ProducerLines takeProducer(TQuery* q)
{
    ProducerLines l;
    if (q->isEmpty() || q->eof())
        return l;
    l.kod = q->asString("O_KOD");
    l.nev = q->asString("O_NEV");
    l.cim = q->asString("O_IRSZAM") + "  " + q->asString("O_HELYSEGNEV") + "  " +
            q->asString("O_UTCA");
    l.szido = "Szül.idö: " + q->asString("O_SZIDO") + "  Anyja neve: " + q->asString("O_ANYJA");
    rep::setVariable("v_nev", l.nev);
    rep::setVariable("v_cim", l.cim);
    rep::setVariable("v_szido", l.szido);
    return l;
}

Sums producerTotals(const rec::Context& ctx, TQuery* q, const QString& kod)
{
    sql(q, "SELECT f_ostermkod, SUM(s_felvar) AS v_felvar, SUM(s_kompfelar) AS v_felar, "
           "SUM(s_vetelar) AS v_vetelar "
           "  FROM fjfej LEFT JOIN fjsor ON f_bszam = s_bszam "
           " WHERE f_ostermkod = :p1 AND f_akod = :p2 GROUP BY f_ostermkod");
    q->setText("p1", kod);
    q->setText("p2", ctx.akod);
    q->open();
    Sums s;
    s.felvar = totalText(firstNumber(q, "V_FELVAR"));
    s.kompfelar = totalText(firstNumber(q, "V_FELAR"));
    s.vetelar = totalText(firstNumber(q, "V_VETELAR"));
    rep::setVariable("v_far", s.felvar);
    rep::setVariable("v_kar", s.kompfelar);
    rep::setVariable("v_var", s.vetelar);
    return s;
}

void producerBreakdown(const rec::Context& ctx, TQuery* q, const QString& kod, bool detailed)
{
    const QString month = "EXTRACT(MONTH FROM f_felvkelt)";
    const QString cols = "f_ostermkod, o_nev, " + month +
                         " AS ho, s_megnevezes, SUM(s_netto) AS v_menny, SUM(s_felvar) AS v_felvar, "
                         "SUM(s_felvar) / NULLIF(SUM(s_netto), 0) AS v_atlar, "
                         "SUM(s_kompfelar) AS v_felar, SUM(s_vetelar) AS v_vetelar ";
    const QString group = "f_ostermkod, o_nev, " + month + ", s_megnevezes";
    // Months and products in order, so the printed groups follow each other.
    sql(q, "SELECT " + QString(detailed ? "id_fjsor, " : "") + cols +
               "  FROM fjfej LEFT JOIN fjsor ON f_bszam = s_bszam "
               "  LEFT JOIN ostermelo ON f_ostermkod = o_kod "
               " WHERE f_ostermkod = :p1 AND f_akod = :p2 GROUP BY " +
               (detailed ? "id_fjsor, " : "") + group + " ORDER BY " +
               QString(detailed ? "4" : "3") +
               ", s_megnevezes COLLATE PXW_HUNDC, s_megnevezes" + QString(detailed ? ", 1" : ""));
    q->setText("p1", kod);
    q->setText("p2", ctx.akod);
    q->open();
    q->last();
}

bool printProducerBreakdown(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                            const QString& kod)
{
    openBuyer(ctx, buyerRow);
    return prepare(report, QPageLayout::Portrait, "FjLista9.frf",
                   "havi_bontas_" + kod.trimmed() + "_" + fileDate(ctx.today) + ".pdf",
                   "Havi bontás termékenként " + kod.trimmed() + " " + val::fmtDate(ctx.today));
}

// ---- Cash daily list -------------------------------------------------------

void collectCash(const rec::Context& ctx, TQuery* q, bool byProduct)
{
    if (byProduct)
        sql(q, "SELECT f_fizkelt, s_megnevezes, SUM(s_vetelar) AS v_kifiz2 "
               "  FROM fjfej LEFT JOIN fjsor ON f_bszam = s_bszam "
               " WHERE f_utal <> :p2 AND f_akod = :p1 GROUP BY f_fizkelt, s_megnevezes "
               " ORDER BY f_fizkelt, s_megnevezes COLLATE PXW_HUNDC, s_megnevezes");
    else
        sql(q, "SELECT f_fizkelt, SUM(f_muvktg) AS v_kifiz1 FROM fjfej "
               " WHERE f_utal <> :p2 AND f_akod = :p1 GROUP BY f_fizkelt ORDER BY f_fizkelt");
    q->setText("p1", ctx.akod);
    q->setText("p2", "x");
    q->open();
    q->last();
}

bool printCash(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow, TQuery* rows,
               bool byProduct)
{
    QDate from, to;
    for (int i = 0; i < rows->recordCount(); ++i) {
        const QDate d = rows->valueAt(i, rows->fieldIndex("F_FIZKELT")).toDate();
        if (!d.isValid())
            continue;
        if (!from.isValid() || d < from)
            from = d;
        if (!to.isValid() || d > to)
            to = d;
    }
    openBuyer(ctx, buyerRow);
    return prepare(report, QPageLayout::Portrait, byProduct ? "FjLista11.frf" : "FjLista10.frf",
                   periodFileName(byProduct ? "napi_penztar_termekenkent" : "napi_penztar",
                                  from, to),
                   periodTitle(byProduct ? "Kp. napi lista termékenként" : "Kp. napi lista", from, to));
}

// ---- Statistics -------------------------------------------------------------

StatTotals collectStatistics(const rec::Context& ctx, TQuery* q, bool byProductOnly)
{
    sql(q, "SELECT SUM(s_felvar) AS v_felvar, SUM(s_vetelar) AS v_kifiz "
           "  FROM fjfej JOIN fjsor ON f_bszam = s_bszam "
           " WHERE f_akod = :p1 GROUP BY f_akod");
    q->setText("p1", ctx.akod);
    q->open();
    StatTotals t;
    t.felvar = totalText(firstNumber(q, "V_FELVAR"));
    t.vetelar = totalText(firstNumber(q, "V_KIFIZ"));

    const QString sums = "SUM(s_netto) AS v_menny, SUM(s_felvar) / NULLIF(SUM(s_netto), 0) AS "
                         "v_atlar, SUM(s_felvar) AS v_felvar, SUM(s_vetelar) AS v_kifiz ";
    const QString from = "  FROM fjfej JOIN fjsor ON f_bszam = s_bszam WHERE f_akod = :p1 ";
    if (byProductOnly)
        sql(q, "SELECT s_megnevezes, " + sums + from +
                   " GROUP BY s_megnevezes ORDER BY s_megnevezes COLLATE PXW_HUNDC, s_megnevezes");
    else
        sql(q, "SELECT s_megnevezes, EXTRACT(MONTH FROM f_felvkelt) AS ho, " + sums + from +
                   " GROUP BY s_megnevezes, EXTRACT(MONTH FROM f_felvkelt) "
                   " ORDER BY s_megnevezes COLLATE PXW_HUNDC, s_megnevezes, 2");
    q->setText("p1", ctx.akod);
    q->open();
    q->last();
    return t;
}

bool printStatistics(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                     bool byProductOnly, const StatTotals& totals)
{
    openBuyer(ctx, buyerRow);
    rep::setVariable("v_far", totals.felvar);
    rep::setVariable("v_var", totals.vetelar);
    return prepare(report, QPageLayout::Portrait, byProductOnly ? "FjLista13.frf" : "FjLista12.frf",
                   (byProductOnly ? "statisztika_termekenkent_" : "statisztika_havi_") +
                       fileDate(ctx.today) + ".pdf",
                   (byProductOnly ? "Statisztika termékenként " : "Statisztika havonta ") +
                       val::fmtDate(ctx.today));
}

// ---- Contract ---------------------------------------------------------------

bool printContract(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                   const Contract& c, const QString& producerKod)
{
    if (producerKod.isEmpty())
        return false;
    const QString values[10] = {c.szam, c.hrsz, c.ter, c.helyre, c.pal,
                                c.szmenny, c.femz, c.tel, c.ev, c.that};
    const char* names[10] = {"v_szam", "v_hrsz", "v_ter", "v_helyre", "v_pal",
                             "v_szmenny", "v_femz", "v_tel", "v_ev", "v_that"};
    for (int i = 0; i < 10; ++i)
        rep::setVariable(names[i], values[i]);
    // The buyer's row is read again: a contract printed first after start-up
    // would otherwise find no buyer row to print.
    openBuyer(ctx, buyerRow);
    return prepare(report, QPageLayout::Portrait, "FjSzerzodes.frf",
                   "szerzodes_" + producerKod.trimmed() + "_" + fileDate(ctx.today) + ".pdf",
                   "Termelési és értékesítési szerződés " + producerKod.trimmed() + " " +
                       val::fmtDate(ctx.today));
}

} // namespace lists

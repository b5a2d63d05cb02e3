#pragma once
// The period lists, the producer's monthly breakdown, the cash daily list, the
// statistics and the contract: their queries and the data their templates
// read. No widgets: the list screens and the tests call these; the screens
// show the prepared pages when a print answers true, and report.errorText()
// when it answers false (report.showPreparedOr()).
//
// Every query is limited to the buyer of the context. Averages divide by a
// net quantity that may sum to zero (a voided ticket with its voiding
// document): such a group shows an empty average instead of failing.

#include "records.h"

#include <QDate>
#include <QString>

class TQuery;

namespace rep {
class Report;
}

namespace lists {

// A period on the payment date, or on the purchase date when `purchase`.
// Both ends are included; a from date after the to date selects nothing.
struct Period {
    QDate from, to;
    bool purchase = false;
};

// The grand total as the lists print it: general number form, "0" for none.
QString totalText(double sum);

// ---- Itemized list ("Tételes lista"), always on the payment date ----------

enum class ItemOrder { Ostermelo, FizDatum, Fjegy, Termek, FelvDatum };
// The order's name in the report heading ("östermelö", "fizetés dátum", ...).
QString orderName(ItemOrder o);

// The period total, then every line of the period on `rows` in the order.
// Returns the grand total text.
QString collectItemized(const rec::Context& ctx, TQuery* rows, const QDate& from,
                        const QDate& to, ItemOrder order);
// "FjLista4.frf", landscape, over the rows collected on `rows`.
bool printItemized(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                   const QDate& from, const QDate& to, ItemOrder order, const QString& total);

// ---- Per-product list ("Termékenkénti lista") ------------------------------

// The grand total (on `totals`), the product groups with quantity and amount
// (on `groups`, by name; names differing in letter case are two groups) and the
// first group's lines (on `lines`). Returns the grand total text.
QString collectPerProduct(const rec::Context& ctx, TQuery* totals, TQuery* groups,
                          TQuery* lines, const Period& p);
// "FjLista5.frf", portrait; installs the callbacks that walk the groups of
// `groups` and re-open `lines` for each.
bool printPerProduct(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                     TQuery* groups, TQuery* lines, const Period& p, const QString& total);

// ---- Per-producer list ("Östermelönkénti lista") ---------------------------

// The grand total (on `totals`) and the producers with their totals (on
// `groups`). Returns the grand total text.
QString collectPerProducer(const rec::Context& ctx, TQuery* totals, TQuery* groups,
                           const Period& p);
// "FjLista8.frf", portrait; the callbacks walk the producers of `groups`,
// re-opening each one's total on `totals` and its lines on `lines`, by product.
bool printPerProducer(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                      TQuery* groups, TQuery* totals, TQuery* lines, const Period& p,
                      const QString& total);

// The PDF names: the list and its period ("teteles_lista_2026-01-01_2026-12-31.pdf").
QString periodFileName(const QString& list, const QDate& from, const QDate& to);

// ---- One producer by month and product -------------------------------------

// Every producer by name on q, standing on the first whose name begins with
// the typed text (ignoring case), else on the first. Returns its code.
QString findProducer(TQuery* q, const QString& typed);
// What the breakdown screen shows of the producer on q's current row, and the
// report variables v_nev, v_cim, v_szido set to the same texts.
struct ProducerLines {
    QString kod, nev, cim, szido;
};
ProducerLines takeProducer(TQuery* q);

struct Sums {
    QString felvar = "0", kompfelar = "0", vetelar = "0";
};
// The producer's three totals with the buyer (on q), as texts.
Sums producerTotals(const rec::Context& ctx, TQuery* q, const QString& kod);
// The breakdown by month of purchase and product, or per line when detailed.
void producerBreakdown(const rec::Context& ctx, TQuery* q, const QString& kod, bool detailed);
// "FjLista9.frf", portrait, over the rows of `rows`.
bool printProducerBreakdown(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                            const QString& kod);

// ---- Cash daily list ("Kp. napilista") --------------------------------------

// Tickets not paid by transfer: the payable amount per payment day, or the
// lines' purchase price per payment day and product.
void collectCash(const rec::Context& ctx, TQuery* q, bool byProduct);
// "FjLista11.frf" by product, else "FjLista10.frf"; portrait. The PDF name
// holds the first and the last payment day listed.
bool printCash(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow, TQuery* rows,
               bool byProduct);

// ---- Statistics -------------------------------------------------------------

struct StatTotals {
    QString felvar = "0", vetelar = "0";
};
// The buyer's purchase value and purchase price over all lines (on q, then
// replaced by the breakdown by product and month, or by product only).
StatTotals collectStatistics(const rec::Context& ctx, TQuery* q, bool byProductOnly);
// "FjLista13.frf" by product only, else "FjLista12.frf"; portrait.
bool printStatistics(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                     bool byProductOnly, const StatTotals& totals);

// ---- Contract ----------------------------------------------------------------

// The ten particulars in the order of the screen, each becoming its variable.
struct Contract {
    QString szam, hrsz, ter, helyre, pal, szmenny, femz, tel, ev, that;
};
// "FjSzerzodes.frf", portrait; the producer is the current row of ZQ30, the
// buyer's row is read onto `buyerRow`. False without a producer (nothing done).
bool printContract(rep::Report& report, const rec::Context& ctx, TQuery* buyerRow,
                   const Contract& c, const QString& producerKod);

} // namespace lists

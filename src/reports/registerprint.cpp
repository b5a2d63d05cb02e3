#include "registerprint.h"

#include "Query.h"
#include "app/buyer.h"
#include "masterdata/producers.h"
#include "masterdata/products.h"
#include "reports/engine/Report.h"
#include "values.h"

namespace registerprint {

namespace {

// The buyer's row and street line, as the ticket prints them.
void openBuyer(const Sources& src)
{
    buyer::runRow(src.buyer, src.akod);
    rep::setVariable("v_atvevoutca", buyer::streetLine(src.buyer));
}

bool prepareList(rep::Report& report, const QString& templateName, const QString& fileName,
                 const QString& title, const QDate& today)
{
    report.setOrientation(QPageLayout::Landscape);
    if (!report.loadAndPrepare(templateName))
        return false;
    report.setFileName(fileName);
    report.setTitle(title + " " + val::fmtDate(today));
    return true;
}

} // namespace

QString producersFileName(const QDate& day)
{
    return "ostermelok_jegyzeke_" + day.toString("yyyy-MM-dd") + ".pdf";
}

QString productsFileName(const QDate& day)
{
    return "termeklista_" + day.toString("yyyy-MM-dd") + ".pdf";
}

bool producers(rep::Report& report, const Sources& src)
{
    openBuyer(src);
    producers::runPrintList(src.rows);
    return prepareList(report, "FjLista2.frf", producersFileName(src.today),
                       "Őstermelők jegyzéke", src.today);
}

bool products(rep::Report& report, const Sources& src)
{
    openBuyer(src);
    products::runPrintList(src.rows);
    return prepareList(report, "FjLista6.frf", productsFileName(src.today), "Terméklista",
                       src.today);
}

} // namespace registerprint

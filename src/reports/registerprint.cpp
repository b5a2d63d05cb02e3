#include "registerprint.h"

#include "Unit2.h"
#include "app/buyer.h"
#include "masterdata/producers.h"
#include "masterdata/products.h"
#include "reports/engine/Report.h"
#include "seams.h"
#include "values.h"

namespace registerprint {

namespace {

// The buyer's row and street line, as the ticket prints them.
void openBuyer()
{
    buyer::runRow(Data->ZQ60, G.akod);
    rep::setVariable("v_atvevoutca", Data->atv_utca());
}

bool prepareList(rep::Report& report, const QString& templateName, const QString& fileName,
                 const QString& title)
{
    report.setOrientation(QPageLayout::Landscape);
    if (!report.loadAndPrepare(templateName)) {
        seams::ui().showMessage(report.errorText());
        return false;
    }
    report.setFileName(fileName);
    report.setTitle(title + " " + val::fmtDate(seams::ui().today()));
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

bool producers(rep::Report& report)
{
    openBuyer();
    producers::runPrintList(Data->ZQ30);
    return prepareList(report, "FjLista2.frf", producersFileName(seams::ui().today()),
                       "Őstermelők jegyzéke");
}

bool products(rep::Report& report)
{
    openBuyer();
    products::runPrintList(Data->ZQ40);
    return prepareList(report, "FjLista6.frf", productsFileName(seams::ui().today()),
                       "Terméklista");
}

} // namespace registerprint

#include "registerprint.h"

#include "Unit2.h"
#include "reports/engine/Report.h"
#include "seams.h"

namespace registerprint {

namespace {

void openQuery(TQuery* q, const QString& sql)
{
    q->close();
    q->clearSql();
    q->add(sql);
    q->open();
}

// The buyer's row and street line, as the ticket prints them.
void openBuyer()
{
    TQuery* b = Data->ZQ60;
    b->close();
    b->clearSql();
    b->add("SELECT * FROM atvevo WHERE v_akod = :p0");
    b->setText("p0", G.akod);
    b->open();
    rep::setVariable("v_atvevoutca", Data->atv_utca());
}

bool prepareList(rep::Report& report, const QString& templateName, const QString& fileName)
{
    report.setOrientation(QPageLayout::Landscape);
    if (!report.loadAndPrepare(templateName)) {
        seams::ui().showMessage(report.errorText());
        return false;
    }
    report.setFileName(fileName);
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
    openQuery(Data->ZQ30, "SELECT * FROM ostermelo ORDER BY o_Nev, o_Szido");
    return prepareList(report, "FjLista2.frf", producersFileName(seams::ui().today()));
}

bool products(rep::Report& report)
{
    openBuyer();
    openQuery(Data->ZQ40, "SELECT * FROM termek ORDER BY t_megnevezes");
    return prepareList(report, "FjLista6.frf", productsFileName(seams::ui().today()));
}

} // namespace registerprint

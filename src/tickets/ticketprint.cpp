#include "ticketprint.h"

#include "Unit2.h"
#include "payable.h"
#include "reports/engine/Report.h"
#include "seams.h"
#include "values.h"
#include "words.h"

namespace ticketprint {

namespace {

const QString kDots = QString(77, QLatin1Char('.'));
const QString kSignature = " a mezögazd. tevék. folytató adóalany aláirása";

void openWith(TQuery* q, const QStringList& lines, const QString& param, const QString& value)
{
    q->close();
    q->clearSql();
    for (const QString& l : lines)
        q->add(l);
    q->setText(param, value);
    q->open();
}

} // namespace

QString templateName(const QString& editionLetter)
{
    return "FjLista7" + editionLetter + ".frf";
}

QString pdfFileName(const QString& number)
{
    return rep::safeFileName("felvasarlasi_jegy_" + number.trimmed() + ".pdf");
}

Outcome prepareData()
{
    TQuery* list = Data->ZQ10;
    if (!list->active() || list->isEmpty() || list->recNo() < 0)
        throw std::runtime_error("Nincs kiválasztott felvásárlási jegy.");
    Outcome out;
    out.number = list->asString("F_BSZAM");
    const QString producer = list->asString("F_OSTERMKOD");

    // 1. The data the template reads.
    openWith(Data->ZQ20, {"SELECT * FROM fjsor WHERE s_bszam = :p0"}, "p0", out.number);
    openWith(Data->ZQ30, {"SELECT * FROM ostermelo WHERE o_kod = :p0"}, "p0", producer);
    rep::setVariable("v_ostermeloutca", Data->ost_utca());
    openWith(Data->ZQ60, {"SELECT * FROM atvevo WHERE v_akod = :p0"}, "p0", G.akod);
    rep::setVariable("v_atvevoutca", Data->atv_utca());
    // The sums need no header: joining it would count every line once per header
    // that carries the same number (another buyer's series may share numbers).
    openWith(Data->ZQ21,
             {"SELECT s_bszam, SUM(s_Felvar) AS far, SUM(s_Kompfelar) AS kar, "
              "SUM(s_Vetelar) AS var",
              "  FROM Fjsor", "  WHERE s_Bszam = :p1", "  GROUP BY s_Bszam"},
             "p1", out.number);
    openWith(Data->ZQ11, {"SELECT * FROM Fjfej WHERE f_Bszam = :p1"}, "p1", out.number);
    TQuery* fej = Data->ZQ11;
    if (fej->isEmpty())
        throw std::runtime_error("A felvásárlási jegy nem található: " + out.number.toStdString());
    // Two buyers may share a number: take the header of the current buyer.
    for (fej->first(); !fej->eof(); fej->next())
        if (fej->asString("F_AKOD") == G.akod)
            break;
    if (fej->eof())
        fej->first();

    // 2-7. Sums and the payable amount.
    TQuery* s = Data->ZQ21;
    const double far = s->isEmpty() ? 0 : s->asFloat("far");
    const double kar = s->isEmpty() ? 0 : s->asFloat("kar");
    const double var = s->isEmpty() ? 0 : s->asFloat("var");
    rep::setVariable("v_far", far);
    rep::setVariable("v_kar", kar);
    rep::setVariable("v_var", var);
    rep::setVariable("v_szja", fej->asFloat("F_SZJA"));

    const bool transfer = fej->asString("F_UTAL") == "x";
    payable::Input in;
    in.purchasePrice = var;
    in.purchaseValue = far;
    in.taxPercent = fej->asFloat("F_SZJA");
    in.contributionPercent = fej->asFloat("F_JARULSZAZ");
    in.deduction = fej->asFloat("F_LEVONAS");
    in.transfer = transfer;
    in.base = payable::printContributionBase(G.verzioBetu);
    const payable::Result r = payable::compute(in);
    rep::setVariable("v_szja2", r.SZ);
    rep::setVariable("v_jszaz", fej->asFloat("F_JARULSZAZ"));
    rep::setVariable("v_jarul", r.T);
    rep::setVariable("v_levon", r.L);
    out.payable = r.payable;
    const QString kif = QString::number(r.payable);
    rep::setVariable("v_kif", kif);
    rep::setVariable("v_azaz", words::azaz(r.payable));

    // 8. Payment texts.
    const QString fizkelt = val::fmtDate(fej->asDate("F_FIZKELT"));
    if (!transfer) {
        rep::setVariable("v_fizmod", QString("Fizetés módja: Kp."));
        rep::setVariable("v_utal", QString(" "));
        rep::setVariable("v_kp1", QString(r.SZ > 0 ? "Az adóelöleggel csökkentett vételár összegét "
                                                   : "A vételár összegét ") +
                                      kif + " Ft -ot, azaz");
        rep::setVariable("v_kp2", words::kp2(r.payable));
        rep::setVariable("v_kp3", "Az összeg átvételének idöpontja:" + fizkelt);
        rep::setVariable("v_kp4", kDots);
        rep::setVariable("v_kp5", kSignature);
    } else {
        rep::setVariable("v_fizmod", QString("Fizetés módja: Átutalás"));
        rep::setVariable("v_utal", "Átutalás határideje:  " + fizkelt);
        for (const char* v : {"v_kp1", "v_kp2", "v_kp3", "v_kp4", "v_kp5"})
            rep::setVariable(v, QString());
    }

    // 9. Declaration.
    const QString nyilatk = fej->asString("F_NYILATK");
    if (nyilatk.size() < 6) {
        rep::setVariable("v_nyilatk1", QString(" "));
        rep::setVariable("v_nyilatk2", QString(" "));
        rep::setVariable("v_nyilatk3", QString("  "));
    } else {
        rep::setVariable("v_nyilatk1", "Nyilatkozat: " + nyilatk.trimmed());
        rep::setVariable("v_nyilatk2", kDots);
        rep::setVariable("v_nyilatk3", kSignature);
    }

    // 10. Copy mark, read from the header as stored now, not from the list row.
    out.copy = fej->asString("F_PRN") == "I";
    rep::setVariable("v_masolat", out.copy ? QString("MÁSOLATI PÉLDÁNY") : QString(" "));

    // 11. Voiding reference. A header without type and without a reference (old
    // data) is no voiding document: it would print "a  számú" with no number.
    const QString ervenyt = fej->asString("F_ERVENYT").trimmed();
    if (fej->asString("F_TIPUS") != "1" && !ervenyt.isEmpty())
        rep::setVariable("v_ervenyteleniti", "Érvényteleníti a " + fej->asString("F_ERVENYT") +
                                                 " számú bizonylatot.");
    else
        rep::setVariable("v_ervenyteleniti", QString());
    out.fileName = pdfFileName(out.number);
    return out;
}

namespace {

// The first print marks the ticket, only this buyer's: other buyers' series
// may share the number.
bool mark(const QString& number)
{
    TQuery* u = Data->ZQ22;
    try {
        u->close();
        u->clearSql();
        u->add("UPDATE Fjfej SET f_prn = :p2 WHERE f_Bszam = :p1 AND f_akod = :p3");
        u->setText("p2", "I");
        u->setText("p1", number);
        u->setText("p3", G.akod);
        Data->execCommitted(u);
        return true;
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba81: prn UPDATE Fjfej-be ");
        return false;
    }
}

} // namespace

bool print(Mode mode, rep::Report& report, Outcome* outcome)
{
    Outcome out = prepareData();
    report.setOrientation(QPageLayout::Portrait);
    // Nothing printable, nothing marked: a ticket counts as printed only when
    // there were pages to print.
    if (!report.loadAndPrepare(templateName(G.verzioBetu))) {
        seams::ui().showMessage(report.errorText());
        if (outcome)
            *outcome = out;
        return false;
    }
    report.setFileName(out.fileName);
    report.setTitle("Felvásárlási jegy " + out.number.trimmed());
    if (mode == Mode::Print && !out.copy)
        out.marked = mark(out.number);
    if (outcome)
        *outcome = out;
    return true;
}

} // namespace ticketprint

#include "ticketprint.h"

#include "Query.h"
#include "fb.h"
#include "payable.h"
#include "reports/engine/Report.h"
#include "values.h"
#include "words.h"

namespace ticketprint {

namespace {

const QString kDots = QString(77, QLatin1Char('.'));
const QString kSignature = " a mezögazd. tevék. folytató adóalany aláirása";

const char* const kProducerStreet[8] = {"O_KERULET", "O_UTCA", "O_JELLEG", "O_HAZSZAM",
                                        "O_EPULET",  "O_LEPCSO", "O_SZINT", "O_AJTO"};
const char* const kBuyerStreet[8] = {"V_KERULET", "V_UTCA", "V_JELLEG", "V_HAZSZAM",
                                     "V_EPULET",  "V_LEPCSO", "V_SZINT", "V_AJTO"};

// The address columns of the row on q, trimmed and joined; blanks when no row.
QString streetLine(TQuery* q, const char* const cols[8])
{
    QStringList parts;
    for (int i = 0; i < 8; ++i)
        parts << (q->isEmpty() ? QString() : q->asString(cols[i]).trimmed());
    return parts.join(' ');
}

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

Outcome prepareData(const Sources& src)
{
    TQuery* list = src.list;
    if (!list->active() || list->isEmpty() || list->recNo() < 0)
        throw std::runtime_error("Nincs kiválasztott felvásárlási jegy.");
    Outcome out;
    out.number = list->asString("F_BSZAM");
    const QString producer = list->asString("F_OSTERMKOD");

    // 1. The data the template reads.
    openWith(src.lines, {"SELECT * FROM fjsor WHERE s_bszam = :p0"}, "p0", out.number);
    openWith(src.producer, {"SELECT * FROM ostermelo WHERE o_kod = :p0"}, "p0", producer);
    rep::setVariable("v_ostermeloutca", streetLine(src.producer, kProducerStreet));
    openWith(src.buyer, {"SELECT * FROM atvevo WHERE v_akod = :p0"}, "p0", src.akod);
    rep::setVariable("v_atvevoutca", streetLine(src.buyer, kBuyerStreet));
    // The sums need no header: joining it would count every line once per header
    // that carries the same number (another buyer's series may share numbers).
    openWith(src.sums,
             {"SELECT s_bszam, SUM(s_Felvar) AS far, SUM(s_Kompfelar) AS kar, "
              "SUM(s_Vetelar) AS var",
              "  FROM Fjsor", "  WHERE s_Bszam = :p1", "  GROUP BY s_Bszam"},
             "p1", out.number);
    openWith(src.header, {"SELECT * FROM Fjfej WHERE f_Bszam = :p1"}, "p1", out.number);
    TQuery* fej = src.header;
    if (fej->isEmpty())
        throw std::runtime_error("A felvásárlási jegy nem található: " + out.number.toStdString());
    // Two buyers may share a number: take the header of the current buyer.
    for (fej->first(); !fej->eof(); fej->next())
        if (fej->asString("F_AKOD") == src.akod)
            break;
    if (fej->eof())
        fej->first();

    // 2-7. Sums and the payable amount.
    TQuery* s = src.sums;
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
    in.base = payable::printContributionBase(src.edition);
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
QString mark(TQuery* u, const QString& number, const QString& akod)
{
    fb::Connection* db = u->connection();
    try {
        u->close();
        u->clearSql();
        u->add("UPDATE Fjfej SET f_prn = :p2 WHERE f_Bszam = :p1 AND f_akod = :p3");
        u->setText("p2", "I");
        u->setText("p1", number);
        u->setText("p3", akod);
        db->startTransaction();
        u->execSQL();
        db->commit();
        return {};
    } catch (const std::exception&) {
        try {
            if (db->inTransaction())
                db->rollback();
        } catch (...) {
        }
        return "Hiba81: prn UPDATE Fjfej-be \n"
               "A jegyet nem sikerült nyomtatottnak jelölni (lehet, hogy egy másik gép éppen "
               "módosítja), ezért a nyomtatás nem indult el. Kérem, próbálja újra!";
    }
}

} // namespace

bool print(Mode mode, rep::Report& report, const Sources& src, Outcome* outcome)
{
    Outcome out = prepareData(src);
    report.setOrientation(QPageLayout::Portrait);
    // Nothing printable, nothing marked: a ticket counts as printed only when
    // there were pages to print.
    if (!report.loadAndPrepare(templateName(src.edition))) {
        if (outcome)
            *outcome = out;
        return false;
    }
    report.setFileName(out.fileName);
    report.setTitle("Felvásárlási jegy " + out.number.trimmed());
    if (mode == Mode::Print && !out.copy) {
        out.markError = mark(src.mark, out.number, src.akod);
        out.marked = out.markError.isEmpty();
    }
    if (outcome)
        *outcome = out;
    // A first print whose mark is not stored would leave a paper original of
    // a ticket that another computer may still change: no preview then.
    return out.markError.isEmpty();
}

} // namespace ticketprint

#include "voiding.h"

#include "Query.h"
#include "ticketcounter.h"
#include "ticketentry.h"
#include "values.h"

namespace voiding {

namespace {

void sql(TQuery* q, const QString& text)
{
    q->close();
    q->clearSql();
    q->add(text);
}

// The steps of the voiding document, each with its numbered message. The
// number is taken first, so the counter is held until the commit.
void store(const rec::Context& ctx, const Request& req, QString& number)
{
    Request r = req;
    TQuery hq(ctx.db, "voidingHeader");
    TQuery lq(ctx.db, "voidingLines");
    TQuery rows(ctx.db, "voidingCopies");
    TQuery* h = &hq;
    TQuery* l = &lq;

    // The voided ticket's amounts, as stored now, and the ticket held until the
    // commit: a change saved meanwhile by another computer would make the
    // voiding's copy disagree with what it voids.
    sql(h, "SELECT F_LEVONAS, F_MUVKTG, F_SUMVAR FROM FjFej WHERE f_bszam = :p1 WITH LOCK");
    h->setText("p1", r.voidedNumber);
    h->open();
    if (h->recordCount() != 1)
        throw rec::StepError{"Hiba392: Újban, INSERT a Fjfejben ",
                             QString("%1 fejsor a(z) %2 számmal").arg(h->recordCount()).arg(r.voidedNumber)};
    const double levonas = h->asFloat("F_LEVONAS");
    const double muvktg = h->asFloat("F_MUVKTG");
    const double sumvar = h->asFloat("F_SUMVAR");

    rec::step("Hiba398: Új UPDATE Sorszam -ba ", [&] { r.newNumber = counter::take(ctx, h); });
    number = r.newNumber;

    // Rows carrying a blank number from before are not ours: only what this
    // unit of work inserts (keys above the present greatest) is completed.
    const qint64 lastHeader = ctx.db->lastIdentity("FJFEJ", "ID_FJFEJ");
    const qint64 lastLine = ctx.db->lastIdentity("FJSOR", "ID_FJSOR");

    rec::step("Hiba392: Újban, INSERT a Fjfejben ", [&] {
        // Under its own number at once: a blank number would meet another
        // voiding's (or an old row's) in the buyer's unique series.
        sql(h, "INSERT INTO FjFej ( F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_SZJA, F_MEGJ, F_FELVKELT, "
               "F_FIZKELT, F_UTAL, F_NYILATK, F_LEVONAS, F_JARULSZAZ, F_MUVKTG, F_PIPA, "
               "f_sumvar ) SELECT CAST(:p2 AS VARCHAR(8)), F_AKOD, F_OSTERMKOD, F_KELT, F_SZJA, F_MEGJ, F_FELVKELT, "
               "F_FIZKELT, F_UTAL, F_NYILATK, F_LEVONAS, F_JARULSZAZ, F_MUVKTG, F_PIPA, "
               "f_sumvar FROM FjFej WHERE f_bszam = :p1");
        h->setText("p1", r.voidedNumber);
        h->setText("p2", r.newNumber);
        h->execSQL();
        rec::expectRows(h, 1);
    });
    rec::step("Hiba93: Új UPDATE FjFej -ben ", [&] {
        sql(h, "UPDATE FjFej SET f_bszam = :p1, F_TIPUS = :p2, F_ERVENYT = :p3, "
               "F_LEVONAS = :p5, F_MUVKTG = :p6, F_SUMVAR = :p8, F_KELT = :p9 "
               "WHERE f_bszam = :p0 AND ID_FJFEJ > :p10");
        h->setText("p0", r.newNumber);
        h->setText("p1", r.newNumber);
        h->setText("p2", ctx.ervTipus);
        h->setText("p3", r.voidedNumber);
        h->setFloat("p5", levonas * -1);
        h->setFloat("p6", muvktg * -1);
        h->setFloat("p8", sumvar * -1);
        h->setDate("p9", *val::parseDate(r.dateText));
        h->setInteger("p10", lastHeader);
        h->execSQL();
        rec::expectRows(h, 1);
    });
    rec::step("Hiba394: Új UPDATE FjFej -ben ", [&] {
        // Only a ticket not voided yet: another computer may have voided it
        // since this screen opened (its unsaved voiding makes this a conflict).
        sql(h, "UPDATE FjFej SET F_ERVENYT = :p1 WHERE f_bszam = :p0 "
               "AND ( F_ERVENYT IS NULL OR TRIM(F_ERVENYT) = '' )");
        h->setText("p1", r.newNumber);
        h->setText("p0", r.voidedNumber);
        h->execSQL();
        if (h->rowsAffected() == 0)
            throw rec::CheckError{"Már érvénytelenítve van!", {}};
        rec::expectRows(h, 1);
    });
    qint64 copied = 0;
    rec::step("Hiba395: Újban, INSERT a Fjsorban ", [&] {
        sql(l, "INSERT INTO FjSor (S_TERMEKKOD, S_MEGNEVEZES, S_VTSZ, S_LEVONSZAZ, S_BRUTTO, "
               "S_MEGY, S_EAR, S_KOMPMERTEKE, S_AKOD, S_SZJA, S_BIZONYLAT ) SELECT "
               "S_TERMEKKOD, S_MEGNEVEZES, S_VTSZ, S_LEVONSZAZ, S_BRUTTO, S_MEGY, S_EAR, "
               "S_KOMPMERTEKE, S_AKOD, S_SZJA, S_BIZONYLAT FROM FjSor WHERE s_bszam = :p1");
        l->setText("p1", r.voidedNumber);
        l->execSQL();
        copied = l->rowsAffected();
    });
    rec::step("Hiba397: Új UPDATE FjFej -ben ", [&] {
        // The copies of every line, whatever buyer code the lines carry.
        sql(&rows, "SELECT * FROM Fjsor WHERE ( s_bszam = :p0 ) AND ( ID_FJSOR > :p1 )");
        rows.setText("p0", " ");
        rows.setInteger("p1", lastLine);
        rows.open();
        if (rows.recordCount() != copied)
            throw fb::Error("A másolt tételsorok száma eltér.");
        for (rows.first(); !rows.eof(); rows.next()) {
            sql(l, "UPDATE FjSor SET s_bszam = :p1, S_BRUTTO = :p2 WHERE ID_FJSOR = :p0");
            l->setText("p1", r.newNumber);
            l->setFloat("p2", rows.asFloat("S_BRUTTO") * -1);
            l->setInteger("p0", rows.asInteger("ID_FJSOR"));
            l->execSQL();
            rec::expectRows(l, 1);
        }
    });
}

} // namespace

QString refusal(const QString& prn, const QString& ervenyt, const QString& tipus)
{
    if (prn != "I")
        return "Nem volt nyomtatva. Nem érvényteleníthető!";
    if (!ervenyt.trimmed().isEmpty())
        return tipus != "1" ? "Érvénytelent (storno) nem lehet érvényteleníteni!"
                            : "Már érvénytelenítve van!";
    return QString();
}

QString question(const QString& bszam)
{
    return "Érvényteleniteni szeretné a " + bszam + " bizonylatot? ";
}

QString dateError(const QString& typed, const QDate& voidedIssueDate)
{
    if (val::rtrim(typed).isEmpty())
        return "Nincs megadva a kiállítás dátuma!";
    const auto d = val::parseDate(typed);
    if (!d)
        return "Hibás a kiállítás dátuma!";
    if (voidedIssueDate.isValid() && *d < voidedIssueDate)
        return "Érvénytelenítendő bizonylaton szereplő dátumtól korábbi!";
    return QString();
}

rec::Outcome removeOrphanLines(const rec::Context& ctx, const QString& newNumber)
{
    return ticketentry::removeOrphanLines(ctx, newNumber,
                                          "Hiba391: Fjsor DELETE törlése mert nem volt fejrésze ");
}

rec::Outcome run(const rec::Context& ctx, const Request& r, QString* number)
{
    const QString error = dateError(r.dateText, r.voidedIssueDate);
    if (!error.isEmpty())
        return rec::Outcome::check(error, "Edit2");
    QString taken;
    const rec::Outcome o = rec::unitOfWorkRetrying(
        ctx.db, "Hiba399: az INSERT közben a fjegy fejben!", [&] { store(ctx, r, taken); });
    if (o.ok() && number)
        *number = taken;
    return o;
}

QString doneMessage(const QString& newNumber)
{
    return "Az érvénytelenítő bizonylat " + newNumber + " sorszámmal elkészült!";
}

} // namespace voiding

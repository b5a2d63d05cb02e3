#include "voiding.h"

#include "Unit2.h"
#include "seams.h"
#include "ticketlist.h"
#include "values.h"


namespace voiding {

namespace {


void sql(TQuery* q, const QString& text)
{
    q->close();
    q->clearSql();
    q->add(text);
}

// A step of the unit of work failed: carries its message to the one rollback.
struct StepFailed {
    QString message;
};

template <class F>
void step(const char* message, F&& f)
{
    try {
        f();
    } catch (const StepFailed&) {
        throw;
    } catch (const std::exception&) {
        throw StepFailed{QString::fromUtf8(message)};
    }
}

void expectRows(TQuery* q, qint64 n)
{
    if (q->rowsAffected() != n)
        throw fb::Error(QString("%1 sor helyett %2").arg(n).arg(q->rowsAffected()));
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

bool removeOrphanLines(const QString& newNumber)
{
    try {
        TQuery* q = Data->ZQ22;
        sql(q, "DELETE FROM Fjsor WHERE s_Bszam = :p1");
        q->setText("p1", newNumber);
        Data->execCommitted(q);
        return true;
    } catch (const std::exception&) {
        seams::ui().showMessage("Hiba391: Fjsor DELETE törlése mert nem volt fejrésze ");
        return false;
    }
}

Result run(const QString& voidedNumber, const QString& newNumber, const QDate& voidDate)
{
    Result res;
    try {
        TxGuard tx(&Data->ZCon1);
        TQuery* h = Data->ZQ11;
        TQuery* l = Data->ZQ22;

        // The voided ticket's amounts, as stored now.
        sql(h, "SELECT F_LEVONAS, F_MUVKTG, F_SUMVAR FROM FjFej WHERE f_bszam = :p1");
        h->setText("p1", voidedNumber);
        h->open();
        if (h->recordCount() != 1)
            throw StepFailed{"Hiba392: Újban, INSERT a Fjfejben "};
        const double levonas = h->asFloat("F_LEVONAS");
        const double muvktg = h->asFloat("F_MUVKTG");
        const double sumvar = h->asFloat("F_SUMVAR");

        // Rows carrying a blank number from before are not ours: only what this
        // unit of work inserts (keys above the present greatest) is completed.
        sql(h, "SELECT MAX(ID_FJFEJ) AS m FROM FjFej");
        h->open();
        const qint64 lastHeader = h->asInteger("m");
        sql(l, "SELECT MAX(ID_FJSOR) AS m FROM FjSor");
        l->open();
        const qint64 lastLine = l->asInteger("m");

        step("Hiba392: Újban, INSERT a Fjfejben ", [&] {
            sql(h, "INSERT INTO FjFej ( F_AKOD, F_OSTERMKOD, F_KELT, F_SZJA, F_MEGJ, F_FELVKELT, "
                   "F_FIZKELT, F_UTAL, F_NYILATK, F_LEVONAS, F_JARULSZAZ, F_MUVKTG, F_PIPA, "
                   "f_sumvar ) SELECT F_AKOD, F_OSTERMKOD, F_KELT, F_SZJA, F_MEGJ, F_FELVKELT, "
                   "F_FIZKELT, F_UTAL, F_NYILATK, F_LEVONAS, F_JARULSZAZ, F_MUVKTG, F_PIPA, "
                   "f_sumvar FROM FjFej WHERE f_bszam = :p1");
            h->setText("p1", voidedNumber);
            h->execSQL();
            expectRows(h, 1);
        });
        step("Hiba93: Új UPDATE FjFej -ben ", [&] {
            sql(h, "UPDATE FjFej SET f_bszam = :p1, F_TIPUS = :p2, F_ERVENYT = :p3, "
                   "F_LEVONAS = :p5, F_MUVKTG = :p6, F_SUMVAR = :p8, F_KELT = :p9 "
                   "WHERE f_bszam = :p0 AND ID_FJFEJ > :p10");
            h->setText("p0", " ");
            h->setText("p1", newNumber);
            h->setText("p2", G.ervTipus.isEmpty() ? QString("4") : G.ervTipus);
            h->setText("p3", voidedNumber);
            h->setFloat("p5", levonas * -1);
            h->setFloat("p6", muvktg * -1);
            h->setFloat("p8", sumvar * -1);
            h->setDate("p9", voidDate);
            h->setInteger("p10", lastHeader);
            h->execSQL();
            expectRows(h, 1);
        });
        step("Hiba394: Új UPDATE FjFej -ben ", [&] {
            sql(h, "UPDATE FjFej SET F_ERVENYT = :p1 WHERE f_bszam = :p0");
            h->setText("p1", newNumber);
            h->setText("p0", voidedNumber);
            h->execSQL();
            expectRows(h, 1);
        });
        qint64 copied = 0;
        step("Hiba395: Újban, INSERT a Fjsorban ", [&] {
            sql(l, "INSERT INTO FjSor (S_TERMEKKOD, S_MEGNEVEZES, S_VTSZ, S_LEVONSZAZ, S_BRUTTO, "
                   "S_MEGY, S_EAR, S_KOMPMERTEKE, S_AKOD, S_SZJA, S_BIZONYLAT ) SELECT "
                   "S_TERMEKKOD, S_MEGNEVEZES, S_VTSZ, S_LEVONSZAZ, S_BRUTTO, S_MEGY, S_EAR, "
                   "S_KOMPMERTEKE, S_AKOD, S_SZJA, S_BIZONYLAT FROM FjSor WHERE s_bszam = :p1");
            l->setText("p1", voidedNumber);
            l->execSQL();
            copied = l->rowsAffected();
        });
        step("Hiba397: Új UPDATE FjFej -ben ", [&] {
            // The copies of every line, whatever buyer code the lines carry.
            TQuery* rows = Data->ZQ21;
            sql(rows, "SELECT * FROM Fjsor WHERE ( s_bszam = :p0 ) AND ( ID_FJSOR > :p1 )");
            rows->setText("p0", " ");
            rows->setInteger("p1", lastLine);
            rows->open();
            if (rows->recordCount() != copied)
                throw fb::Error("A másolt tételsorok száma eltér.");
            for (rows->first(); !rows->eof(); rows->next()) {
                sql(l, "UPDATE FjSor SET s_bszam = :p1, S_BRUTTO = :p2 WHERE ID_FJSOR = :p0");
                l->setText("p1", newNumber);
                l->setFloat("p2", rows->asFloat("S_BRUTTO") * -1);
                l->setInteger("p0", rows->asInteger("ID_FJSOR"));
                l->execSQL();
                expectRows(l, 1);
            }
            rows->close();
        });
        step("Hiba398: Új UPDATE Sorszam -ba ",
             [&] { ticketlist::writeBack(Data->ZQ50, newNumber); });
        tx.commit();
        res.ok = true;
    } catch (const StepFailed& f) {
        res.message = f.message;
    } catch (const std::exception&) {
        res.message = "Hiba399: az INSERT közben a fjegy fejben!";
    }
    return res;
}

QString doneMessage(const QString& newNumber)
{
    return "Az érvénytelenítő bizonylat " + newNumber + " sorszámmal elkészült!";
}

} // namespace voiding

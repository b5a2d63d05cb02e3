#include "ticketentry.h"

#include "Unit2.h"
#include "ticketlist.h"

namespace ticketentry {

namespace {
// Runs a sums query and reads its three columns; zeros when it gives no row.
Sums runSums(TQuery* q, const QString& param, const char* far, const char* kfelar,
             const char* var)
{
    q->setText("p1", param);
    q->open();
    Sums s;
    if (!q->isEmpty()) {
        s.far = q->asFloat(far);
        s.kfelar = q->asFloat(kfelar);
        s.var = q->asFloat(var);
    }
    return s;
}
} // namespace

Sums ticketSums(TQuery* q, const QString& bszam)
{
    q->close();
    q->clearSql();
    q->add("SELECT s_bszam, SUM(s_felvar) AS far, SUM(s_kompfelar) AS kfelar, SUM(s_vetelar) AS var");
    q->add("FROM Fjsor WHERE s_Bszam = :p1 GROUP BY s_Bszam");
    return runSums(q, bszam, "far", "kfelar", "var");
}

Sums producerSums(TQuery* q, const QString& ostKod)
{
    q->close();
    q->clearSql();
    q->add("SELECT f_ostermkod, SUM(s_felvar) AS far1, SUM(s_kompfelar) AS kfelar1, "
           "SUM(s_vetelar) AS var1");
    q->add("FROM Fjsor JOIN Fjfej ON Fjfej.f_Bszam = Fjsor.s_Bszam");
    q->add("JOIN Ostermelo ON Fjfej.f_ostermkod = Ostermelo.o_Kod");
    q->add("WHERE FjFej.f_ostermkod = :p1 GROUP BY f_ostermkod");
    return runSums(q, ostKod, "far1", "kfelar1", "var1");
}

int lineCount(TQuery* q, const QString& bszam)
{
    q->close();
    q->clearSql();
    q->add("SELECT s_bszam, count(s_bszam) AS sdb FROM Fjsor WHERE s_Bszam = :p1 GROUP BY s_Bszam");
    q->setText("p1", bszam);
    q->open();
    return q->isEmpty() ? 0 : int(q->asInteger("sdb"));
}

void removeOrphanLines(TQuery* q, const QString& bszam)
{
    q->close();
    q->clearSql();
    q->add("DELETE FROM Fjsor WHERE s_Bszam = :p1");
    q->setText("p1", bszam);
    Data->execCommitted(q);
}

QString message(SaveResult r)
{
    switch (r) {
    case SaveResult::Ok: return {};
    case SaveResult::InsertFailed: return "Hiba94: Újban, INSERT a Fjfejben ";
    case SaveResult::CounterFailed: return "Hiba93: Új UPDATE Sorszam -ba ";
    case SaveResult::UpdateFailed: return "Hiba95: Módositás, UPDATE a Fjegy fejben ";
    case SaveResult::Other: return "Hiba96: az INSERT vagy UPDATE közben a fjegy fejben!";
    }
    return {};
}

static void bindHeader(TQuery* q, const Header& h)
{
    q->setText("p1", h.bszam);
    q->setText("p2", G.akod);
    q->setText("p3", h.ostKod);
    q->setDate("p4", h.kelt);
    q->setInteger("p5", h.szja);
    q->setText("p6", h.megj);
    q->setDate("p8", h.felvkelt);
    q->setDate("p9", h.fizkelt);
    q->setText("p10", h.utal ? "x" : " ");
    q->setText("p11", h.nyilatk);
    q->setFloat("p12", h.levonas);
    q->setFloat("p13", h.jarulszaz);
    q->setFloat("p14", h.muvktg);
    q->setFloat("p15", h.sumvar);
}

SaveResult saveNew(const Header& h)
{
    try {
        TxGuard tx(&Data->ZCon1);
        TQuery* q = Data->ZQ10;
        try {
            q->close();
            q->clearSql();
            q->add("INSERT INTO FjFej ( f_bszam, f_akod, f_ostermkod, f_kelt, f_szja, f_megj, "
                   "f_felvkelt, f_fizkelt, f_utal, f_nyilatk, f_levonas, f_jarulszaz, f_muvktg, "
                   "f_tipus, f_sumvar )");
            q->add("VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p8, :p9, :p10, :p11, :p12, :p13, "
                   ":p14, :p7, :p15 )");
            bindHeader(q, h);
            q->setText("p7", G.tipus.isEmpty() ? QString("1") : G.tipus);
            q->execSQL();
        } catch (const fb::Error&) {
            return SaveResult::InsertFailed;
        }
        G.aktBszam = h.bszam;
        try {
            ticketlist::writeBack(Data->ZQ50, h.bszam);
        } catch (const fb::Error&) {
            // The header goes with the counter: without it the next ticket
            // would be offered the same number.
            return SaveResult::CounterFailed;
        }
        tx.commit();
    } catch (const fb::Error&) {
        return SaveResult::Other;
    }
    return SaveResult::Ok;
}

SaveResult saveModified(const Header& h)
{
    try {
        TxGuard tx(&Data->ZCon1);
        TQuery* q = Data->ZQ10;
        try {
            q->close();
            q->clearSql();
            q->add("UPDATE FjFej SET ID_fjFej = :p0, f_bszam = :p1, f_akod = :p2, "
                   "f_ostermkod = :p3, f_kelt = :p4, f_szja = :p5, f_megj = :p6, f_prn = :p7, "
                   "f_felvkelt = :p8, f_fizkelt = :p9, f_utal = :p10, f_nyilatk = :p11, "
                   "f_levonas = :p12, f_jarulszaz = :p13, f_muvktg = :p14, f_sumvar = :p15");
            q->add("WHERE ID_fjFej = :p0");
            q->setInteger("p0", h.id);
            bindHeader(q, h);
            q->setText("p7", " ");
            q->execSQL();
            if (q->rowsAffected() != 1)
                throw fb::Error("no row");
        } catch (const fb::Error&) {
            return SaveResult::UpdateFailed;
        }
        G.aktBszam = h.bszam;
        tx.commit();
    } catch (const fb::Error&) {
        return SaveResult::Other;
    }
    return SaveResult::Ok;
}

QString message(LineResult r)
{
    switch (r) {
    case LineResult::Ok: return {};
    case LineResult::InsertFailed: return "Hiba103: Új, INSERT a fjsorban ";
    case LineResult::UpdateFailed: return "Hiba104: Módosit, UPDATE a fjsorban ";
    case LineResult::Other: return "Hiba105: az INSERT vagy UPDATE közben a terméksorban!";
    }
    return {};
}

LineResult saveLine(const Line& l, bool isNew)
{
    try {
        TxGuard tx(&Data->ZCon1);
        TQuery* q = Data->ZQ22;
        try {
            q->close();
            q->clearSql();
            if (isNew) {
                q->add("INSERT INTO Fjsor ( s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_brutto, "
                       "s_megy, s_ear, s_kompmerteke, s_akod, s_levonszaz, s_bizonylat )");
                q->add("VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10, :p11 )");
            } else {
                q->add("UPDATE Fjsor SET ID_fjsor = :p0, s_bszam = :p1, s_termekkod = :p2, "
                       "s_megnevezes = :p3, s_vtsz = :p4, s_brutto = :p5, s_megy = :p6, "
                       "s_ear = :p7, s_kompmerteke = :p8, s_akod = :p9, s_levonszaz = :p10, "
                       "s_bizonylat = :p11");
                q->add("WHERE ID_fjsor = :p0");
                q->setInteger("p0", l.id);
            }
            q->setText("p1", l.bszam);
            q->setText("p2", l.termekkod);
            q->setText("p3", l.megnevezes);
            q->setText("p4", l.vtsz);
            q->setFloat("p5", l.brutto);
            q->setText("p6", l.megy);
            q->setFloat("p7", l.ear);
            q->setFloat("p8", l.kompmerteke);
            q->setText("p9", G.akod);
            q->setFloat("p10", l.levonszaz);
            q->setText("p11", l.bizonylat);
            q->execSQL();
        } catch (const fb::Error&) {
            return isNew ? LineResult::InsertFailed : LineResult::UpdateFailed;
        }
        tx.commit();
    } catch (const fb::Error&) {
        return LineResult::Other;
    }
    return LineResult::Ok;
}

} // namespace ticketentry

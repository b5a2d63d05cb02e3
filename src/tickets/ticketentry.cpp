#include "ticketentry.h"

#include "Query.h"
#include "ticketcounter.h"
#include "values.h"

#include <cmath>

namespace ticketentry {

namespace {

void sql(TQuery* q, const QString& text)
{
    q->close();
    q->clearSql();
    q->add(text);
}

// Runs a sums query and reads its three columns; zeros when it gives no row.
Sums runSums(TQuery* q, const char* far, const char* kfelar, const char* var)
{
    q->open();
    Sums s;
    if (!q->isEmpty()) {
        s.far = q->asFloat(far);
        s.kfelar = q->asFloat(kfelar);
        s.var = q->asFloat(var);
    }
    return s;
}

bool empty(const QString& typed) { return val::rtrim(typed).isEmpty(); }

QString notANumber(const QString& label)
{
    return QString("A(z) \"%1\" mezőben nem szám áll!").arg(label);
}

int lineCount(const rec::Context& ctx, const QString& bszam)
{
    TQuery q(ctx.db, "ticketLineCount");
    sql(&q, "SELECT s_bszam, count(s_bszam) AS sdb FROM Fjsor WHERE s_Bszam = :p1 GROUP BY s_Bszam");
    q.setText("p1", bszam);
    q.open();
    return q.isEmpty() ? 0 : int(q.asInteger("sdb"));
}

// The header's checks in the screen's order; on success the parsed values.
struct Parsed {
    QDate kelt, felvkelt, fizkelt;
    qint64 szja = 0;
    double levonas = 0, jarul = 0;
};

rec::Outcome checkHeader(const rec::Context& ctx, const Header& h, Parsed& p)
{
    using rec::Outcome;
    if (empty(h.kelt))
        return Outcome::check("Nincs megadva a kiállítás dátuma!", "Edit2");
    if (empty(h.felvkelt))
        return Outcome::check("Nincs megadva a felvásárlás dátuma!", "Edit3");
    if (empty(h.fizkelt))
        return Outcome::check("Nincs megadva a átvétel dátum!", "Edit4");
    if (empty(h.szja))
        return Outcome::check("Nincs megadva az szja!", "Edit5");
    if (h.ostKod.trimmed().isEmpty())
        return Outcome::check("Nincs kiválasztva őstermelő!", "Button3");
    if (empty(h.levonas))
        return Outcome::check("Nincs megadva vagy nem nulla a levonás!", "Edit13");
    if (empty(h.levonszaz))
        return Outcome::check("Nincs megadva súlylevonás % -a vagy nem nulla!", "Edit14");
    if (empty(h.jarul))
        return Outcome::check("Nincs megadva tagok hozzájárulása % -a vagy nem nulla!", "Edit15");
    const auto kelt = val::parseDate(h.kelt);
    if (!kelt)
        return Outcome::check("Hibás a kiállítás dátuma!", "Edit2");
    const auto felv = val::parseDate(h.felvkelt);
    if (!felv)
        return Outcome::check("Hibás a felvásárlás dátuma!", "Edit3");
    const auto fiz = val::parseDate(h.fizkelt);
    if (!fiz)
        return Outcome::check("Hibás az átvétel/utalás dátuma!", "Edit4");
    if (lineCount(ctx, h.lineKey.isEmpty() ? h.bszam : h.lineKey) == 0)
        return Outcome::check("Nincs a felvásárlási jegynek tételsora!", "Button3");
    // Numbers that cannot be stored are refused here, before any statement runs.
    const auto szja = val::parseNumber(h.szja);
    if (!szja)
        return Outcome::check(notANumber("Szja %"), "Edit5");
    const auto levonas = val::parseNumber(h.levonas);
    if (!levonas)
        return Outcome::check(notANumber("Levonás (Ft)"), "Edit13");
    if (!val::parseNumber(h.levonszaz))
        return Outcome::check(notANumber("Súlylevon.%"), "Edit14");
    const auto jarul = val::parseNumber(h.jarul);
    if (!jarul)
        return Outcome::check(notANumber("Tagi h.járul.%"), "Edit15");
    // A rate of nineteen digits would wrap around in the integer column.
    if (*szja < 0 || *szja > 100 || *szja != std::floor(*szja))
        return Outcome::check("Az \"Szja %\" 0 és 100 közötti egész szám lehet!", "Edit5");
    // The contribution rate and the deduction within bounds too: otherwise the
    // totals overflow, and the payable shown before would be stored with them.
    if (*jarul < 0 || *jarul > 100)
        return Outcome::check("A \"Tagi h.járul.%\" 0 és 100 közötti szám lehet!", "Edit15");
    if (std::fabs(*levonas) > kAmountLimit)
        return Outcome::check("A \"Levonás (Ft)\" legfeljebb " + val::fmtFixed(kAmountLimit, 0, true) +
                                  " Ft lehet!",
                              "Edit13");
    p.kelt = *kelt;
    p.felvkelt = *felv;
    p.fizkelt = *fiz;
    p.szja = qint64(*szja);
    p.levonas = *levonas;
    p.jarul = *jarul;
    return Outcome::saved();
}

void bindHeader(TQuery* q, const rec::Context& ctx, const Header& h, const Parsed& p)
{
    q->setText("p1", h.bszam);
    q->setText("p2", ctx.akod);
    q->setText("p3", h.ostKod);
    q->setDate("p4", p.kelt);
    q->setInteger("p5", p.szja);
    q->setText("p6", h.megj);
    q->setDate("p8", p.felvkelt);
    q->setDate("p9", p.fizkelt);
    q->setText("p10", h.utal ? "x" : " ");
    q->setText("p11", h.nyilatk);
    q->setFloat("p12", p.levonas);
    q->setFloat("p13", p.jarul);
    q->setFloat("p14", h.muvktg);
    q->setFloat("p15", h.sumvar);
}

// What the database will derive for the line (FJSOR's computed columns).
Sums lineAmounts(double brutto, double levonszaz, double ear, double komp)
{
    const double levonas = std::round(brutto * levonszaz / 100 * 10000) / 10000;
    Sums s;
    s.far = (brutto - levonas) * ear;
    s.kfelar = s.far * komp / 100;
    s.var = s.far + s.kfelar;
    return s;
}

// The ticket's other lines: all of them for a new line, all but this one for a change.
Sums otherLines(const rec::Context& ctx, const QString& bszam, qint64 exceptId)
{
    TQuery q(ctx.db, "ticketOtherLines");
    sql(&q, "SELECT SUM(s_felvar) AS far, SUM(s_kompfelar) AS kfelar, SUM(s_vetelar) AS var "
            "FROM Fjsor WHERE s_Bszam = :p1 AND ID_FJSOR <> :p2");
    q.setText("p1", bszam);
    q.setInteger("p2", exceptId);
    return runSums(&q, "far", "kfelar", "var");
}

bool withinLimit(double v) { return std::isfinite(v) && std::fabs(v) <= kAmountLimit; }

// A line whose amounts the ticket's totals or payable could not hold.
bool overflows(const rec::Context& ctx, const Line& l, double brutto, double levonszaz, double ear,
               double komp)
{
    const Sums line = lineAmounts(brutto, levonszaz, ear, komp);
    const Sums others = otherLines(ctx, l.bszam, l.id);
    const Sums total{others.far + line.far, others.kfelar + line.kfelar, others.var + line.var};
    if (!withinLimit(line.far) || !withinLimit(line.kfelar) || !withinLimit(line.var) ||
        !withinLimit(total.far) || !withinLimit(total.kfelar) || !withinLimit(total.var))
        return true;
    payable::Input in = l.rates;
    in.purchasePrice = total.var;
    in.purchaseValue = total.far;
    try {
        const payable::Result r = payable::compute(in);
        return !withinLimit(double(r.payable));
    } catch (const payable::RangeError&) {
        return true;
    }
}

// The line's numbers, read from what was typed.
struct Amounts {
    double brutto, ear, komp, levonszaz;
};

void writeLine(TQuery* q, const rec::Context& ctx, const Line& l, const Amounts& a, bool isNew)
{
    if (isNew) {
        sql(q, "INSERT INTO Fjsor ( s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_brutto, "
               "s_megy, s_ear, s_kompmerteke, s_akod, s_levonszaz, s_bizonylat )");
        q->add("VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10, :p11 )");
    } else {
        sql(q, "UPDATE Fjsor SET ID_fjsor = :p0, s_bszam = :p1, s_termekkod = :p2, "
               "s_megnevezes = :p3, s_vtsz = :p4, s_brutto = :p5, s_megy = :p6, s_ear = :p7, "
               "s_kompmerteke = :p8, s_akod = :p9, s_levonszaz = :p10, s_bizonylat = :p11");
        q->add("WHERE ID_fjsor = :p0");
        q->setInteger("p0", l.id);
    }
    q->setText("p1", l.bszam);
    q->setText("p2", l.termekkod);
    q->setText("p3", l.megnevezes);
    q->setText("p4", l.vtsz);
    q->setFloat("p5", a.brutto);
    q->setText("p6", l.megy);
    q->setFloat("p7", a.ear);
    q->setFloat("p8", a.komp);
    q->setText("p9", ctx.akod);
    q->setFloat("p10", a.levonszaz);
    q->setText("p11", l.bizonylat);
    q->execSQL();
    // A line deleted meanwhile is not saved by a change.
    rec::expectRows(q, 1);
}

// Holds the stored ticket `bszam` of the buyer for this unit of work and
// refuses when it has been printed (unless it already was when the entry
// opened it) or voided meanwhile. Lines waiting under a new ticket's key have
// no header yet: nothing to hold.
void holdTicket(TQuery* q, const rec::Context& ctx, const QString& bszam, bool printed)
{
    sql(q, "UPDATE FjFej SET f_prn = f_prn WHERE f_bszam = :p1 AND f_akod = :p2");
    q->add("AND COALESCE(TRIM(f_ervenyt), '') = ''");
    if (!printed)
        q->add("AND COALESCE(f_prn, '') <> 'I'");
    q->setText("p1", bszam);
    q->setText("p2", ctx.akod);
    q->execSQL();
    if (q->rowsAffected() > 0)
        return;
    sql(q, "SELECT count(*) AS db FROM FjFej WHERE f_bszam = :p1 AND f_akod = :p2");
    q->setText("p1", bszam);
    q->setText("p2", ctx.akod);
    q->open();
    if (q->asInteger("db") > 0)
        throw rec::CheckError{lockedTicketMessage(), {}};
}

} // namespace

QString lockedTicketMessage() { return "Nyomtatott (vagy érvénytelenített) jegy nem módosítható"; }

Sums ticketSums(TQuery* q, const QString& bszam)
{
    sql(q, "SELECT s_bszam, SUM(s_felvar) AS far, SUM(s_kompfelar) AS kfelar, SUM(s_vetelar) AS var");
    q->add("FROM Fjsor WHERE s_Bszam = :p1 GROUP BY s_Bszam");
    q->setText("p1", bszam);
    return runSums(q, "far", "kfelar", "var");
}

Sums producerSums(TQuery* q, const QString& ostKod)
{
    sql(q, "SELECT f_ostermkod, SUM(s_felvar) AS far1, SUM(s_kompfelar) AS kfelar1, "
           "SUM(s_vetelar) AS var1");
    q->add("FROM Fjsor JOIN Fjfej ON Fjfej.f_Bszam = Fjsor.s_Bszam");
    q->add("JOIN Ostermelo ON Fjfej.f_ostermkod = Ostermelo.o_Kod");
    q->add("WHERE FjFej.f_ostermkod = :p1 GROUP BY f_ostermkod");
    q->setText("p1", ostKod);
    return runSums(q, "far1", "kfelar1", "var1");
}

namespace {

// A line saved or deleted on a stored ticket is committed at once, before the
// ticket's own "OK": the header's purchase price and payable amount follow it
// in the same unit of work, so that "Mégsem" on the ticket afterwards does not
// leave the header (and the 2008M files and the audit data read from it) with
// the amounts of the lines before. The header's stored rates count, not what
// the screen has but did not save. A new ticket's lines have no header yet.
void refreshStoredTotals(TQuery* q, const rec::Context& ctx, const QString& bszam)
{
    sql(q, "SELECT f_szja, f_jarulszaz, f_levonas, f_utal FROM FjFej");
    q->add("WHERE f_bszam = :p1 AND f_akod = :p2");
    q->setText("p1", bszam);
    q->setText("p2", ctx.akod);
    q->open();
    if (q->isEmpty())
        return;
    payable::Input in;
    in.taxPercent = q->asFloat("F_SZJA");
    in.contributionPercent = q->asFloat("F_JARULSZAZ");
    in.deduction = q->asFloat("F_LEVONAS");
    in.transfer = q->asString("F_UTAL") == "x";
    in.base = payable::ContributionBase::AfterTaxAdvance;
    const Sums s = ticketSums(q, bszam);
    in.purchasePrice = s.var;
    in.purchaseValue = s.far;
    const payable::Result pay = payable::compute(in);
    sql(q, "UPDATE FjFej SET f_sumvar = :p3, f_muvktg = :p4 WHERE f_bszam = :p1 AND f_akod = :p2");
    q->setText("p1", bszam);
    q->setText("p2", ctx.akod);
    q->setFloat("p3", s.var);
    q->setFloat("p4", double(pay.payable));
    q->execSQL();
    // The header was read (and held) in this unit of work: exactly it changes.
    rec::expectRows(q, 1);
}

} // namespace

void openLines(TQuery* q, const QString& bszam)
{
    sql(q, "SELECT * FROM FjSor WHERE s_Bszam = :p1 ORDER BY ID_FjSor");
    q->setText("p1", bszam);
    q->open();
}

void openProducer(TQuery* q, const QString& kod)
{
    sql(q, "SELECT * FROM ostermelo WHERE o_kod = :p1");
    q->setText("p1", kod);
    q->open();
}

QString firstLineDeduction(const rec::Context& ctx, const QString& bszam)
{
    TQuery q(ctx.db, "ticketFirstLine");
    sql(&q, "SELECT s_levonszaz FROM Fjsor WHERE s_Bszam = :p1 ORDER BY ID_FjSor");
    q.setText("p1", bszam);
    q.open();
    return q.isEmpty() ? QString("0") : q.asString("S_LEVONSZAZ");
}

rec::Outcome removeOrphanLines(const rec::Context& ctx, const QString& bszam, const char* message)
{
    TQuery q(ctx.db, "ticketOrphans");
    return rec::unitOfWorkRetrying(ctx.db, message, [&] {
        rec::step(message, [&] {
            // Another computer may have saved a ticket under this number since
            // it was offered here: its lines are not orphans.
            sql(&q, "DELETE FROM Fjsor WHERE s_Bszam = :p1 AND NOT EXISTS "
                    "(SELECT 1 FROM Fjfej WHERE f_bszam = :p1)");
            q.setText("p1", bszam);
            q.execSQL();
        });
    });
}

QString newTicketKey(const rec::Context& ctx)
{
    return "*" + QString::number(ctx.db->attachmentId() % 10000000).rightJustified(7, '0');
}

rec::Outcome clearAbandonedLines(const rec::Context& ctx, const QString& offered,
                                 const char* message)
{
    // Keys of attachments still open: their new tickets are being written.
    // Only a user who sees every attachment may judge the others' keys.
    QStringList live;
    bool seesAll = false;
    try {
        const fb::Result who = ctx.db->executeFresh(
            "SELECT TRIM(CURRENT_USER), TRIM(r.RDB$OWNER_NAME) FROM RDB$RELATIONS r "
            "WHERE r.RDB$RELATION_NAME = 'FJFEJ'");
        if (!who.rows.empty()) {
            const QString user = who.rows[0][0].toString();
            seesAll = user.compare("SYSDBA", Qt::CaseInsensitive) == 0 ||
                      user.compare(who.rows[0][1].toString(), Qt::CaseInsensitive) == 0;
        }
        if (seesAll) {
            const fb::Result att =
                ctx.db->executeFresh("SELECT MON$ATTACHMENT_ID FROM MON$ATTACHMENTS");
            for (const auto& row : att.rows)
                live << "*" + QString::number(row[0].toLongLong() % 10000000).rightJustified(7, '0');
        }
    } catch (const std::exception&) {
        seesAll = false; // without the list nobody else's lines are touched
    }
    const QString own = newTicketKey(ctx);
    TQuery q(ctx.db, "ticketAbandoned");
    return rec::unitOfWorkRetrying(ctx.db, message, [&] {
        rec::step(message, [&] {
            QStringList keys{own};
            if (seesAll) {
                sql(&q, "SELECT DISTINCT s_bszam FROM Fjsor WHERE s_bszam STARTING WITH '*'");
                q.open();
                for (q.first(); !q.eof(); q.next()) {
                    const QString k = q.asString("S_BSZAM");
                    if (!live.contains(k) && !keys.contains(k))
                        keys << k;
                }
            }
            for (const QString& k : keys) {
                sql(&q, "DELETE FROM Fjsor WHERE s_Bszam = :p1");
                q.setText("p1", k);
                q.execSQL();
            }
            if (!offered.isEmpty()) {
                sql(&q, "DELETE FROM Fjsor WHERE s_Bszam = :p1 AND NOT EXISTS "
                        "(SELECT 1 FROM Fjfej WHERE f_bszam = :p1)");
                q.setText("p1", offered);
                q.execSQL();
            }
        });
    });
}

rec::Outcome deleteLine(const rec::Context& ctx, qint64 id, bool printed)
{
    const char* message = "Hiba92: Felvásárlási jegy tételsor DELETE törlésekor";
    TQuery q(ctx.db, "ticketLineDelete");
    return rec::unitOfWorkRetrying(ctx.db, message, [&] {
        rec::step(message, [&] {
            sql(&q, "SELECT s_bszam FROM Fjsor WHERE ID_fjsor = :p1");
            q.setInteger("p1", id);
            q.open();
            const QString bszam = q.isEmpty() ? QString() : q.asString("S_BSZAM");
            if (!bszam.isEmpty())
                holdTicket(&q, ctx, bszam, printed);
            sql(&q, "DELETE FROM Fjsor WHERE ID_fjsor = :p1");
            q.setInteger("p1", id);
            q.execSQL();
            rec::expectRows(&q, 1);
            refreshStoredTotals(&q, ctx, bszam);
        });
    });
}

rec::Outcome saveHeader(const rec::Context& ctx, const Header& typed, Mode mode, QString* number)
{
    Parsed p;
    if (rec::Outcome c = checkHeader(ctx, typed, p); !c.ok())
        return c;
    TQuery q(ctx.db, "ticketSave");
    Header h = typed;
    const QString lines = typed.lineKey.isEmpty() ? typed.bszam : typed.lineKey;
    const rec::Outcome o =
        rec::unitOfWorkRetrying(ctx.db, "Hiba96: az INSERT vagy UPDATE közben a fjegy fejben!", [&] {
        if (mode == Mode::New) {
            // The number is taken first: the counter stays held until the
            // commit, so no other computer can take the same one.
            rec::step("Hiba93: Új UPDATE Sorszam -ba ", [&] { h.bszam = counter::take(ctx, &q); });
            rec::step("Hiba94: Újban, INSERT a Fjfejben ", [&] {
                sql(&q, "INSERT INTO FjFej ( f_bszam, f_akod, f_ostermkod, f_kelt, f_szja, "
                        "f_megj, f_felvkelt, f_fizkelt, f_utal, f_nyilatk, f_levonas, "
                        "f_jarulszaz, f_muvktg, f_tipus, f_sumvar )");
                q.add("VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p8, :p9, :p10, :p11, :p12, :p13, "
                      ":p14, :p7, :p15 )");
                bindHeader(&q, ctx, h, p);
                q.setText("p7", ctx.tipus);
                q.execSQL();
                rec::expectRows(&q, 1);
            });
            // The lines go with the header in the same unit: nobody sees a
            // header without its lines, or lines under a number without one.
            if (lines != h.bszam)
                rec::step("Hiba97: Újban, UPDATE a Fjsorban ", [&] {
                    sql(&q, "UPDATE Fjsor SET s_bszam = :p1 WHERE s_bszam = :p2");
                    q.setText("p1", h.bszam);
                    q.setText("p2", lines);
                    q.execSQL();
                    if (q.rowsAffected() == 0)
                        throw fb::Error("A jegy tételsorai közben eltűntek.");
                });
        } else {
            rec::step("Hiba95: Módositás, UPDATE a Fjegy fejben ", [&] {
                sql(&q, "UPDATE FjFej SET ID_fjFej = :p0, f_bszam = :p1, f_akod = :p2, "
                        "f_ostermkod = :p3, f_kelt = :p4, f_szja = :p5, f_megj = :p6, "
                        "f_prn = :p7, f_felvkelt = :p8, f_fizkelt = :p9, f_utal = :p10, "
                        "f_nyilatk = :p11, f_levonas = :p12, f_jarulszaz = :p13, "
                        "f_muvktg = :p14, f_sumvar = :p15");
                // Printed or voided by another computer since the entry opened
                // it: the paper and the register would disagree.
                q.add("WHERE ID_fjFej = :p0 AND COALESCE(TRIM(f_ervenyt), '') = ''");
                if (!h.printed)
                    q.add("AND COALESCE(f_prn, '') <> 'I'");
                q.setInteger("p0", h.id);
                bindHeader(&q, ctx, h, p);
                q.setText("p7", " ");
                q.execSQL();
                if (q.rowsAffected() == 0) {
                    sql(&q, "SELECT count(*) AS db FROM FjFej WHERE ID_fjFej = :p0");
                    q.setInteger("p0", h.id);
                    q.open();
                    if (q.asInteger("db") > 0)
                        throw rec::CheckError{lockedTicketMessage(), {}};
                    // Deleted by another computer meanwhile: nothing was saved.
                    throw fb::Error("1 sor helyett 0 sor változott");
                }
                rec::expectRows(&q, 1);
            });
        }
    });
    if (o.ok() && number)
        *number = h.bszam;
    return o;
}

rec::Outcome saveLine(const rec::Context& ctx, const Line& l, Mode mode)
{
    using rec::Outcome;
    struct Required {
        const QString& text;
        const char* field;
        const char* message;
    };
    const Required required[] = {
        {l.megnevezes, "Edit2", "Nincs megadva a megnevezés!"},
        {l.vtsz, "Edit3", "Nincs megadva a VTSZ!"},
        {l.brutto, "Edit4", "Nincs megadva a mennyiség!"},
        {l.megy, "Edit5", "Nincs megadva a mennyiség egység!"},
        {l.ear, "Edit6", "Nincs megadva az egységár!"},
        {l.kompmerteke, "Edit8", "Nincs megadva a komp.mértéke!"},
    };
    for (const Required& r : required) {
        if (val::rtrim(r.text).trimmed().isEmpty())
            return Outcome::check(QString::fromUtf8(r.message), r.field);
    }
    // A quantity, price or percent that is not a number is refused before any
    // statement runs, so nothing half-written is left and nothing typed is lost.
    const auto brutto = val::parseNumber(l.brutto);
    if (!brutto)
        return Outcome::check("A mennyiség nem szám!", "Edit4");
    const auto ear = val::parseNumber(l.ear);
    if (!ear)
        return Outcome::check("Az egységár nem szám!", "Edit6");
    const auto komp = val::parseNumber(l.kompmerteke);
    if (!komp)
        return Outcome::check("A komp.mértéke nem szám!", "Edit8");
    // The ticket's weight deduction goes into every line: "5,,5" must not
    // become a line without deduction. The field is on the ticket screen.
    if (empty(l.levonszaz))
        return Outcome::check("Nincs megadva súlylevonás % -a vagy nem nulla!");
    const auto levonszaz = val::parseNumber(l.levonszaz);
    if (!levonszaz)
        return Outcome::check(notANumber("Súlylevon.%"));
    if (overflows(ctx, l, *brutto, *levonszaz, *ear, *komp))
        return Outcome::check(
            QString("Túl nagy összeg! A jegy felvásárlási ára, komp.felára, vételára és "
                    "fizetendő összege legfeljebb %1 Ft lehet.")
                .arg(val::fmtFixed(kAmountLimit, 0, true)),
            "Edit4");

    const bool isNew = mode == Mode::New;
    const Amounts a{*brutto, *ear, *komp, *levonszaz};
    TQuery q(ctx.db, "ticketLineSave");
    return rec::unitOfWorkRetrying(ctx.db, "Hiba105: az INSERT vagy UPDATE közben a terméksorban!", [&] {
        rec::step(isNew ? "Hiba103: Új, INSERT a fjsorban " : "Hiba104: Módosit, UPDATE a fjsorban ",
                  [&] {
                      holdTicket(&q, ctx, l.bszam, l.printed);
                      writeLine(&q, ctx, l, a, isNew);
                      refreshStoredTotals(&q, ctx, l.bszam);
                  });
    });
}

} // namespace ticketentry

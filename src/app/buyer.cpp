#include "buyer.h"

#include "Query.h"
#include "masterdata/checks.h"
#include "tickets/numbering.h"
#include "values.h"

namespace buyer {

namespace {

// Text parameters of the profile's UPDATE and the column each one carries.
const std::pair<const char*, const char*> kTextParams[] = {
    {"p2", "V_UTCA"},    {"p5", "V_BANKSZLA"}, {"p6", "V_ADOAZON"},     {"p7", "V_NYILATK"},
    {"p10", "V_VERZIO"}, {"p12", "V_EVNYILV"}, {"p13", "V_KERULET"},    {"p14", "V_JELLEG"},
    {"p15", "V_HAZSZAM"}, {"p16", "V_EPULET"}, {"p17", "V_LEPCSO"},     {"p18", "V_SZINT"},
    {"p19", "V_AJTO"},   {"p22", "V_KOZADOSZAM"}, {"p23", "V_EV_NEVE"},
};

rec::Outcome fail(const char* message, const char* column)
{
    return rec::Outcome::check(QString::fromUtf8(message), column);
}

} // namespace

void runList(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT *  ");
    q->add("  FROM atvevo     ");
    q->open();
}

void runRow(TQuery* q, const QString& akod)
{
    q->close();
    q->clearSql();
    q->add("SELECT *             ");
    q->add("  FROM atvevo     ");
    q->add("  WHERE v_akod = :p0  ");
    q->setText("p0", akod);
    q->open();
}

QString streetLine(TQuery* q)
{
    static const char* const cols[8] = {"V_KERULET", "V_UTCA", "V_JELLEG", "V_HAZSZAM",
                                        "V_EPULET",  "V_LEPCSO", "V_SZINT", "V_AJTO"};
    QStringList parts;
    for (const char* c : cols)
        parts << (q->isEmpty() ? QString() : q->asString(c).trimmed());
    return parts.join(' ');
}

std::optional<Buyer> read(fb::Connection* db, const QString& akod)
{
    TQuery q(db, "buyerRow");
    runRow(&q, akod);
    if (q.isEmpty())
        return std::nullopt;
    Buyer b;
    for (const QString& f : q.fieldNames())
        b.fields[f] = q.asString(f);
    b.ev = q.asString("V_EV") == "true";
    b.kisado = q.asString("V_KISADO") == "true";
    return b;
}

qint64 ticketCount(fb::Connection* db, const QString& akod)
{
    TQuery q(db, "buyerTickets");
    q.add("SELECT  f_akod, count(f_akod) AS sdb ");
    q.add("  FROM Fjfej         ");
    q.add("  WHERE f_akod = :p1 ");
    q.add("  GROUP BY f_akod    ");
    q.setText("p1", akod);
    q.open();
    return q.isEmpty() ? 0 : q.asInteger("sdb");
}

rec::Outcome check(Buyer& b)
{
    const QString koz = b.get("V_KOZADOSZAM").trimmed();
    if (!koz.isEmpty() && koz.size() < 8)
        return fail("Közösségi adószám kevesebb mint 8 karakter!", "V_KOZADOSZAM");
    if (!b.ev) {
        for (const char* c : {"V_ADOAZON", "V_EVNYILV", "V_EV_NEVE"})
            b.set(c, " ");
        return rec::Outcome::saved();
    }
    if (val::rtrim(b.get("V_ADOAZON")).isEmpty())
        return fail("Nincs megadva az egyéni váll.adóazonositó száma!", "V_ADOAZON");
    if (val::rtrim(b.get("V_EVNYILV")).isEmpty())
        return fail("Nincs megadva az egyéni váll.nyilvántart.száma!", "V_EVNYILV");
    if (val::rtrim(b.get("V_EV_NEVE")).isEmpty())
        return fail("Nincs megadva az egyéni váll. neve!", "V_EV_NEVE");
    return rec::Outcome::saved();
}

namespace {

bool blank(const QString& s) { return val::rtrim(s).trimmed().isEmpty(); }

// Name, postal code and town: what every document prints of the buyer.
rec::Outcome checkIdentity(const QString& neve, const QString& irszam, const QString& helyseg)
{
    if (blank(neve))
        return fail("Nincs megadva az átvevő neve!", "V_NEVE");
    if (blank(irszam))
        return fail("Nincs megadva az irányítószám!", "V_IRSZAM");
    if (blank(helyseg))
        return fail("Nincs megadva a helységnév!", "V_HELYSEG");
    return rec::Outcome::saved();
}

qint64 countOf(fb::Connection* db, const char* sql, const QString& p0)
{
    TQuery q(db, "buyerCount");
    q.add(sql);
    q.setText("p0", p0);
    q.open();
    return q.isEmpty() ? 0 : q.asInteger("DB");
}

} // namespace

rec::Outcome checkAdoszam(const QString& typed, const char* column)
{
    if (blank(typed))
        return fail("Nincs megadva az adószáma!", column);
    const std::optional<QString> num = checks::adoszam11(typed.trimmed());
    if (!num)
        return fail("Nem 11 vagy 13 hosszú számsor", column);
    for (QChar c : *num)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return rec::Outcome::check(
                QString::fromUtf8("A számsor csak számjegyekből állhat! ") + *num, column);
    if (!checks::AdoszamEllenorzes(*num))
        return fail("Hibás adószám", column);
    return rec::Outcome::saved();
}

rec::Outcome save(const rec::Context& ctx, Buyer& b)
{
    if (rec::Outcome o = check(b); !o.ok())
        return o;
    if (b.identity) {
        if (rec::Outcome o = checkIdentity(b.get("V_NEVE"), b.get("V_IRSZAM"), b.get("V_HELYSEG"));
            !o.ok())
            return o;
        if (rec::Outcome o = checkAdoszam(b.get("V_ADOSZAM")); !o.ok())
            return o;
        b.set("V_ADOSZAM", *checks::adoszam11(b.get("V_ADOSZAM").trimmed()));
    }
    return rec::unitOfWork(ctx.db, "Hiba171: UPDATE az atvevo ", [&] {
        if (b.identity) {
            // A ticket written meanwhile (another computer) fixes the identity
            // that it printed.
            rec::step("Hiba173: UPDATE atvevo ", [&] {
                if (ticketCount(ctx.db, ctx.akod) > 0)
                    throw rec::CheckError{
                        QString::fromUtf8("Már készült felvásárlási jegy! Nem módositható."),
                        "V_NEVE"};
                TQuery q(ctx.db, "buyerIdentity");
                q.add("UPDATE atvevo SET V_NEVE = :p1, V_IRSZAM = :p3, V_HELYSEG = :p4, "
                      "V_ADOSZAM = :p8 WHERE V_AKOD = :p20");
                q.setText("p1", val::rtrim(b.get("V_NEVE")));
                q.setText("p3", val::rtrim(b.get("V_IRSZAM")));
                q.setText("p4", val::rtrim(b.get("V_HELYSEG")));
                q.setText("p8", b.get("V_ADOSZAM"));
                q.setText("p20", ctx.akod);
                q.execSQL();
                rec::expectRows(&q, 1);
            });
        }
        rec::step("Hiba170: UPDATE atvevo ", [&] {
            TQuery q(ctx.db, "buyerSave");
            q.add("UPDATE atvevo SET V_UTCA = :p2, V_BANKSZLA = :p5, V_ADOAZON = :p6, "
                  "V_NYILATK = :p7, V_VERZIO = :p10, V_EV = :p11, V_EVNYILV = :p12, "
                  "V_KERULET = :p13, V_JELLEG = :p14, V_HAZSZAM = :p15, V_EPULET = :p16, "
                  "V_LEPCSO = :p17, V_SZINT = :p18, V_AJTO = :p19, V_KISADO = :p21, "
                  "V_KOZADOSZAM = :p22, V_EV_NEVE = :p23 WHERE V_AKOD = :p20");
            for (const auto& [param, column] : kTextParams)
                q.setText(param, b.get(column));
            q.setText("p11", b.ev ? "true" : " ");
            q.setText("p21", b.kisado ? "true" : " ");
            q.setText("p20", ctx.akod);
            q.execSQL();
            rec::expectRows(&q, 1);
        });
    });
}

QString sampleName() { return QString::fromUtf8("Minta Felvásárló Kft."); }

namespace {

struct SampleState {
    qint64 buyers = 0;
    std::optional<QString> sampleAkod; // the only buyer, when it is the sample
    qint64 sampleId = 0;
};

SampleState sampleState(fb::Connection* db)
{
    SampleState st;
    TQuery q(db, "buyerSetupState");
    q.add("SELECT id_atvevo, v_akod, v_neve FROM atvevo");
    q.open();
    st.buyers = q.recordCount();
    if (st.buyers == 1 && val::rtrim(q.asString("V_NEVE")) == sampleName()) {
        st.sampleAkod = q.asString("V_AKOD");
        st.sampleId = q.asInteger("ID_ATVEVO");
    }
    return st;
}

bool untouchedSample(fb::Connection* db, const SampleState& st)
{
    if (!st.sampleAkod)
        return false;
    return countOf(db, "SELECT count(*) AS db FROM sorszam WHERE a_akod = :p0", *st.sampleAkod) == 0 &&
           ticketCount(db, *st.sampleAkod) == 0;
}

} // namespace

bool needsSetup(fb::Connection* db)
{
    const SampleState st = sampleState(db);
    return st.buyers == 0 || untouchedSample(db, st);
}

rec::Outcome checkSetup(const Setup& s)
{
    if (rec::Outcome o = checkIdentity(s.neve, s.irszam, s.helyseg); !o.ok()) {
        // The code stands between the name and the postal code on the screen.
        if (o.field != "V_NEVE" && blank(s.akod))
            return fail("Nincs megadva az átvevő kódja!", "V_AKOD");
        return o;
    }
    if (blank(s.akod))
        return fail("Nincs megadva az átvevő kódja!", "V_AKOD");
    if (blank(s.utca))
        return fail("Nincs megadva az utcanév!", "V_UTCA");
    if (rec::Outcome o = checkAdoszam(s.adoszam); !o.ok())
        return o;
    if (const QString e = numbering::yearOpeningError(s.sorszam); !e.isEmpty())
        return rec::Outcome::check(e, "A_FJBSZAM");
    return rec::Outcome::saved();
}

rec::Outcome saveSetup(fb::Connection* db, const Setup& s)
{
    if (rec::Outcome o = checkSetup(s); !o.ok())
        return o;
    const QString akod = s.akod.trimmed();
    const QString adoszam = *checks::adoszam11(s.adoszam.trimmed());
    return rec::unitOfWork(db, "Hiba441: az átvevő beállításakor ", [&] {
        SampleState st;
        rec::step("Hiba442: SELECT atvevo ", [&] { st = sampleState(db); });
        const bool replace = st.sampleAkod.has_value();
        if (st.buyers != 0 && !untouchedSample(db, st))
            throw rec::CheckError{
                QString::fromUtf8("Az átvevő adatait közben már beállították; válassza ki az átvevőt."),
                "V_NEVE"};
        rec::step(replace ? "Hiba443: UPDATE atvevo " : "Hiba444: INSERT atvevo ", [&] {
            TQuery q(db, "buyerSetup");
            if (replace) {
                q.add("UPDATE atvevo SET v_neve = :p1, v_akod = :p2, v_irszam = :p3, "
                      "v_helyseg = :p4, v_utca = :p5, v_jelleg = :p6, v_hazszam = :p7, "
                      "v_adoszam = :p8, v_bankszla = :p9, v_kerulet = :p9, v_epulet = :p9, "
                      "v_lepcso = :p9, v_szint = :p9, v_ajto = :p9 "
                      "WHERE id_atvevo = :p10 AND v_neve = :p11");
                // The sample's bank account is no one's: left for the profile.
                q.setText("p9", " ");
                q.setInteger("p10", st.sampleId);
                q.setText("p11", sampleName());
            } else {
                q.add("INSERT INTO atvevo (v_neve, v_akod, v_irszam, v_helyseg, v_utca, v_jelleg, "
                      "v_hazszam, v_adoszam, v_nyilatk, v_verzio, v_kisado, v_ev) VALUES (:p1, :p2, "
                      ":p3, :p4, :p5, :p6, :p7, :p8, :p12, '', ' ', ' ')");
                q.setText("p12", QString::fromUtf8(
                                     "Alulírott őstermelő kijelentem, hogy a fenti termékeket "
                                     "saját gazdaságomban állítottam elő."));
            }
            q.setText("p1", val::rtrim(s.neve));
            q.setText("p2", akod);
            q.setText("p3", val::rtrim(s.irszam));
            q.setText("p4", val::rtrim(s.helyseg));
            q.setText("p5", val::rtrim(s.utca));
            q.setText("p6", val::rtrim(s.jelleg));
            q.setText("p7", val::rtrim(s.hazszam));
            q.setText("p8", adoszam);
            q.execSQL();
            rec::expectRows(&q, 1);
        });
        rec::step("Hiba445: INSERT sorszam ", [&] {
            TQuery q(db, "buyerSetupSeries");
            q.add("DELETE FROM sorszam WHERE a_akod = :p2");
            q.setText("p2", akod);
            q.execSQL();
            q.setSql("INSERT INTO sorszam (a_fjbszam, a_akod) VALUES (:p1, :p2)");
            q.setText("p1", s.sorszam);
            q.setText("p2", akod);
            q.execSQL();
            rec::expectRows(&q, 1);
        });
    });
}

} // namespace buyer

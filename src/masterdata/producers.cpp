#include "producers.h"

#include "Query.h"
#include "checks.h"
#include "codes.h"
#include "rows.h"
#include "values.h"

namespace producers {

const char* const PrintedLock = "Az őstermelő már szerepel a nyomtatott felvásárlási jegyen !";

namespace {

// The first 25 columns of the list statement, in grid order; true for the
// text columns, which sort in Hungarian order.
const std::pair<const char*, bool> kListColumns[] = {
    {"o_kod", true},        {"o_Nev", true},      {"o_Irszam", true},  {"o_Helysegnev", true},
    {"o_Utca", true},       {"o_Adoazon", true},  {"o_Igszam", true},  {"o_Regszam", true},
    {"o_Adoszam", true},    {"o_Szulhely", true}, {"o_Szido", false},  {"o_Anyja", true},
    {"o_Csgazd", true},     {"o_Szulnev", true},  {"o_Neme", true},    {"o_Bankszla", true},
    {"O_ERVKELT", false},   {"O_BETETLAP", true}, {"O_MUVKTG", false}, {"O_MNYPTAG", true},
    {"o_Szja", false},      {"o_TAJ", true},      {"O_AKOD", true},    {"ID_ostermelo", false},
    {"o_kamara", true},
};

// The window order of a grid column: texts in Hungarian order (the name
// through its own index), the code as it is (digits: the same order, and the
// code's index walks it).
TQuery::Window listWindow(int column)
{
    if (column < 1 || column > int(std::size(kListColumns)))
        column = 2;
    const QString name = QString::fromLatin1(kListColumns[column - 1].first).toUpper();
    const bool text = kListColumns[column - 1].second;
    const QString key = text && name != "O_KOD" ? name + " COLLATE PXW_HUNDC" : name;
    return {{}, key, name, "ID_OSTERMELO", {}, {}};
}

bool ures(const Producer& p, const char* column) { return val::rtrim(p.get(column)).isEmpty(); }

rec::Outcome fail(const char* message, const char* column)
{
    return rec::Outcome::check(QString::fromUtf8(message), column);
}

// A check digit test on a field. A character that is not a digit (a "/" in
// the tax number, a blank read back from the database) cannot pass: the
// message names the field and the character.
std::optional<rec::Outcome> digitTest(bool (*test)(const QString&), const Producer& p,
                                      const char* column, const char* hiba)
{
    try {
        if (test(p.get(column)))
            return std::nullopt;
        return fail(hiba, column);
    } catch (const checks::ConversionError& err) {
        return rec::Outcome::check(QString::fromUtf8(hiba) + " " + err.text(), column);
    }
}

// Text parameters of both statements and the column each one carries.
const std::pair<const char*, const char*> kTextParams[] = {
    {"p1", "O_KOD"},        {"p2", "O_NEV"},      {"p3", "O_IRSZAM"},   {"p4", "O_HELYSEGNEV"},
    {"p5", "O_UTCA"},       {"p6", "O_ADOAZON"},  {"p7", "O_ADOSZAM"},  {"p8", "O_TAJ"},
    {"p9", "O_IGSZAM"},     {"p10", "O_REGSZAM"}, {"p11", "O_CSGAZD"},  {"p12", "O_SZULNEV"},
    {"p13", "O_SZULHELY"},  {"p15", "O_ANYJA"},   {"p16", "O_NEME"},    {"p17", "O_BANKSZLA"},
    {"p20", "O_MNYPTAG"},   {"p21", "O_BETETLAP"}, {"p22", "O_KAMARA"}, {"p23", "O_FELIR"},
    {"p24", "O_KERULET"},   {"p25", "O_JELLEG"},  {"p26", "O_HAZSZAM"}, {"p27", "O_EPULET"},
    {"p28", "O_LEPCSO"},    {"p29", "O_SZINT"},   {"p30", "O_AJTO"},    {"p32", "O_KOZADOSZAM"},
    {"p33", "O_FELJEGYZ"},
};

const char* const kUpdate =
    "UPDATE ostermelo SET ID_ostermelo = :p0, o_kod = :p1, o_Nev = :p2, "
    "o_Irszam = :p3, o_Helysegnev = :p4, o_Utca = :p5, o_Adoazon = :p6, "
    "o_Adoszam = :p7, o_TAJ = :p8, o_Igszam = :p9, o_Regszam = :p10, "
    "o_Csgazd = :p11, o_Szulnev = :p12, o_Szulhely = :p13, o_Szido = :p14, "
    "o_Anyja = :p15, o_Neme = :p16, o_Bankszla = :p17, o_Szja = :p18, "
    "o_Ervkelt = :p19, o_mnyptag = :p20, o_betetlap = :p21, "
    "o_kamara = :p22, o_felir = :p23, O_KERULET = :p24, O_JELLEG = :p25, "
    "O_HAZSZAM = :p26, O_EPULET = :p27, O_LEPCSO = :p28, O_SZINT = :p29, "
    "O_AJTO = :p30, O_FHAT = :p31, O_KOZADOSZAM = :p32, O_FELJEGYZ = :p33 "
    "WHERE ID_ostermelo = :p0";

const char* const kInsert =
    "INSERT INTO ostermelo ( o_kod, o_Nev, o_Irszam, o_Helysegnev, o_Utca, "
    "o_Adoazon, o_Adoszam, o_TAJ, o_Igszam, o_Regszam, o_Csgazd, "
    "o_Szulnev, o_Szulhely, o_Szido, o_Anyja, o_Neme, o_Bankszla, o_Szja, "
    "o_Ervkelt, o_mnyptag, o_betetlap, o_kamara, o_felir, O_KERULET, "
    "O_JELLEG, O_HAZSZAM, O_EPULET, O_LEPCSO, O_SZINT, O_AJTO, O_FHAT, "
    "O_KOZADOSZAM, O_FELJEGYZ ) VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, "
    ":p7, :p8, :p9, :p10, :p11, :p12, :p13, :p14, :p15, :p16, :p17, :p18, "
    ":p19, :p20, :p21, :p22, :p23, :p24, :p25, :p26, :p27, :p28, :p29, "
    ":p30, :p31, :p32, :p33 )";

} // namespace

namespace {

void listStatement(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT o_kod,o_Nev,o_Irszam,o_Helysegnev,o_Utca,o_Adoazon,o_Igszam,o_Regszam,"
           "o_Adoszam,o_Szulhely,o_Szido,o_Anyja,o_Csgazd,o_Szulnev,o_Neme,o_Bankszla,"
           "O_ERVKELT,O_BETETLAP,O_MUVKTG,O_MNYPTAG,o_Szja,o_TAJ,O_AKOD, ");
    q->add("       ID_ostermelo, o_kamara, o_felir,O_KERULET,  O_JELLEG, O_HAZSZAM, O_EPULET,  "
           "O_LEPCSO,  O_SZINT,    O_AJTO,     O_FHAT, O_KOZADOSZAM, O_FELJEGYZ   ");
    q->add("  FROM ostermelo     ");
}

} // namespace

void runList(TQuery* q, int orderColumn)
{
    listStatement(q);
    q->openWindow(listWindow(orderColumn));
}

void runListOn(TQuery* q, const QString& kod)
{
    QString name;
    if (!kod.isEmpty()) {
        TQuery n(q->connection(), "producerName");
        n.add("SELECT o_nev FROM ostermelo WHERE o_kod = :p1");
        n.setText("p1", kod);
        n.open();
        if (!n.isEmpty())
            name = n.asString("O_NEV");
    }
    listStatement(q);
    // Producers of the same name follow each other: the code among them.
    q->openWindow(listWindow(0), name);
    if (!name.isEmpty())
        q->locatePrefix("O_KOD", kod);
}

void runPrintList(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT * FROM ostermelo ORDER BY o_Nev COLLATE PXW_HUNDC, o_Szido");
    q->open();
}

QString nextCode(fb::Connection* db)
{
    TQuery q(db, "producerCodes");
    q.add("SELECT o_kod FROM ostermelo");
    q.open();
    return codes::nextCode(&q, "O_KOD");
}

qint64 printedTickets(fb::Connection* db, const QString& kod)
{
    TQuery q(db, "producerTickets");
    q.add("SELECT f_ostermkod, count(f_ostermkod) as db ");
    q.add("  FROM  FjFej                                ");
    q.add("  WHERE (f_ostermkod = :p1) AND (f_prn = :p2)");
    q.add("  GROUP BY f_ostermkod                       ");
    q.setText("p1", kod);
    q.setText("p2", "I");
    q.open();
    return q.isEmpty() ? 0 : q.asInteger("db");
}

rec::Outcome check(const Producer& p)
{
    // A line break in a name would start a new line in the files sent to the
    // tax authority; only the notes may hold lines.
    for (const auto& [param, column] : kTextParams) {
        if (QLatin1String(column) == QLatin1String("O_FELJEGYZ"))
            continue;
        if (const auto c = checks::controlChar(p.get(column)))
            return rec::Outcome::check("Nem megengedett karakter (" + checks::controlCharName(*c) +
                                           ") a mezőben!",
                                       column);
    }
    if (ures(p, "O_NEV"))
        return fail("Nincs megadva a neve!", "O_NEV");
    if (ures(p, "O_IRSZAM"))
        return fail("Nincs megadva az irányitószám!", "O_IRSZAM");
    if (p.get("O_IRSZAM").trimmed().size() < 4)
        return fail("Az irányitószám kevesebb mint 4 karakter!", "O_IRSZAM");
    if (ures(p, "O_HELYSEGNEV"))
        return fail("Nincs megadva a helységnév!", "O_HELYSEGNEV");
    if (ures(p, "O_UTCA"))
        return fail("Nincs megadva az utca!", "O_UTCA");
    if (ures(p, "O_ADOAZON"))
        return fail("Nincs megadva az adóazonositó!", "O_ADOAZON");
    if (ures(p, "O_IGSZAM"))
        return fail("Nincs megadva az őstermelő ig.szám!", "O_IGSZAM");
    if (ures(p, "O_SZJA"))
        return fail("Nincs megadva az szja!", "O_SZJA");
    if (ures(p, "O_SZULHELY"))
        return fail("Nincs megadva a születési hely!", "O_SZULHELY");
    if (ures(p, "O_SZIDO"))
        return fail("Nincs megadva a születési idő!", "O_SZIDO");
    if (ures(p, "O_ANYJA"))
        return fail("Nincs megadva az anyja neve!", "O_ANYJA");
    if (ures(p, "O_NEME"))
        return fail("Nincs megadva a neme!", "O_NEME");
    if (ures(p, "O_SZULNEV"))
        return fail("Nincs megadva a születési neve!", "O_SZULNEV");
    if (ures(p, "O_FHAT"))
        return fail("Nincs megadva a napok száma vagy nulla!", "O_FHAT");
    bool fhatOk = false;
    const qint64 fhat = p.get("O_FHAT").trimmed().toLongLong(&fhatOk);
    // A number too large for the INTEGER column counts as wrong too.
    if (!fhatOk || fhat < 0 || fhat > std::numeric_limits<qint32>::max())
        return fail("Hibás szám vagy nullát adjon meg!", "O_FHAT");
    const QString koz = p.get("O_KOZADOSZAM").trimmed();
    if (!koz.isEmpty() && koz.size() < 8)
        return fail("Közösségi adószám kevesebb mint 8 karakter!", "O_KOZADOSZAM");
    const bool tajKell = !p.uresTaj;
    if (ures(p, "O_TAJ") && tajKell)
        return fail("Nincs megadva a TAJ!", "O_TAJ");
    if (ures(p, "O_ADOSZAM"))
        return fail("Nincs megadva az adószáma!", "O_ADOSZAM");
    if (p.get("O_IGSZAM").size() < 5)
        return fail("Az őstermelő ig.szám kevésebb mint 5 karakter!", "O_IGSZAM");
    if (p.get("O_IGSZAM").size() > 8)
        return fail("Az őstermelő ig.szám többmint 8 karakter!", "O_IGSZAM");
    if (!val::parseDate(p.get("O_SZIDO")))
        return fail("A születési idö dátum formátuma nem megfelelö!", "O_SZIDO");
    if (!val::parseDate(p.get("O_ERVKELT")))
        return fail("Az érvényesités dátum formátuma nem megfelelö!", "O_ERVKELT");
    if (p.get("O_ADOAZON").size() != 10)
        return fail("Nem 10 hosszú számsor", "O_ADOAZON");
    if (auto f = digitTest(checks::AdoazonEllenorzes, p, "O_ADOAZON", "Hibás adóazonositó"))
        return *f;
    if (p.get("O_ADOSZAM").size() != 11)
        return fail("Kevesebb mint 11 hosszú számsor", "O_ADOSZAM");
    if (auto f = digitTest(checks::AdoszamEllenorzes, p, "O_ADOSZAM", "Hibás adószám"))
        return *f;
    if (tajKell) {
        if (p.get("O_TAJ").size() != 9)
            return fail("Kevesebb mint 9 hosszú számsor", "O_TAJ");
        if (auto f = digitTest(checks::TAJEllenorzes, p, "O_TAJ", "Hibás TAJ"))
            return *f;
    }
    bool szjaOk = false;
    p.get("O_SZJA").trimmed().toLongLong(&szjaOk);
    if (!szjaOk)
        return fail("Hibás szám az szja mezőben!", "O_SZJA");
    return rec::Outcome::saved();
}

rec::Outcome save(const rec::Context& ctx, const Producer& p, Mode mode, QString* kod)
{
    if (rec::Outcome o = check(p); !o.ok())
        return o;
    const bool modify = mode == Mode::Modify;
    QString code = p.get("O_KOD");
    const rec::Outcome o = rec::unitOfWorkRetrying(
        ctx.db, "Hiba54: az append vagy edit közben az östermelöben!", [&] {
            rec::step(modify ? "Hiba53: Módositás, Update a östermelöben "
                             : "Hiba52: Újban, INSERT az östermelöben ",
                      [&] {
                          TQuery q(ctx.db, "producerSave");
                          if (modify) {
                              q.add("SELECT count(*) AS db FROM ostermelo WHERE o_kod = :p1 "
                                    "AND ID_ostermelo <> :p0");
                              q.setText("p1", p.get("O_KOD"));
                              q.setText("p0", p.get("ID_OSTERMELO"));
                              q.open();
                              if (q.asInteger("db") > 0)
                                  throw rec::CheckError{codes::takenMessage(p.get("O_KOD")), "O_KOD"};
                              q.close();
                              q.clearSql();
                          } else {
                              code = codes::take(ctx.db, "ostermelo", "O_KOD", p.get("O_KOD"));
                          }
                          q.add(modify ? kUpdate : kInsert);
                          if (modify)
                              q.setText("p0", p.get("ID_OSTERMELO"));
                          for (const auto& [param, column] : kTextParams)
                              q.setText(param, p.get(column));
                          q.setText("p1", code);
                          q.setDate("p14", *val::parseDate(p.get("O_SZIDO")));
                          q.setDate("p19", *val::parseDate(p.get("O_ERVKELT")));
                          q.setInteger("p18", p.get("O_SZJA").trimmed().toLongLong());
                          q.setInteger("p31", p.get("O_FHAT").trimmed().toLongLong());
                          codes::insertCode(&q);
                          rec::expectRows(&q, 1);
                      });
        });
    if (o.ok() && kod)
        *kod = code;
    return o;
}

rec::Outcome remove(const rec::Context& ctx, const QString& id, const QString& kod)
{
    return rows::removeUnlessLast(ctx, "ostermelo", "ID_ostermelo", id,
                                  "Az utolsó őstermelősor nem törölhető ki.",
                                  "Hiba41: östermelö DELETE törlésekor", [&] {
                                      // The producer's tickets held: one printed
                                      // meanwhile meets this delete.
                                      TQuery t(ctx.db, "producerTicketsHeld");
                                      t.add("SELECT f_prn FROM FjFej WHERE f_ostermkod = :p1 "
                                            "WITH LOCK");
                                      t.setText("p1", kod);
                                      t.open();
                                      for (t.first(); !t.eof(); t.next())
                                          if (t.asString("F_PRN") == "I")
                                              throw rec::CheckError{
                                                  QString::fromUtf8(PrintedLock), {}};
                                  });
}

} // namespace producers

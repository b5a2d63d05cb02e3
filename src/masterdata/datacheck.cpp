#include "datacheck.h"

#include <QSet>

#include "Query.h"
#include "checks.h"
#include "values.h"

#include <functional>

namespace datacheck {

namespace {

const QString kClosing = "Klikk az ablakba és kurzor billentyüvel mozoghat benne. ";

// A value that a section cannot read: stops the run.
struct Stop {
    QString text;
};

class Writer {
public:
    explicit Writer(TQuery* q) : q_(q) {}
    QStringList lines;

    // One section: the start line, a finding per failing row, the end line
    // and a blank line. `test` answers the message of the row's finding, or
    // nothing; `ident` the identifying texts.
    void section(const QString& title, const std::function<QStringList()>& findings)
    {
        lines << "    " + title + "... ";
        for (q_->first(); !q_->isEmpty() && !q_->eof(); q_->next())
            lines << findings();
        lines << "    " + title + " vége. " << " ";
    }
    QString s(const char* field) const { return q_->asString(field); }

private:
    TQuery* q_;
};

bool checkDigits(bool (*test)(const QString&), const QString& text)
{
    try {
        return test(text);
    } catch (const checks::ConversionError& e) {
        throw Stop{e.text()};
    }
}

// The three identifier sections. `trimLengths`: the producer run trims the tax
// number and tax identifier before their length tests (only there).
void identifierSections(Writer& w, bool trimLengths, const std::function<QString()>& who)
{
    auto len = [&](const QString& v) { return trimLengths ? v.trimmed().size() : v.size(); };
    w.section("Adószám ellenörzés", [&]() -> QStringList {
        const QString v = w.s("O_ADOSZAM");
        if (len(v) < 8)
            return {"Hiba (kevesebb nyolc számnál): " + v + " " + who()};
        if (!checkDigits(checks::AdoszamEllenorzes, v))
            return {"Hiba (hibás adószám): " + v + " " + who()};
        return {};
    });
    w.section("Adóazonositó ellenörzés", [&]() -> QStringList {
        const QString v = w.s("O_ADOAZON");
        if (len(v) != 10)
            return {"Hiba (kevesebb tiz számnál): " + v + " " + who()};
        if (!checkDigits(checks::AdoazonEllenorzes, v))
            return {"Hiba (hibás adóazonositó): " + v + " " + who()};
        return {};
    });
    w.section("TAJ ellenörzés", [&]() -> QStringList {
        const QString v = w.s("O_TAJ");
        if (v.size() != 9)
            return {"Hiba (kevesebb 9 számnál): " + v + " " + who()};
        if (!checkDigits(checks::TAJEllenorzes, v))
            return {"Hiba (hibás TAJ): " + v + " " + who()};
        return {};
    });
}

struct EmptyCheck {
    const char* title;
    const char* field;
    const char* message;
};

void emptySections(Writer& w, const std::vector<EmptyCheck>& list,
                   const std::function<QString()>& ident)
{
    for (const EmptyCheck& c : list)
        w.section(QString::fromUtf8(c.title), [&]() -> QStringList {
            if (w.s(c.field).isEmpty())
                return {QString::fromUtf8(c.message) + ident()};
            return {};
        });
}

Run finish(Writer& w, const std::function<void()>& body)
{
    Run r;
    try {
        body();
        w.lines << kClosing;
    } catch (const Stop& s) {
        r.error = s.text;
    }
    r.lines = w.lines;
    return r;
}

// A number as the run reads it; a text that is not one stops the run.
double number(const QString& field, const QString& text, const QString& bszam)
{
    const auto v = val::parseNumber(text);
    if (!v)
        throw Stop{QString("\"%1\" nem szám (%2, %3. sz. felvásárlási jegy).").arg(text, field, bszam)};
    return *v;
}

} // namespace

void collectTickets(const rec::Context& ctx, TQuery* q, const QDate& from, const QDate& to)
{
    q->close();
    q->clearSql();
    q->add("SELECT *                                  ");
    q->add("  FROM fjsor                              ");
    q->add("  LEFT JOIN fjfej     ON s_bszam     = f_bszam ");
    q->add("  LEFT JOIN ostermelo ON f_ostermkod = o_kod   ");
    q->add("  WHERE (f_fizkelt >= :p1 AND f_fizkelt <= :p2)AND (f_akod = :p3) ");
    q->setDate("p1", from);
    q->setDate("p2", to);
    q->setText("p3", ctx.akod);
    q->open();
}

void collectProducers(TQuery* q)
{
    q->close();
    q->clearSql();
    q->add("SELECT *         ");
    q->add("  FROM ostermelo ");
    q->open();
}

Run checkTickets(TQuery* q)
{
    Writer w(q);
    return finish(w, [&] {
        identifierSections(w, false, [&] { return w.s("O_NEV") + " Kódja: " + w.s("F_OSTERMKOD"); });
        auto bszam = [&] { return w.s("S_BSZAM"); };
        emptySections(
            w,
            {{"Östermelökód ellenörzés", "F_OSTERMKOD", "Hiba (nincs östermelö megadva): "},
             {"Östermelö név ellenörzés", "O_NEV", "Hiba (nincs östermelö név megadva): "},
             {"Östermelö irányitószám ellenörzés", "O_IRSZAM",
              "Hiba (nincs östermelö irányitószám megadva): "},
             {"Östermelö Helységnév ellenörzés", "O_HELYSEGNEV",
              "Hiba (nincs östermelö Helységnév megadva): "},
             {"Östermelö Utca ellenörzés", "O_UTCA", "Hiba (nincs östermelö Utca megadva): "},
             {"Östermelö ig.szám ellenörzés", "O_IGSZAM", "Hiba (nincs östermelö ig.szám megadva): "},
             {"Östermelö születési hely ellenörzés", "O_SZULHELY",
              "Hiba (nincs östermelö születési hely megadva): "},
             {"Östermelö születési idö ellenörzés", "O_SZIDO",
              "Hiba (nincs östermelö születési idö megadva): "},
             {"Östermelö anyja neve ellenörzés", "O_ANYJA",
              "Hiba (nincs östermelö anyja neve megadva): "},
             {"Östermelö neme ellenörzés", "O_NEME", "Hiba (nincs östermelö neme megadva): "},
             {"Östermelö születési neve ellenörzés", "O_SZULNEV",
              "Hiba (nincs östermelö születési neve megadva): "},
             {"Szja ellenörzés", "F_SZJA", "Hiba (nincs szja (minimum 0) megadva): "}},
            bszam);
        // Printing is the ticket's, not the line's: one warning for a ticket.
        QSet<QString> unprinted;
        w.section("Volt-e nyomtatva? ellenörzés", [&]() -> QStringList {
            if (w.s("F_PRN") != "I" && !unprinted.contains(bszam())) {
                unprinted.insert(bszam());
                return {"Figyelmeztetés (még nincs kinyomtatva): " + bszam()};
            }
            return {};
        });
        emptySections(w,
                      {{"Termékkód ellenörzés", "S_TERMEKKOD",
                        "Figyelmeztetés (nincs termékkód megadva): "}},
                      bszam);
        w.section("Mennyiség ellenörzés", [&]() -> QStringList {
            const QString v = w.s("S_NETTO");
            if (v.isEmpty())
                return {"Hiba (nincs mennyiség megadva): " + bszam()};
            if (number("S_NETTO", v, bszam()) == 0)
                return {"Hiba (nullás mennyiség van megadva): " + bszam()};
            return {};
        });
        w.section("Egységár ellenörzés", [&]() -> QStringList {
            const QString v = w.s("S_EAR");
            if (v.isEmpty())
                return {"Hiba (nincs egységár megadva): " + bszam()};
            if (v == "0")
                return {"Hiba (nullás egységár van megadva): " + bszam()};
            if (!(number("S_EAR", v, bszam()) > 0))
                return {"Hiba (nulla vagy minuszos egységár van megadva): " + bszam()};
            return {};
        });
        w.section("Komp.felár ellenörzés", [&]() -> QStringList {
            const QString v = w.s("S_KOMPMERTEKE");
            if (v.isEmpty())
                return {"Hiba (nincs Komp.felár megadva): " + bszam()};
            bool ok = false;
            const int rate = v.trimmed().toInt(&ok);
            if (!ok)
                throw Stop{QString("\"%1\" nem egész szám (Komp.felár, %2. sz. felvásárlási jegy).")
                               .arg(v, bszam())};
            if (rate != 12 && rate != 7)
                return {"Hiba (nem 7, 12 % van megadva): " + bszam()};
            return {};
        });
    });
}

Run checkProducers(TQuery* q)
{
    Writer w(q);
    return finish(w, [&] {
        auto who = [&] { return w.s("O_NEV") + " Kódja: " + w.s("O_KOD"); };
        identifierSections(w, true, who);
        emptySections(
            w,
            {{"Östermelö név ellenörzés", "O_NEV", "Hiba (nincs östermelö név megadva)  "},
             {"Östermelö irányitószám ellenörzés", "O_IRSZAM",
              "Hiba (nincs östermelö irányitószám megadva)  "},
             {"Östermelö Helységnév ellenörzés", "O_HELYSEGNEV",
              "Hiba (nincs östermelö Helységnév megadva):  "},
             {"Östermelö Utca ellenörzés", "O_UTCA", "Hiba (nincs östermelö Utca megadva)   "},
             {"Östermelö ig.szám ellenörzés", "O_IGSZAM",
              "Hiba (nincs östermelö ig.szám megadva)   "}},
            who);
        w.section("Östermelö születési hely ellenörzés", [&]() -> QStringList {
            if (w.s("O_SZULHELY").isEmpty())
                return {"Hiba (nincs östermelö születési hely megadva)   " + who()};
            return {};
        });
        w.section("Östermelö születési idö ellenörzés", [&]() -> QStringList {
            QStringList out;
            const QString v = w.s("O_SZIDO");
            if (v.isEmpty())
                out << "Hiba (nincs östermelö születési idö megadva)   " + who();
            if (!val::parseDate(v))
                out << "Hiba (Hibás östermelö születési idö )   " + who();
            return out;
        });
        emptySections(w,
                      {{"Östermelö anyja neve ellenörzés", "O_ANYJA",
                        "Hiba (nincs östermelö anyja neve megadva)   "},
                       {"Östermelö neme ellenörzés", "O_NEME",
                        "Hiba (nincs östermelö neme megadva)   "},
                       {"Östermelö születési neve ellenörzés", "O_SZULNEV",
                        "Hiba (nincs östermelö születési neve megadva)   "}},
                      who);
    });
}

QString refusal(Collection collected, Collection wanted)
{
    if (collected == wanted)
        return {};
    if (collected == Collection::None)
        return "Előbb a Kigyüjtés gombbal gyűjtse ki az adatokat!";
    if (wanted == Collection::Tickets)
        return "A kigyüjtött adatok az Östermelö lapról valók. Az ellenőrzés előtt ezen a lapon "
               "nyomja meg a Kigyüjtés gombot!";
    return "A kigyüjtött adatok a Felvásárlási jegy lapról valók. Az ellenőrzés előtt ezen a "
           "lapon nyomja meg a Kigyüjtés gombot!";
}

} // namespace datacheck

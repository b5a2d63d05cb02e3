#pragma once
// Tickets and lines written straight into a test database, and the ticket
// templates copied beside it.

#include "records.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>

struct TicketSpec {
    TicketSpec() = default;
    TicketSpec(const char* number, const char* producer = "00001",
               const char* issued = "2026.03.10")
        : bszam(QString::fromUtf8(number)), ostermkod(QString::fromUtf8(producer)),
          kelt(QString::fromUtf8(issued))
    {
    }
    QString bszam;
    QString ostermkod = "00001";
    QString kelt = "2026.03.10";
    // Purchase and payment dates; "" gives the day before and the day after the
    // issue date, so that a query on the wrong date column misses.
    QString felvkelt, fizkelt;
    bool transfer = false;
    int szja = 0;
    double jarulszaz = 0;
    double levonas = 0;
    QString prn;           // "" leaves it NULL
    QString tipus = "1";
    QString ervenyt;
    QString megj = "Első szállítás";
    QString nyilatk = "Saját termelésből származik.";
    double muvktg = 0;
    double sumvar = 0;
};

inline QString sqlText(const QString& s)
{
    return "'" + QString(s).replace("'", "''") + "'";
}

inline QString sqlOrNull(const QString& s) { return s.isEmpty() ? "NULL" : sqlText(s); }

// A number as given: QString::arg(double) keeps six digits (1234567.891
// would be stored as 1234570).
inline QString sqlNumber(double v) { return QString::number(v, 'g', 15); }

inline void addTicket(TestDb& db, const TicketSpec& t, const QString& akod = "00001")
{
    const QDate kelt = QDate::fromString(t.kelt, "yyyy.MM.dd");
    auto sqlDate = [&](const QString& d, int fromIssue) {
        const QDate day = d.isEmpty() ? kelt.addDays(fromIssue) : QDate::fromString(d, "yyyy.MM.dd");
        return "'" + day.toString("yyyy-MM-dd") + "'";
    };
    const QString date =
        sqlDate(t.kelt, 0) + ", " + sqlDate(t.felvkelt, -1) + ", " + sqlDate(t.fizkelt, 1);
    db.exec(QString("INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, "
                    "f_fizkelt, f_utal, f_prn, f_szja, f_jarulszaz, f_levonas, f_megj, f_nyilatk, "
                    "f_muvktg, f_tipus, f_ervenyt, f_sumvar, f_pipa) VALUES (%1, %2, %3, %4, "
                    "%5, %6, %7, %8, %9, %10, %11, %12, %13, %14, %15, 'p')")
                .arg(sqlText(t.bszam), sqlText(akod), sqlText(t.ostermkod), date,
                     t.transfer ? "'x'" : "' '", sqlOrNull(t.prn))
                .arg(t.szja)
                .arg(sqlNumber(t.jarulszaz), sqlNumber(t.levonas))
                .arg(sqlText(t.megj), sqlText(t.nyilatk))
                .arg(sqlNumber(t.muvktg))
                .arg(sqlOrNull(t.tipus), sqlOrNull(t.ervenyt))
                .arg(sqlNumber(t.sumvar)));
}

inline void addLine(TestDb& db, const QString& bszam, const QString& name, double brutto,
                    double ear, double komp, double levonszaz = 0, const QString& akod = "00001")
{
    db.exec(QString("INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, "
                    "s_brutto, s_megy, s_ear, s_kompmerteke, s_akod, s_szja, s_bizonylat) VALUES "
                    "(%1, '00001', %2, '1001', %3, %4, 'kg', %5, %6, %7, 0, 'B1')")
                .arg(sqlText(bszam), sqlText(name))
                .arg(sqlNumber(levonszaz), sqlNumber(brutto), sqlNumber(ear), sqlNumber(komp))
                .arg(sqlText(akod)));
}

// The rules' context for the buyer, as the buyer selection would give it.
inline rec::Context contextFor(TestDb& db, const QString& akod = "00001")
{
    rec::Context c;
    c.db = &db.data()->ZCon1;
    c.akod = akod;
    c.today = QDate(2026, 3, 20);
    return c;
}

// A statement run and committed through a second attachment of the same
// database, as another computer would run it.
inline void execElsewhere(TestDb& db, const QString& sql)
{
    fb::Connection other;
    other.attach(db.file());
    other.executeImmediate(sql);
    other.commit();
    other.detach();
}

// The ticket templates of the program, into the test's current folder.
inline void copyTicketTemplates()
{
    for (const char* n : {"FjLista7.frf", "FjLista7L.frf", "FjLista7O.frf"}) {
        const QString dst = QDir::current().filePath(n);
        QFile::remove(dst);
        QFile::copy(QString(VADMO_SOURCE_DIR) + "/src/reports/templates/" + n, dst);
    }
}

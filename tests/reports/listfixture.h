#pragma once
// Tickets for the list tests: single tickets through the ticket fixture, a
// busy database in one statement, the list templates beside the database.

#include "../tickets/ticketfixture.h"
#include "reports/engine/Report.h"

#include <QFile>

// Sets the payment and purchase dates of a ticket apart from its issue date.
inline void setDates(TestDb& db, const QString& bszam, const QString& fizkelt,
                     const QString& felvkelt)
{
    db.exec(QString("UPDATE fjfej SET f_fizkelt = '%1', f_felvkelt = '%2' WHERE f_bszam = '%3'")
                .arg(QString(fizkelt).replace('.', '-'), QString(felvkelt).replace('.', '-'), bszam));
}

// `tickets` tickets of `perTicket` lines each over the year 2026, spread over
// the sample producers and a few products (one of them a very long name);
// every third ticket is paid by transfer. Values are whole numbers so a test
// can sum them itself.
inline void addBusyYear(TestDb& db, int tickets, int perTicket)
{
    // Straight to the engine: the statement's local variables are not parameters.
    fb::Connection& con = db.data()->ZCon1;
    con.executeImmediate(QString(R"(EXECUTE BLOCK AS
DECLARE i INTEGER = 0;
DECLARE j INTEGER;
DECLARE b VARCHAR(8);
DECLARE d DATE;
BEGIN
  WHILE (i < %1) DO BEGIN
    b = CAST(30000000 + i AS VARCHAR(8));
    d = DATEADD(MOD(i, 365) DAY TO DATE '2026-01-01');
    INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, f_utal, f_prn,
                       f_szja, f_jarulszaz, f_levonas, f_muvktg, f_tipus, f_sumvar)
      VALUES (:b, '00001', '0000' || (MOD(:i, 3) + 1), :d, :d, :d,
              IIF(MOD(:i, 3) = 0, 'x', ' '), 'I', 0, 0, 0, 1000 + :i, '1', 0);
    j = 0;
    WHILE (j < %2) DO BEGIN
      INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_levonszaz, s_brutto, s_megy,
                         s_ear, s_kompmerteke, s_akod, s_szja, s_bizonylat)
        VALUES (:b, '00001',
                DECODE(MOD(:i + :j, 4), 0, 'Búza', 1, 'Napraforgó', 2, 'Őszibarack',
                       'Étkezési minőségű, válogatott, kézzel szedett téli alma hosszú névvel'),
                '1001', 0, 10 + MOD(:i * 7 + :j, 90), 'kg', 50 + MOD(:j, 5), IIF(MOD(:j, 2) = 0, 12, 7),
                '00001', 0, 'B1');
      j = j + 1;
    END
    i = i + 1;
  END
END)")
                .arg(tickets)
                .arg(perTicket));
    con.commit();
}

inline void copyListTemplates()
{
    for (const char* n : {"FjLista4.frf", "FjLista5.frf", "FjLista8.frf", "FjLista9.frf",
                          "FjLista10.frf", "FjLista11.frf", "FjLista12.frf", "FjLista13.frf",
                          "FjSzerzodes.frf"}) {
        QFile::remove(n);
        QFile::copy(QString(VADMO_SOURCE_DIR) + "/src/reports/templates/" + n, n);
    }
}

inline QString pagesText(const rep::Report& r)
{
    QStringList out;
    for (const auto& p : r.pages())
        out << p.texts();
    return out.join('\n');
}

// Texts cut at their box's edges, as "page: text".
inline QStringList clippedTexts(const rep::Report& r)
{
    QStringList out;
    for (size_t p = 0; p < r.pages().size(); ++p)
        for (const auto& it : r.pages()[p].items)
            if (it.kind == rep::PreparedItem::Text && it.clipped)
                out << QString::number(p + 1) + ": " + it.text;
    return out;
}

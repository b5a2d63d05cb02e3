#pragma once
// What the ticket and line entry screens read and write, without the widgets:
// sums, the header save with the counter, the line save.

#include "payable.h"

#include <QDate>
#include <QString>

class TQuery;

namespace ticketentry {

struct Sums {
    double far = 0;    // purchase value
    double kfelar = 0; // compensation surcharge
    double var = 0;    // purchase price
};

// Sums of one ticket's lines (ZQ21); zeros without lines.
Sums ticketSums(TQuery* q, const QString& bszam);
// The producer's totals to date over every saved ticket of every buyer (ZQ11).
Sums producerSums(TQuery* q, const QString& ostKod);
// Number of lines stored under the ticket number.
int lineCount(TQuery* q, const QString& bszam);

// Removes lines left under a number that was never taken (an abandoned new
// ticket); committed at once. Throws on failure.
void removeOrphanLines(TQuery* q, const QString& bszam);

struct Header {
    qint64 id = 0; // ID_FJFEJ, modification only
    QString bszam;
    QString ostKod;
    QDate kelt, felvkelt, fizkelt;
    bool utal = false;
    qint64 szja = 0;
    QString megj;
    QString nyilatk; // " " when no declaration
    double levonas = 0;
    double jarulszaz = 0;
    double muvktg = 0; // payable amount as last computed
    double sumvar = 0; // V, unrounded
};

enum class SaveResult {
    Ok,
    InsertFailed,  // "Hiba94: Újban, INSERT a Fjfejben "
    CounterFailed, // "Hiba93: Új UPDATE Sorszam -ba "
    UpdateFailed,  // "Hiba95: Módositás, UPDATE a Fjegy fejben "
    Other,         // "Hiba96: az INSERT vagy UPDATE közben a fjegy fejben!"
};
QString message(SaveResult r);

// One unit of work each: a new header with the counter written back, or the
// changed header. Nothing stays stored when any statement fails.
SaveResult saveNew(const Header& h);
SaveResult saveModified(const Header& h);

struct Line {
    qint64 id = 0; // ID_FJSOR, change only
    QString bszam, termekkod, megnevezes, vtsz, megy, bizonylat;
    double brutto = 0, ear = 0, kompmerteke = 0, levonszaz = 0;
};

enum class LineResult {
    Ok,
    InsertFailed, // "Hiba103: Új, INSERT a fjsorban "
    UpdateFailed, // "Hiba104: Módosit, UPDATE a fjsorban "
    Other,        // "Hiba105: az INSERT vagy UPDATE közben a terméksorban!"
};
QString message(LineResult r);
LineResult saveLine(const Line& l, bool isNew);

} // namespace ticketentry

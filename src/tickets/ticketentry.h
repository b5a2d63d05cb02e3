#pragma once
// What the ticket and line entry screens read and write, without the widgets:
// sums, the header's checks and save with the counter, the line's checks and
// save. The checks run in the screens' order; a failed one names the field
// (objectName on the screen) that gets the focus.

#include "payable.h"
#include "records.h"

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

// Opens the ticket's lines on q (the entry screen's grid), in entry order.
void openLines(TQuery* q, const QString& bszam);
// Opens the producer with the given code on q (one row, or none).
void openProducer(TQuery* q, const QString& kod);
// "Súlylevon.%" of a stored ticket: the first line's, "0" without lines.
QString firstLineDeduction(const rec::Context& ctx, const QString& bszam);

// Removes lines left under a number that was never taken (an abandoned new
// ticket) unless a header has it by now; committed at once. `message` is the
// screen's numbered message.
rec::Outcome removeOrphanLines(const rec::Context& ctx, const QString& bszam, const char* message);
// "Töröl": one line, committed at once, so a later failed save cannot bring it back.
// Refused like a line's save when the ticket was printed or voided meanwhile
// (`printed`: the ticket was already printed when the entry opened it).
rec::Outcome deleteLine(const rec::Context& ctx, qint64 id, bool printed = false);
// Refusal of a change to a ticket that another computer printed or voided
// while the entry had it open.
QString lockedTicketMessage();

// The largest ticket total (purchase value, surcharge, purchase price) and
// payable amount a line may lead to: far above any real ticket, and small
// enough that every amount stays exact in the stored columns.
constexpr double kAmountLimit = 999999999999.0;

// The header as typed on the entry screen.
struct Header {
    qint64 id = 0; // ID_FJFEJ, modification only
    QString bszam;   // a new ticket: the number offered; the save takes the counter's
    QString lineKey; // a new ticket: the key its lines wait under (newTicketKey); empty: bszam
    QString ostKod;
    QString kelt, felvkelt, fizkelt;        // issue, purchase and payment dates
    QString szja, levonas, levonszaz, jarul; // "Szja %", "Levonás (Ft)", "Súlylevon.%", "Tagi h.járul.%"
    bool utal = false;
    QString megj;
    QString nyilatk; // " " when no declaration
    double muvktg = 0; // payable amount as last computed
    double sumvar = 0; // V, unrounded
    // The ticket was printed when the entry opened it (the list's service
    // shortcut): only then may a printed ticket be changed.
    bool printed = false;
};

enum class Mode { New, Modify };

// "OK" of the entry screen: the header's checks, then one unit of work: the
// buyer's next number taken from the counter, the new header under it and
// the ticket's lines moved from their key to it; or the changed header (which
// must still exist). Nothing stays stored when any statement fails. Another
// computer taking a number at the same moment makes the unit run again with
// the next number, a few times before it is refused. `number` receives the
// number the new ticket was saved under (the offered one unless another
// computer took it meanwhile).
rec::Outcome saveHeader(const rec::Context& ctx, const Header& h, Mode mode,
                        QString* number = nullptr);

// The key under which the lines of a new, unsaved ticket wait on this
// attachment: "*" and seven digits, never a ticket number, and no other
// computer's at the same time. The save moves them to the number it takes.
QString newTicketKey(const rec::Context& ctx);
// Before a new ticket: removes the lines of an earlier new ticket abandoned
// on this attachment, of attachments that have ended (a crash), and any
// left under the offered number without a header by earlier versions;
// committed at once. `message` is the screen's numbered message.
rec::Outcome clearAbandonedLines(const rec::Context& ctx, const QString& offered,
                                 const char* message);

// The line as typed on the line entry screen.
struct Line {
    qint64 id = 0; // ID_FJSOR, change only
    QString bszam;
    QString termekkod, megnevezes, vtsz, brutto, megy, ear, kompmerteke, bizonylat;
    QString levonszaz;    // the entry screen's "Súlylevon.%" at the moment of saving
    payable::Input rates; // the ticket's percentages, deduction and payment mode
    bool printed = false; // as Header::printed
};

// "OK" of the line entry: the line's checks (among them that the ticket's
// totals and payable stay within kAmountLimit), then the insert or the update
// of an existing line, committed. A line of a stored ticket that another
// computer printed or voided since the entry opened it is refused with
// lockedTicketMessage(), nothing changed.
rec::Outcome saveLine(const rec::Context& ctx, const Line& l, Mode mode);

} // namespace ticketentry

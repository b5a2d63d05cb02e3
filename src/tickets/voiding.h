#pragma once
// Voiding a printed ticket: a new document under the buyer's next number that
// copies the ticket with negated quantities and amounts, and the references
// between the two. No widgets; the list and the voiding screen call these.

#include "records.h"

#include <QDate>
#include <QString>

namespace voiding {

// The list's checks of "Érvénytelenit" on its current row: the message to show,
// or an empty text when the ticket may be voided.
QString refusal(const QString& prn, const QString& ervenyt, const QString& tipus);
// The Yes/No question before the voiding screen opens.
QString question(const QString& bszam);

// The voiding screen's date checks: the message, or an empty text.
QString dateError(const QString& typed, const QDate& voidedIssueDate);

// Removes lines left under the new number by an abandoned entry (committed at
// once); "Hiba391: ..." when it fails.
rec::Outcome removeOrphanLines(const rec::Context& ctx, const QString& newNumber);

struct Request {
    QString voidedNumber;
    QDate voidedIssueDate; // F_KELT of the voided ticket
    QString newNumber;     // offered; the voiding takes the counter's next number
    QString dateText;      // the voiding date as typed
};

// "OK" of the voiding screen: the date checks (a failure names "Edit2"), then
// the voiding document as one unit of work: the header copy, its completion,
// the mark on the voided ticket, the line copies, their renumbering and
// negation, and the counter. Any failed step rolls every step back and
// returns that step's numbered message. Another computer taking a number at
// the same moment makes it run again; a ticket voided meanwhile by another
// computer is refused ("Már érvénytelenítve van!"). `number` receives the
// number the voiding document got.
rec::Outcome run(const rec::Context& ctx, const Request& r, QString* number = nullptr);

// "Az érvénytelenítő bizonylat " + number + " sorszámmal elkészült!"
QString doneMessage(const QString& newNumber);

} // namespace voiding

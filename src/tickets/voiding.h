#pragma once
// Voiding a printed ticket: a new document under the buyer's next number that
// copies the ticket with negated quantities and amounts, and the references
// between the two. No widgets; the list and the voiding screen call these.

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
// once). False after "Hiba391: ..." was shown.
bool removeOrphanLines(const QString& newNumber);

struct Result {
    bool ok = false;
    QString message; // the failed step's numbered message; empty on success
};

// Stores the voiding document as one unit of work: the header copy, its
// completion, the mark on the voided ticket, the line copies, their renumbering
// and negation, and the counter. Any failure rolls every step back and returns
// that step's message (nothing is shown here).
Result run(const QString& voidedNumber, const QString& newNumber, const QDate& voidDate);

// "Az érvénytelenítő bizonylat " + number + " sorszámmal elkészült!"
QString doneMessage(const QString& newNumber);

} // namespace voiding

#pragma once
// Preparing the print of the ticket on which the list (ZQ10) stands: the data
// the ticket template reads, every report variable, and the print mark. No
// widgets: the list screen calls this, then loads the template and shows it.

#include <QString>
#include <QtGlobal>

namespace ticketprint {

enum class Mode {
    View,  // "Megtekint": never touches the print mark
    Print, // "Nyomtat": marks the first print
};

// "FjLista7" + edition letter + ".frf" ("FjLista7.frf" without a letter).
QString templateName(const QString& editionLetter);

struct Outcome {
    QString number;        // F_BSZAM of the ticket
    bool copy = false;     // printed before: "MÁSOLATI PÉLDÁNY"
    bool marked = false;   // this call stored the print mark
    qint64 payable = 0;    // "v_kif"
};

// Opens ZQ20 (lines), ZQ30 (producer), ZQ60 (buyer), ZQ21 (sums) and ZQ11
// (header) for the ticket, and sets every v_ variable of the ticket template.
// In print mode an unprinted ticket is marked printed, committed at once so that
// a later failed save elsewhere cannot take the mark back; a failing mark shows
// "Hiba81: prn UPDATE Fjfej-be " and the print goes on.
// Throws when the list has no current ticket or a query fails.
Outcome prepare(Mode mode);

} // namespace ticketprint

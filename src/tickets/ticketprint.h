#pragma once
// Preparing the print of the ticket on which the list (ZQ10) stands: the data
// the ticket template reads, every report variable, the prepared pages and the
// print mark. No widgets: the list screen calls print(), then shows the pages.

#include <QString>
#include <QtGlobal>

namespace rep {
class Report;
}

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
    QString fileName;      // offered when the ticket is saved as PDF
};

// Opens ZQ20 (lines), ZQ30 (producer), ZQ60 (buyer), ZQ21 (sums) and ZQ11
// (header) for the ticket, and sets every v_ variable of the ticket template.
// Never touches the print mark. Throws when the list has no current ticket or
// a query fails.
Outcome prepareData();

// "felvasarlasi_jegy_20260001.pdf": what "save as PDF" offers for the ticket.
QString pdfFileName(const QString& number);

// The print up to its preview: the data, the template loaded into `report`
// (portrait) and the pages prepared. In print mode an unprinted ticket is
// marked printed only once the pages are ready, committed at once so that a
// later failed save elsewhere cannot take the mark back; a failing mark shows
// "Hiba81: prn UPDATE Fjfej-be " and the print goes on. When the template
// cannot be read or prepared, the reason is shown, the ticket stays unmarked
// and the answer is false: there is nothing to preview.
// The screen then shows the pages: report.showPrepared().
bool print(Mode mode, rep::Report& report, Outcome* outcome = nullptr);

} // namespace ticketprint

#pragma once
// Preparing the print of the ticket on which the list (ZQ10) stands: the data
// the ticket template reads, every report variable, the prepared pages and the
// print mark. No widgets: the list screen calls print(), then shows the pages.

#include <QString>
#include <QtGlobal>

class TQuery;

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
    QString markError;     // the mark could not be stored: the message to show
};

// The query objects the print reads and leaves open for the template (the
// screens' names in brackets), the buyer and the edition.
struct Sources {
    TQuery* list = nullptr;     // the ticket list standing on the ticket (ZQ10)
    TQuery* lines = nullptr;    // ZQ20
    TQuery* producer = nullptr; // ZQ30
    TQuery* buyer = nullptr;    // ZQ60
    TQuery* sums = nullptr;     // ZQ21
    TQuery* header = nullptr;   // ZQ11
    TQuery* mark = nullptr;     // the print mark's UPDATE (ZQ22)
    QString akod;
    QString edition;            // the edition letter: template and contribution base
};

// Opens the lines, producer, buyer, sums and header for the ticket, and sets
// every v_ variable of the ticket template. Never touches the print mark.
// Throws when the list has no current ticket or a query fails.
Outcome prepareData(const Sources& src);

// "felvasarlasi_jegy_20260001.pdf": what "save as PDF" offers for the ticket.
QString pdfFileName(const QString& number);

// The print up to its preview: the data, the template loaded into `report`
// (portrait) and the pages prepared. In print mode an unprinted ticket is
// marked printed only once the pages are ready, committed at once so that a
// later failed save elsewhere cannot take the mark back; a failing mark leaves
// "Hiba81: prn UPDATE Fjfej-be " in markError and the print goes on. When the
// template cannot be read or prepared (report.errorText() says why), the
// ticket stays unmarked and the answer is false: there is nothing to preview.
bool print(Mode mode, rep::Report& report, const Sources& src, Outcome* outcome = nullptr);

// The screens' forms (tickets/gui/ticketlistbinding.cpp): the data module's
// objects and the selected buyer; print() shows the mark's and the template's
// failures. The screen then shows the pages: report.showPrepared().
Outcome prepareData();
bool print(Mode mode, rep::Report& report, Outcome* outcome = nullptr);

} // namespace ticketprint

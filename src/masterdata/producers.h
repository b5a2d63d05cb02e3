#pragma once
// The producer register without widgets: the list statements, the new code,
// the printed-ticket lock, the deletion, and the checks and save of one
// producer. The producer list and entry screens only move values to and from
// these and show the outcome.

#include "records.h"

#include <QHash>
#include <QString>

class TQuery;

namespace producers {

// One producer as typed: every field's text by its column name ("O_NEV",
// "O_SZIDO", ..., "O_FELJEGYZ" for the notes), exactly as typed.
struct Producer {
    QHash<QString, QString> fields;
    // "Üres TAJ számmal is mentésre kerüljön": the TAJ number is neither
    // required nor tested while this is set.
    bool uresTaj = true;

    QString get(const QString& column) const { return fields.value(column); }
    void set(const QString& column, const QString& text) { fields[column] = text; }
};

enum class Mode { New, Modify };

// The list statement on q (the list screen's query object), ordered by name,
// or by the given 1-based grid column number. Names and other texts sort in
// Hungarian order. Read as a window: a cooperative has tens of thousands of
// producers; the name and code orders walk an index.
void runList(TQuery* q, int orderColumn = 0);
// The list in name order, standing on the producer with that code (on the
// first row when there is none).
void runListOn(TQuery* q, const QString& kod);
// The register print's statement: every column, by name and birth date.
void runPrintList(TQuery* q);

// One more than the greatest numeric producer code, five digits wide.
QString nextCode(fb::Connection* db);
// Tickets of any buyer, printed, that name the producer.
qint64 printedTickets(fb::Connection* db, const QString& kod);

extern const char* const PrintedLock; // "Az őstermelő már szerepel a nyomtatott ..."

// The checks of "OK" in the program's order: the first that fails, with its
// message and the column of the field at fault; Saved when all pass.
rec::Outcome check(const Producer& p);

// The checks, then the INSERT (New) or the UPDATE by ID (Modify) as one unit
// of work. An UPDATE that finds no row (deleted meanwhile) is a failure. A
// new producer whose code another computer has saved meanwhile takes the next
// free one; `kod` receives the code saved. A change to a code another
// producer has is refused.
rec::Outcome save(const rec::Context& ctx, const Producer& p, Mode mode, QString* kod = nullptr);

// "Töröl" on the producer with this ID and code: a refusal (printed ticket,
// last producer) comes back as a failed check with an empty field, a failed
// statement as the failed step "Hiba41: ...". Committed at once.
rec::Outcome remove(const rec::Context& ctx, const QString& id, const QString& kod);

} // namespace producers

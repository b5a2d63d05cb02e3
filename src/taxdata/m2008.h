#pragma once
// The monthly 2008M return: one import file per producer for the authority's
// form-filling program, the batch list of those files, and the data of the
// summary list. No widgets; the 2008M screen and the tests call these.

#include "records.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

class TQuery;

namespace m2008 {

// The period as the user confirmed it: the texts (yyyy.mm.dd) name the folder,
// the files and the period lines; the dates select the tickets.
struct Period {
    QString tol, ig;
    QDate from, to;
};

// Only the month digits are compared: the return is monthly, and the authority
// names the files after the start month.
bool sameMonth(const QString& tol, const QString& ig);

// "C:\VADMO7\" on this platform (see settings::winPath).
QString baseFolder();
// base + the two month digits of the start text + "/".
QString monthFolder(const QString& base, const QString& tol);
// What the screen shows for the month folder: the real path here.
QString monthFolderText(const QString& base, const QString& tol);

// Whole forints, halves away from zero, no grouping, "0" never signed.
QString formatAmount(double v);

// The "Edit15Visible" switch of the ticket entry options: true when the
// members' contribution is in use and F_SUMVAR is the paid amount.
bool amountFromSumvar(const QString& form9IniPath);

struct Buyer {
    QString adoszam, adoazon, neve;
};

struct Producer {
    QString kod, nev, adoazon, neme, igszam, csgazd, szulnev, anyja, szulhely, adoszam;
    QDate szido; // invalid when not stored
};

// A name as the form wants it: all but the last word (with its trailing space)
// and the last word; a single word is " " and the word.
void splitName(const QString& name, QString& first, QString& second);

// The 28 lines of one producer's import file.
QStringList importLines(const Buyer& b, const Producer& p, const QString& amount,
                        const Period& period);
// folder + "2008M" + yyyymm + "_" + tax id + ".imp"
QString importFileName(const QString& folder, const QString& tol, const QString& adoazon);
// folder + "2008M_" + yyyymmdd + "_" + mmdd + ".txt"
QString listFileName(const QString& folder, const QString& tol, const QString& ig);

// Characters that Windows-1250 and ISO-8859-2 (what the form program reads)
// encode differently, in the order they occur; empty when the text is safe.
QString isoUnsafeChars(const QString& text);

// Writes the lines in Windows-1250 with CR LF through a temporary file in the
// same folder, renamed at the end. Throws std::runtime_error with a Hungarian
// message naming the file when it cannot be written.
void writeFile(const QString& path, const QStringList& lines);

struct Result {
    bool ok = false;
    QString message;      // why the collection stopped; empty when it ran
    QString total;        // the period total, formatted (for v_osszesen)
    QStringList files;    // import files written, in list order
    QString listFile;
    bool cancelled = false; // stopped by the user; nothing was touched
};

// Asked after each producer while nothing has been touched; true stops the run.
using Cancelled = std::function<bool(qint64 done, qint64 total)>;

// The collection: reads the buyer, the period total and the per-producer
// amounts (into `grid`, the query the screen shows), checks every text that
// goes into a file and every tax id that names one, then writes the files into
// a folder of their own inside the month folder, empties the month folder and
// moves them in. A producer tax id shared by several producer records gives one
// file holding the sum of their amounts. Nothing is written or deleted when a
// check fails or the user stops; a file that cannot be written stops the run
// with a message naming it before the month folder is emptied. Database errors
// are thrown.
Result collect(const rec::Context& ctx, TQuery* grid, const Period& period,
               const QString& folder, bool sumvar, const Cancelled& cancelled = {});

// The summary list: the per-producer rows into `rows` (ZQ20), the buyer into
// `buyer` (ZQ60) and the report variables v_osszesen, v_tol, v_ig,
// v_atvevoutca and v_adoazon.
// The summary's PDF name: what it is and its period.
QString summaryFileName(const Period& period);

void preparePrint(const rec::Context& ctx, TQuery* rows, TQuery* buyer, const Period& period,
                  bool sumvar, const QString& total);

} // namespace m2008

#pragma once
// The audit data supply: the chosen documents of the current buyer collected
// into the work table NAVFEJ, checked, and written as the authority's invoice
// XML (UTF-8 with BOM, CR LF). No widgets; the screen and the tests call these.

#include "records.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

class TQuery;

namespace auditxml {

// The three settings of "XML.ini", section "XML".
struct Settings {
    QString hova;   // full path of the XML file
    QString onszla; // self-billing flag as written
    QString papir;  // invoice form text
};
// "C:\VADMO6\szamlak.xml" on this platform.
QString defaultPath();
// Missing keys give the defaults; a Windows path ("C:\...") is mapped here.
Settings readSettings(const QString& iniPath);
// Writes the three keys (the file holds nothing else). Throws with a Hungarian
// message when the file cannot be written.
void saveSettings(const QString& iniPath, const Settings& s);

enum class RangeKind { IssueDate, PurchaseDate, Number };
struct Range {
    RangeKind kind = RangeKind::IssueDate;
    QDate from, to;
    QString numFrom, numTo; // compared as text
};

// The collection: empties NAVFEJ and NAVSOR, checks the buyer, and copies the
// chosen tickets with their buyer and producer into NAVFEJ as one unit of work.
rec::Outcome collect(const rec::Context& ctx, const Range& range, const Settings& s);
// "1.A FEJ adatok kigyűjtése vége." CR "2. Folytatás az "EXPORT" gombra."
QString collectedMessage();
// The collected rows, for the screen's grid.
void openCollected(TQuery* q);

// The first "Javitandó!" message of the checks that stop the export; empty
// when every row passes.
QString stoppingCheck(fb::Connection* db);

struct Options {
    Range range;
    Settings settings;
    bool nemKotelezo = true; // the optional block of each document
    QDate today;
};

// What the authority's schema would refuse, found before writing: one Hungarian
// line per problem naming the document and the field. Empty when none.
QStringList schemaProblems(fb::Connection* db, const Options& o);

// One ticket line as the file describes it.
struct Line {
    QString megnevezes, vtsz, megy;
    double netto = 0, felvar = 0, ear = 0, komp = 0, kompfelar = 0, vetelar = 0;
};
// A document's deductions (income tax advance, members' contribution, other).
struct Deductions {
    double szja = 0, tagi = 0, levonas = 0;
};
struct DeductionItem {
    QString name;
    double amount = 0;
};
// What the file says a document comes to: each deduction that is not zero as
// an item of its own, and its lines' purchase values, compensation surcharges
// and purchase prices summed (the deductions are not in these sums).
struct Totals {
    QList<DeductionItem> deductions;
    double netto = 0, afa = 0, brutto = 0;
};
Totals totals(const QList<Line>& lines, const Deductions& d);

struct Header {
    int count = 0;
    QString minbiz, maxbiz;
    QDate mindat, maxdat;
};
// The whole file as bytes; `header` receives the header values (the screen
// shows the lowest and highest number after a range by date).
// `progress` is told (done, total) every few hundred documents; `cancelled` is
// asked then too, and when it answers true the build stops and returns nothing.
QByteArray build(fb::Connection* db, const Options& o, Header* header = nullptr,
                 const std::function<void(int, int)>& progress = {},
                 const std::function<bool()>& cancelled = {});
// Written to a temporary name beside the target and renamed (a missing folder
// is made); throws a
// Hungarian message naming the file when it cannot be written.
void writeFile(const QString& path, const QByteArray& bytes);
// "3.Az "EXPORT" vége." CR "Adatok a "c:\VADMO6\szamlak.xml" fáljban."
// The export's done message, naming the file written.
QString exportedMessage(const QString& path);
// The folder of the proposed file ("C:\\VADMO6\\" mapped to this computer).
QString defaultFolder();

// Value formats of the file.
QString xmlDate(const QDate& d);       // yyyy-mm-dd, "--" when missing
QString xmlAmount(double v);           // 10 significant digits, then 2 decimals, halves away
QString xmlText(const QString& s);     // trimmed, escaped, control characters left out
QString xmlEscape(const QString& s);   // the same without trimming
bool hasControlChars(const QString& s); // characters XML 1.0 does not allow

} // namespace auditxml

#pragma once
// What the imports share: a file's bytes cut into lines and read as
// Windows-1250 without losing track of bytes that are no character there,
// the trimming of values, one row inserted in its own unit of work, and the
// tally of imported and skipped lines that the end message shows.

#include "records.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

namespace imports {

// One line of a file: its 1-based number and its text. A byte that is no
// Windows-1250 character becomes U+FFFD, so that it can be refused.
struct Line {
    int number = 0;
    QString text;
};

// Lines end at LF; a CR before it is dropped. The empty piece after a final
// line break is no line.
std::vector<Line> splitLines(const QByteArray& bytes);
QString decodeLine(const QByteArray& bytes);

// Leading and trailing blanks and control characters removed.
QString trimmed(const QString& s);
// Why a value cannot be stored as it is ("" when it can): a control
// character or a byte that is no Windows-1250 character.
QString badCharacter(const QString& value);

// A line that was not imported.
struct Failure {
    QString file;
    int line = 0;
    QString field;   // the column or field at fault; "" when the line as a whole
    QString reason;  // why, in Hungarian
    QString message; // the numbered message of the kind, for a refusal by the database
};

struct Result {
    QString encoding;       // how the file was read ("" when not told)
    int imported = 0;
    std::vector<Failure> failures;
    bool stopped = false;   // the whole import ended (a numbered "HibaNNN!")
    QString stopMessage;
    int cancelledAt = 0;    // the user stopped it before this line (its number); 0: not stopped
    bool cancelled() const { return cancelledAt > 0; }
    int skipped() const { return int(failures.size()); }
};

// The text of one failure: "exposterm.txt 3. sor, O_SZIDO: nem dátum – Hiba251: ..."
QString describe(const Failure& f);
// The end message: the headline, the counts, and the first failures.
QString report(const QString& headline, const Result& r, int shown = 15);

// A row to insert: the columns and their values, bound as p1, p2, ... A
// QString value is bound as text, QDate as a date, qint64 as a whole number,
// double as a number; an invalid QVariant as NULL.
struct Row {
    QStringList columns;
    std::vector<QVariant> values;
    void add(const QString& column, const QVariant& value)
    {
        columns << column;
        values.push_back(value);
    }
};

// "INSERT INTO <table> (columns) VALUES (:p1, ...)" in the open transaction,
// checked to store one row; throws when it does not.
void insertRow(fb::Connection* db, const QString& table, const Row& row);
// The same as one unit of work.
rec::Outcome insert(const rec::Context& ctx, const QString& table, const Row& row,
                    const char* stepMessage, const char* otherMessage);

// A line read into a row, or why not: the field at fault and the reason.
struct Parsed {
    Row row;
    QString field;
    QString reason;
    bool ok() const { return reason.isEmpty(); }
};

// The lines in order, each row inserted into `table` in its own unit of work,
// so that stopping between two leaves nothing half-done. Blank lines, lines
// `parse` refuses and rows the database refuses (`insertFailed`) are reported
// in `file`'s name and skipped; a failure outside the insert step ends the
// whole import when `stopMessage` is given (it is then the message), and is
// reported as a refusal otherwise. `progress` (may be empty) hears each
// line's index; `cancelled` (may be empty) is asked before each line.
Result insertLines(const rec::Context& ctx, const QString& file, const QString& table,
                   const std::vector<Line>& lines,
                   const std::function<Parsed(const QString&)>& parse,
                   const char* insertFailed, const char* stopMessage,
                   const std::function<void(int)>& progress,
                   const std::function<bool()>& cancelled);

// The longest text a column of these tables takes, 0 when not a text column;
// checked before the insert so the failure names the field.
int textLength(const QString& column);

// A value too long for its column, with a bad character, gives the reason.
QString valueProblem(const QString& column, const QString& value);

} // namespace imports

namespace imports {
// The whole file; throws std::runtime_error with a Hungarian text naming the
// file when it cannot be read.
QByteArray readFile(const QString& path);

// How a file's text is read. A file saved by a current spreadsheet program is
// UTF-8, often with a byte-order mark; one from older programs Windows-1250.
enum class Encoding { Win1250, Utf8, Utf8Bom };
QString encodingName(Encoding e); // "Windows-1250", "UTF-8", "UTF-8 (BOM)"

struct Text {
    std::vector<Line> lines;
    Encoding encoding = Encoding::Win1250;
    QString refusal; // why the file is not read, naming the line; "" when read
};
// UTF-8 when the file starts with the byte-order mark (dropped) or is valid
// UTF-8 holding bytes beyond ASCII; otherwise Windows-1250. A file that is
// neither (UTF-8 and Windows-1250 lines mixed, a byte no Windows-1250
// character, a zero byte) is refused whole, before anything is imported.
Text decodeFile(const QByteArray& bytes);
// readFile and decodeFile; a refused file throws std::runtime_error naming
// the file and the line.
Text readText(const QString& path);
} // namespace imports

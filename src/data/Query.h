#pragma once
// A reusable named statement holder: SQL text added line by line, parameters
// bound by name with typed setters, SELECT results kept with a current row.
//
// Two ways to read a SELECT:
// - open(): the whole result, packed compactly; for the results a screen walks
//   or counts (a ticket's lines, a picker, the data of a print).
// - openWindow(): a long ordered list read a page at a time around a
//   position. Only a window of rows is held (a few pages); the view asks for
//   more at either edge (fetchMore / fetchBefore) and the rows far from it are
//   dropped again. The window reaches rows it has not read by the order's key,
//   so a commit (which closes the open cursors) costs nothing but a re-read of
//   the next page. recNo() counts from the window's first row.

#include "fb.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QVariant>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TQuery : public QObject, private fb::TransactionListener {
    Q_OBJECT
public:
    TQuery(fb::Connection* db, const QString& name, QObject* parent = nullptr);
    ~TQuery() override;

    fb::Connection* connection() const { return db_; }

    // SQL text
    void close();
    void clearSql();
    void add(const QString& line);
    void setSql(const QString& sql);
    QString sql() const;

    // Parameters, by name without the colon ("p0", "a1"), case-insensitive.
    // Values the column cannot hold are refused with an fb::Error naming the
    // column when the statement runs.
    void setText(const QString& name, const QString& v);
    void setDate(const QString& name, const QDate& v);
    void setFloat(const QString& name, double v);
    void setInteger(const QString& name, qint64 v);
    void setNull(const QString& name);

    // Runs a SELECT and keeps its rows; the current row is the first.
    void open();
    // Told the rows read so far while open() reads a long result (see
    // fb::Connection::execute); empty: nothing is told.
    void setReadProgress(std::function<void(qint64)> f) { readProgress_ = std::move(f); }
    // Runs any other statement; a statement with a RETURNING clause keeps its row.
    void execSQL();
    qint64 rowsAffected() const { return rowsAffected_; }
    bool active() const { return active_; }

    // The order of a windowed list. The SQL text is a SELECT with at most a
    // WHERE clause after its FROM (no ORDER BY): the order and the paging
    // conditions are added to it.
    struct Window {
        QStringList leading; // ORDER BY columns the WHERE holds constant (lets a composite index lead)
        QString key;         // the ordering expression, with its COLLATE when it has one
        QString keyField;    // that column's name in the result
        QString idField;     // a column unique per row: tells rows with equal keys apart
        // PLAN clauses for reading forward and backward, when the engine's own
        // choice would sort what an index can walk.
        QString planAfter;
        QString planBefore;
        // Equal keys in id order, the id a part of the ORDER BY: a key shared by
        // half the list (a print mark) then reads on from its edge row through
        // an index instead of passing over every equal row read before. Needs an
        // index on (leading…, key, id) for each direction.
        bool idOrdered = false;
    };
    // Opens the list in the window's order, positioned on the first row whose
    // key starts with the anchor (case ignored); on the first row when none
    // does or no anchor is given. With readNow false nothing is read until a
    // row is asked for (the columns are known at once).
    void openWindow(const Window& w, const QString& anchor = {}, bool readNow = true);
    bool windowed() const { return bool(win_); }
    const Window* window() const { return win_.get(); } // nullptr unless windowed
    // Rows the window keeps before dropping the farthest (at least 3 pages).
    void setWindowLimit(int rows);
    static constexpr int PageRows = 50;

    // Reading at the edges of the held rows (a whole result has none to read).
    bool canFetchMore() const;
    bool canFetchBefore() const;
    int fetchMore(int rows = PageRows);   // rows appended
    int fetchBefore(int rows = PageRows); // rows put in front; recNo moves with them

    // Navigation, with the end-of-data and begin-of-data flags of a cursor.
    // In a window, first and last jump to the ends of the whole list, next and
    // prior read on over the window's edges.
    int recordCount() const; // rows held: the whole result, or the window
    int rowsHeld() const { return int(rows_.size()); }
    int recNo() const;       // 0-based; -1 when empty or closed
    bool eof() const;
    bool bof() const { return bof_; }
    bool isEmpty() const;
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);

    // Fields of the current row.
    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const; // -1 when absent
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    QVariant value(const QString& field) const;
    QString asString(const QString& field) const; // value conventions of the data layer
    double asFloat(const QString& field) const;   // 0 for NULL
    qint64 asInteger(const QString& field) const; // 0 for NULL
    QDate asDate(const QString& field) const;
    bool isNull(const QString& field) const;
    QVariant valueAt(int row, int col) const;
    int fieldCount() const { return int(columns_.size()); }
    const std::vector<fb::Column>& columns() const { return columns_; }

    // Moves to the first row whose field starts with the text, ignoring case;
    // stays on the first row when none does. Returns whether a row matched.
    // A window looks its key field up in the database and, when nothing
    // matches, stays where it was; other fields only among the held rows.
    bool locatePrefix(const QString& field, const QString& prefix);

signals:
    void reset();              // rows replaced or query closed
    void currentChanged(int row);
    // Rows read at an edge of a window, or dropped at the far edge.
    void rowsAboutToBeInserted(int first, int count);
    void rowsInserted();
    void rowsAboutToBeRemoved(int first, int count);
    void rowsRemoved();

private:
    struct Bound {
        QString name;
        fb::Param param;
        bool set = false;
    };
    void bind(const QString& name, fb::Param p);
    void parse() const;
    std::vector<fb::Param> boundParams() const;
    void checkComputed(const std::vector<fb::Param>& params) const;
    void setRow(int row);
    void requireField(int idx, const QString& name) const;
    void transactionEnding(End how) override;
    void dropCursors();
    void clearRows();

    // Windows
    enum class Edge { After, Before };
    QString windowSql(Edge dir, const QString& cond) const;
    std::unique_ptr<fb::Cursor> openPart(Edge dir, const QString& cond, const std::vector<fb::Param>& extra);
    bool ensureCursor(Edge dir);
    void readFirstPage() const;
    struct Skip;
    int readInto(fb::Cursor* c, int rows, std::vector<fb::Row>& out, Skip* skip);
    void trim(Edge keep);
    QVariant keyOf(const fb::Row& r) const;
    QString idOf(const fb::Row& r) const;
    void takeColumns(const std::vector<fb::Column>& cols);
    void reopenAtStart();
    void reopenAtEnd();
    bool reopenAt(const QString& anchor);

    fb::Connection* db_;
    QStringList lines_;
    mutable bool parsed_ = false;
    mutable QString positional_;
    mutable QStringList order_;   // parameter name for each "?"
    mutable QStringList targets_; // the column each "?" meets, when the text shows it
    mutable QString table_;       // the table an INSERT or UPDATE writes
    mutable int whereAt_ = -1;    // top-level WHERE of a SELECT, -1 when none
    std::vector<Bound> bound_;
    std::vector<fb::Column> columns_;
    std::deque<fb::Row> rows_;
    int row_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    bool active_ = false;
    qint64 rowsAffected_ = 0;

    std::function<void(qint64)> readProgress_;
    std::unique_ptr<Window> win_;
    std::vector<fb::Param> winParams_;
    QString winSql_;     // the SELECT the window was opened with (the text may change since)
    bool winWhere_ = false;
    int keyIdx_ = -1;
    bool keyNullable_ = true;
    int idIdx_ = -1;
    std::unique_ptr<fb::Cursor> after_;  // reads on past the last held row
    std::unique_ptr<fb::Cursor> before_; // reads back from the first held row
    // Rows with the edge key that a cursor reopened at that key meets again:
    // held, or dropped since; passed over until the key changes.
    struct Skip {
        QSet<QString> ids;
        QVariant key;
        void clear() { ids.clear(); }
    };
    Skip skipAfter_, skipBefore_;
    // Reading on from an edge row may take several statements, each a range
    // an index bounds: the rest of the edge key's rows (an id-ordered window),
    // the keys beyond it, and, reading backwards, the rows without a key,
    // which come first. The ones still to run wait here, in order.
    struct Pending {
        QString cond;
        std::vector<fb::Param> params;
    };
    std::deque<Pending> nextAfter_, nextBefore_;
    void queueBelow(const QVariant& key, const QString& op);
    void readEdge(Edge dir, int n, std::vector<fb::Row>& got);
    bool atEnd_ = true;                  // nothing after the held rows
    bool atStart_ = true;                // nothing before them
    int limit_ = 10 * PageRows;
    bool listening_ = false;
};

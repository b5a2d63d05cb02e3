#pragma once
// Thin owning layer over the Firebird OO API: one attachment, one shared
// transaction, statements with positional parameters, and cursors that read
// their rows one at a time into compact byte records.

#include <QDate>
#include <functional>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>
#include <vector>

namespace Firebird {
class IMaster;
class IProvider;
class IUtil;
class IAttachment;
class ITransaction;
}

namespace fb {

// Every database failure arrives as this, carrying Firebird's formatted text.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& text, long code = 0)
        : std::runtime_error(text.toStdString()), code_(code)
    {
    }
    QString text() const { return QString::fromUtf8(what()); }
    // The engine's first error code (isc_*), 0 for our own refusals.
    long code() const { return code_; }
    // Another attachment holds a row this one wanted to change (nowait): the
    // work may succeed when tried again.
    bool isConflict() const;
    // A row with the same unique key is stored (or being stored by another
    // attachment).
    bool isDuplicate() const;
    // A conflict after waiting the whole lock timeout: the other attachment
    // still holds the row (rather than having just finished with it).
    bool isTimeout() const;
    // Our own refusal of a row another computer changed between our read and
    // our write: handled as the engine's conflicts are.
    static Error conflict(const QString& text);

private:
    long code_ = 0;
};

// One bound value; the kind decides the SQL type sent to the server. The
// column, when known, names the value in a refusal.
struct Param {
    enum Kind { Null, Text, Date, Float, Integer };
    Kind kind = Null;
    QVariant value;
    QString column;
};

struct Column {
    QString name;     // alias as the select list gives it
    QString relation; // source table, when there is one
    int type = 0;     // SQL_* without the nullable bit
    int scale = 0;
    unsigned length = 0;
    int subType = 0; // blobs: 1 for text
    bool nullable = true;
    bool isText() const { return type == 448 || type == 452; } // SQL_VARYING, SQL_TEXT
};

using Row = QByteArray;

struct Result {
    std::vector<Column> columns;
    std::vector<std::vector<QVariant>> rows; // unless asked for packed rows
    std::vector<Row> packed;
    bool isSelect = false;
    qint64 rowsAffected = 0;
};

// Releases a reference-counted Firebird interface when it goes out of scope.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    Ref& operator=(Ref&& o) noexcept
    {
        if (this != &o) {
            reset();
            p_ = o.p_;
            o.p_ = nullptr;
        }
        return *this;
    }
    ~Ref() { reset(); }
    void reset(T* p = nullptr)
    {
        if (p_)
            p_->release();
        p_ = p;
    }
    // Drops the pointer without releasing it: for the calls (close, free,
    // commit, detach) after which Firebird has released the interface itself.
    T* forget()
    {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// Rows read by every cursor of the process: lets tests see that an opening
// read nothing, and the benchmarks how much a step read.
qint64 rowsFetched();

// A result row (Row) is packed as bytes: per column a null flag and the value
// (fixed size for numbers and dates, a length and the Windows-1250 bytes for
// text). A few hundred bytes where a row of variants took kilobytes.
QVariant rowValue(const std::vector<Column>& columns, const Row& row, int column);
std::vector<QVariant> unpackRow(const std::vector<Column>& columns, const Row& row);

class Connection;

// Told before the shared transaction ends (commit, rollback, detach): the
// cursors open on it are about to close.
class TransactionListener {
public:
    enum class End { Commit, Rollback, Detach };
    virtual void transactionEnding(End how) = 0;

protected:
    ~TransactionListener() = default;
};

// An open SELECT on the shared transaction, read forward a row at a time.
class Cursor {
public:
    // Prepares and opens; throws Error (refusals of parameter values included).
    Cursor(Connection& db, const QString& sql, const std::vector<Param>& params);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    const std::vector<Column>& columns() const;
    // The next row; false at the end, after which the cursor is closed.
    bool fetch(Row& row);
    bool isOpen() const;
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The role through which the program's own user on a server works
// (serversetup.h); every other user than SYSDBA attaches with it.
inline const char* const ServerRole = "VADMO7_FELHASZNALO";

inline constexpr int ServerLockTimeout = 1;

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // A bare file name is looked up in the current folder (embedded engine).
    void attach(const QString& path, const QString& user = "SYSDBA",
                const QString& password = "tollvirag");
    // New database file with WIN1250 as its default character set; stays attached.
    void create(const QString& path, const QString& user = "SYSDBA",
                const QString& password = "tollvirag");
    void detach();
    bool connected() const { return bool(att_); }
    // Whether the database has every index named: a PLAN naming a missing one
    // would not even prepare (files made before an index existed lack it).
    bool hasIndexes(const QStringList& names);
    // At least the greatest key the table's identity column has handed out, read
    // from its generator (MAX over an ascending key reads the whole table);
    // MAX itself where the column has no generator, or -1 when `scan` is false.
    qint64 lastIdentity(const QString& table, const QString& column, bool scan = true);
    // Through a Firebird server ("host:path", "host/port:path", "inet://...")
    // rather than the file opened in-process.
    static bool isRemote(const QString& path);
    bool remote() const { return isRemote(path_); }
    // CURRENT_CONNECTION of this attachment: unique among the attachments
    // open on the database at the same time.
    qint64 attachmentId();
    QString path() const { return path_; }

    // The shared transaction: read committed, rec_version, nowait; started on demand.
    bool inTransaction() const { return bool(tra_); }
    void startTransaction();
    // Units of work running on this connection (records.h): an inner one
    // runs under a savepoint of the outer one's transaction.
    int workDepth() const { return workDepth_; }
    void setWorkDepth(int depth) { workDepth_ = depth; }
    // Seconds a statement waits for a row another attachment holds: 0 (fail
    // at once) for the file opened in-process, ServerLockTimeout on a server.
    int lockTimeout() const { return lockTimeout_; }
    void commit();
    void commitRetaining();
    void rollback();

    // Runs one statement ("?" placeholders) in the shared transaction; a SELECT
    // is read whole.
    // `rowsRead` is told the count of rows read at the first and every 1 000th
    // row of a SELECT, so that a long read can show that it moves.
    Result execute(const QString& sql, const std::vector<Param>& params = {}, bool packed = false,
                   const std::function<void(qint64)>& rowsRead = {});
    // Runs a SELECT in a short read-only transaction of its own: for the
    // monitoring tables, whose contents a transaction keeps as first read.
    Result executeFresh(const QString& sql);
    // Columns of a statement without running it.
    std::vector<Column> describe(const QString& sql);

    // Listeners hear of the end of the shared transaction before it happens.
    void addListener(TransactionListener* l);
    void removeListener(TransactionListener* l);
    // Runs a statement without parameters or result (DDL); starts the transaction if needed.
    void executeImmediate(const QString& sql);

    Firebird::IUtil* util() const;

private:
    friend class Cursor;
    void attachOrCreate(const QString& path, const QString& user, const QString& password,
                        bool create);
    void notify(TransactionListener::End how);
    std::vector<TransactionListener*> listeners_;
    Ref<Firebird::IAttachment> att_;
    Ref<Firebird::ITransaction> tra_;
    QString path_;
    qint64 attachmentId_ = 0;
    int workDepth_ = 0;
    int lockTimeout_ = 0;
};

// The services of a Firebird server (its own online backup and restore),
// reached as "host", "host/port" or "inet://host:port".
class ServiceManager {
public:
    ServiceManager(const QString& server, const QString& user, const QString& password);
    ~ServiceManager();
    ServiceManager(const ServiceManager&) = delete;
    ServiceManager& operator=(const ServiceManager&) = delete;

    // gbak through the server: `database` and `file` are paths as the server
    // sees them. Returns the lines the backup printed (verbose); throws Error.
    QStringList backup(const QString& database, const QString& file);
    // Restores a backup file into a new database on the server.
    QStringList restore(const QString& file, const QString& database);
    // The engine's validation of every page (as gfix -v -n) of a database
    // nobody holds open: read only, nothing mended. Returns what it reported;
    // throws Error.
    QStringList validate(const QString& database);

private:
    QStringList run(const std::vector<unsigned char>& spb);
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Whether Windows-1250 holds every character of the text.
bool encodable(const QString& text);

// Splits a script into statements at ";", honouring SET TERM, quotes and comments.
QStringList splitScript(const QString& script);

} // namespace fb

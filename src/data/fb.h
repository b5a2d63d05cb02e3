#pragma once
// Thin owning layer over the Firebird OO API: one attachment, one shared
// transaction, statements with positional parameters, results fetched whole.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
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
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// One bound value; the kind decides the SQL type sent to the server.
struct Param {
    enum Kind { Null, Text, Date, Float, Integer };
    Kind kind = Null;
    QVariant value;
};

struct Column {
    QString name;     // alias as the select list gives it
    QString relation; // source table, when there is one
    int type = 0;     // SQL_* without the nullable bit
    int scale = 0;
    unsigned length = 0;
};

struct Result {
    std::vector<Column> columns;
    std::vector<std::vector<QVariant>> rows;
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
    T* release()
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
    QString path() const { return path_; }

    // The shared transaction: read committed, rec_version, nowait; started on demand.
    bool inTransaction() const { return bool(tra_); }
    void startTransaction();
    void commit();
    void commitRetaining();
    void rollback();

    // Runs one statement ("?" placeholders) in the shared transaction.
    Result execute(const QString& sql, const std::vector<Param>& params = {});
    // Runs a statement without parameters or result (DDL); starts the transaction if needed.
    void executeImmediate(const QString& sql);

    Firebird::IUtil* util() const;

private:
    void attachOrCreate(const QString& path, const QString& user, const QString& password,
                        bool create);
    Ref<Firebird::IAttachment> att_;
    Ref<Firebird::ITransaction> tra_;
    QString path_;
};

// Splits a script into statements at ";", honouring SET TERM and quotes.
QStringList splitScript(const QString& script);

} // namespace fb

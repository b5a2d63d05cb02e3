#pragma once
// The data a template reads: report data sets (the repeating bands walk them)
// and the named queries of the data module. The engine finds queries only
// through the resolver given here, so it never needs the data module itself.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

class TQuery;

namespace rep {

// One walkable source of rows for a data band.
class DataSet {
public:
    explicit DataSet(const QString& name) : name_(name) {}
    virtual ~DataSet() = default;
    QString name() const { return name_; }

    // Walk: start, ask for the end before each row, move on after each row.
    virtual void first() = 0;
    virtual bool eof() = 0;
    virtual void next() = 0;
    // Called once the band has walked the data set.
    virtual void finish() {}

    // Value of a field of the current row; false when the data set has no such field.
    virtual bool field(const QString& name, QVariant* out) const = 0;
    virtual QStringList fieldNames() const = 0;

private:
    QString name_;
};

using QueryResolver = std::function<TQuery*(const QString&)>;

// Where the names a template asks for stand among a query's columns: a list
// asks the same few names on every row. The names come from the parsed
// template, so their text is found by its address without hashing it; each
// hit is checked against the column's name, and the query's columns change
// when it is opened again.
class ColumnPositions {
public:
    int find(const TQuery* q, const QString& name);

private:
    const void* columns_ = nullptr; // the column list the positions were found in
    QHash<const QChar*, int> pos_;
};

// Walks a query of the data module from its first row to its last. The
// query's current row is put back where it was once the walk is over, so a
// screen's grid over the same query does not jump to the last row because
// something was printed.
class QueryDataSet : public DataSet {
public:
    QueryDataSet(const QString& name, const QString& queryName, const QueryResolver* resolver)
        : DataSet(name), queryName_(queryName), resolver_(resolver) {}
    QString queryName() const { return queryName_; }
    TQuery* query() const;

    void first() override;
    bool eof() override;
    void next() override;
    void finish() override;
    bool field(const QString& name, QVariant* out) const override;
    QStringList fieldNames() const override;

private:
    QString queryName_;
    const QueryResolver* resolver_;
    TQuery* walking_ = nullptr;
    int savedRow_ = -1;
    bool savedEof_ = true;
    mutable ColumnPositions positions_;
};

// A data set with no rows of its own, driven by callbacks of the data module:
// first when the band starts (for a detail band, each time its master row
// changes), checkEnd before each row, next after each printed row. Its fields
// are read from a query of the data module, when one is named.
class UserDataSet : public DataSet {
public:
    UserDataSet(const QString& name, const QString& fieldQuery, const QueryResolver* resolver)
        : DataSet(name), fieldQuery_(fieldQuery), resolver_(resolver) {}

    std::function<void()> onFirst;
    std::function<void()> onNext;
    std::function<bool()> onCheckEnd; // true when exhausted
    // Optional: fields computed by the owner; asked before the field query.
    std::function<bool(const QString& field, QVariant* out)> onField;
    void setCallbacks(std::function<void()> first, std::function<void()> next,
                      std::function<bool()> checkEnd);
    bool hasCallbacks() const { return onFirst && onNext && onCheckEnd; }

    void setFieldQuery(const QString& q) { fieldQuery_ = q; }
    QString fieldQuery() const { return fieldQuery_; }

    void first() override;
    bool eof() override;
    void next() override;
    void finish() override;
    bool field(const QString& name, QVariant* out) const override;
    QStringList fieldNames() const override;

private:
    TQuery* fieldSource() const;

    QString fieldQuery_;
    const QueryResolver* resolver_;
    // The field query, found once per walk rather than on every field read.
    bool walking_ = false;
    mutable TQuery* walkSource_ = nullptr;
    mutable ColumnPositions positions_;
};

// The named data of one program: the report data sets and the way to the
// queries. Both report objects of the data module share one registry.
class DataRegistry {
public:
    DataRegistry() = default;
    explicit DataRegistry(QueryResolver resolver) : resolver_(std::move(resolver)) {}
    DataRegistry(const DataRegistry&) = delete;
    DataRegistry& operator=(const DataRegistry&) = delete;

    void setQueryResolver(QueryResolver r) { resolver_ = std::move(r); }
    TQuery* query(const QString& name) const; // nullptr when unknown

    QueryDataSet* addQueryDataSet(const QString& name, const QString& queryName);
    UserDataSet* addUserDataSet(const QString& name, const QString& fieldQuery = {});
    // Any data set made elsewhere (tests); the registry owns it.
    DataSet* add(std::unique_ptr<DataSet> ds);

    DataSet* dataSet(const QString& name) const; // case-insensitive; nullptr when unknown
    UserDataSet* userDataSet(const QString& name) const;

private:
    QueryResolver resolver_;
    std::vector<std::unique_ptr<DataSet>> sets_;
};

} // namespace rep

#pragma once
// A reusable named statement holder: SQL text added line by line, parameters
// bound by name with typed setters, SELECT results kept with a current row.

#include "fb.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <vector>

class TQuery : public QObject {
    Q_OBJECT
public:
    TQuery(fb::Connection* db, const QString& name, QObject* parent = nullptr);

    fb::Connection* connection() const { return db_; }

    // SQL text
    void close();
    void clearSql();
    void add(const QString& line);
    void setSql(const QString& sql);
    QString sql() const;

    // Parameters, by name without the colon ("p0", "a1"), case-insensitive.
    void setText(const QString& name, const QString& v);
    void setDate(const QString& name, const QDate& v);
    void setFloat(const QString& name, double v);
    void setInteger(const QString& name, qint64 v);
    void setNull(const QString& name);

    // Runs a SELECT and keeps its rows; the current row is the first.
    void open();
    // Runs any other statement; a statement with a RETURNING clause keeps its row.
    void execSQL();
    qint64 rowsAffected() const { return rowsAffected_; }
    bool active() const { return active_; }

    // Navigation, with the end-of-data and begin-of-data flags of a cursor.
    int recordCount() const { return int(rows_.size()); }
    int recNo() const { return row_; } // 0-based; -1 when empty or closed
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const { return rows_.empty(); }
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
    bool locatePrefix(const QString& field, const QString& prefix);

signals:
    void reset();              // rows replaced or query closed
    void currentChanged(int row);

private:
    struct Bound {
        QString name;
        fb::Param param;
        bool set = false;
    };
    void bind(const QString& name, fb::Param p);
    void parse() const;
    std::vector<fb::Param> boundParams() const;
    void setRow(int row);
    void requireField(int idx, const QString& name) const;

    fb::Connection* db_;
    QStringList lines_;
    mutable bool parsed_ = false;
    mutable QString positional_;
    mutable QStringList order_; // parameter name for each "?"
    std::vector<Bound> bound_;
    std::vector<fb::Column> columns_;
    std::vector<std::vector<QVariant>> rows_;
    int row_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    bool active_ = false;
    qint64 rowsAffected_ = 0;
};

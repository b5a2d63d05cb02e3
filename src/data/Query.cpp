#include "Query.h"

#include "values.h"

TQuery::TQuery(fb::Connection* db, const QString& name, QObject* parent)
    : QObject(parent), db_(db)
{
    setObjectName(name);
}

void TQuery::close()
{
    if (!active_ && rows_.empty())
        return;
    active_ = false;
    rows_.clear();
    columns_.clear();
    row_ = -1;
    eof_ = bof_ = true;
    emit reset();
}

void TQuery::clearSql()
{
    lines_.clear();
    bound_.clear();
    parsed_ = false;
}

void TQuery::add(const QString& line)
{
    lines_ << line;
    parsed_ = false;
}

void TQuery::setSql(const QString& sql)
{
    clearSql();
    add(sql);
}

QString TQuery::sql() const { return lines_.join('\n'); }

// Replaces ":name" outside quotes and comments by "?" and remembers the order.
void TQuery::parse() const
{
    if (parsed_)
        return;
    const QString s = sql();
    QString out;
    QStringList order;
    out.reserve(s.size());
    for (int i = 0; i < s.size(); ++i) {
        QChar c = s[i];
        if (c == '\'' || c == '"') {
            int j = i + 1;
            while (j < s.size()) {
                if (s[j] == c) {
                    if (j + 1 < s.size() && s[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += s.mid(i, j - i + 1);
            i = j;
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            int j = s.indexOf('\n', i);
            if (j < 0)
                j = int(s.size());
            out += s.mid(i, j - i);
            i = j - 1;
        } else if (c == ':' && i + 1 < s.size() && (s[i + 1].isLetterOrNumber() || s[i + 1] == '_')) {
            int j = i + 1;
            while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == '_'))
                ++j;
            order << s.mid(i + 1, j - i - 1).toLower();
            out += '?';
            i = j - 1;
        } else {
            out += c;
        }
    }
    positional_ = out;
    order_ = order;
    parsed_ = true;
}

void TQuery::bind(const QString& name, fb::Param p)
{
    const QString key = name.startsWith(':') ? name.mid(1).toLower() : name.toLower();
    for (auto& b : bound_) {
        if (b.name == key) {
            b.param = std::move(p);
            b.set = true;
            return;
        }
    }
    bound_.push_back({key, std::move(p), true});
}

void TQuery::setText(const QString& name, const QString& v)
{
    bind(name, {fb::Param::Text, v});
}

void TQuery::setDate(const QString& name, const QDate& v)
{
    bind(name, {fb::Param::Date, v});
}

void TQuery::setFloat(const QString& name, double v)
{
    bind(name, {fb::Param::Float, v});
}

void TQuery::setInteger(const QString& name, qint64 v)
{
    bind(name, {fb::Param::Integer, QVariant::fromValue<qlonglong>(v)});
}

void TQuery::setNull(const QString& name)
{
    bind(name, {fb::Param::Null, {}});
}

std::vector<fb::Param> TQuery::boundParams() const
{
    parse();
    std::vector<fb::Param> out;
    out.reserve(order_.size());
    for (const QString& n : order_) {
        auto it = std::find_if(bound_.begin(), bound_.end(), [&](const Bound& b) { return b.name == n; });
        if (it == bound_.end())
            throw fb::Error(QString("Parameter \"%1\" not found").arg(n));
        out.push_back(it->param);
    }
    return out;
}

void TQuery::open()
{
    auto params = boundParams();
    fb::Result r = db_->execute(positional_, params);
    columns_ = std::move(r.columns);
    rows_ = std::move(r.rows);
    rowsAffected_ = r.rowsAffected;
    active_ = true;
    row_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    emit reset();
    emit currentChanged(row_);
}

void TQuery::execSQL()
{
    auto params = boundParams();
    fb::Result r = db_->execute(positional_, params);
    rowsAffected_ = r.rowsAffected;
    if (!r.rows.empty()) {
        columns_ = std::move(r.columns);
        rows_ = std::move(r.rows);
        row_ = 0;
        eof_ = false;
        bof_ = true;
        active_ = true;
        emit reset();
    }
}

void TQuery::setRow(int row)
{
    if (row == row_)
        return;
    row_ = row;
    emit currentChanged(row_);
}

void TQuery::first()
{
    bof_ = true;
    eof_ = rows_.empty();
    setRow(rows_.empty() ? -1 : 0);
}

void TQuery::last()
{
    eof_ = true;
    bof_ = rows_.empty();
    setRow(rows_.empty() ? -1 : int(rows_.size()) - 1);
}

void TQuery::next()
{
    if (rows_.empty() || row_ >= int(rows_.size()) - 1) {
        eof_ = true;
        return;
    }
    bof_ = false;
    setRow(row_ + 1);
}

void TQuery::prior()
{
    if (rows_.empty() || row_ <= 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    setRow(row_ - 1);
}

void TQuery::moveTo(int row)
{
    if (rows_.empty())
        return;
    row = std::clamp(row, 0, int(rows_.size()) - 1);
    bof_ = row == 0;
    eof_ = false;
    setRow(row);
}

QStringList TQuery::fieldNames() const
{
    QStringList out;
    for (const auto& c : columns_)
        out << c.name;
    return out;
}

int TQuery::fieldIndex(const QString& name) const
{
    for (int i = 0; i < int(columns_.size()); ++i)
        if (columns_[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TQuery::requireField(int idx, const QString& name) const
{
    if (idx < 0)
        throw fb::Error(QString("%1: Field '%2' not found").arg(objectName(), name));
}

QVariant TQuery::value(const QString& field) const
{
    int idx = fieldIndex(field);
    requireField(idx, field);
    if (row_ < 0)
        return {};
    return rows_[size_t(row_)][size_t(idx)];
}

QString TQuery::asString(const QString& field) const { return val::asText(value(field)); }

double TQuery::asFloat(const QString& field) const
{
    QVariant v = value(field);
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::QString) {
        auto d = val::parseNumber(v.toString());
        if (!d)
            throw fb::Error(QString("'%1' is not a valid floating point value").arg(v.toString()));
        return *d;
    }
    return v.toDouble();
}

qint64 TQuery::asInteger(const QString& field) const
{
    QVariant v = value(field);
    if (v.isNull())
        return 0;
    if (v.typeId() == QMetaType::QString) {
        bool ok = false;
        qint64 n = v.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw fb::Error(QString("'%1' is not a valid integer value").arg(v.toString()));
        return n;
    }
    if (v.typeId() == QMetaType::Double)
        return qint64(std::llround(v.toDouble()));
    return v.toLongLong();
}

QDate TQuery::asDate(const QString& field) const
{
    QVariant v = value(field);
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

bool TQuery::isNull(const QString& field) const { return value(field).isNull(); }

QVariant TQuery::valueAt(int row, int col) const
{
    if (row < 0 || row >= int(rows_.size()) || col < 0 || col >= int(columns_.size()))
        return {};
    return rows_[size_t(row)][size_t(col)];
}

bool TQuery::locatePrefix(const QString& field, const QString& prefix)
{
    int idx = fieldIndex(field);
    requireField(idx, field);
    for (int r = 0; r < int(rows_.size()); ++r) {
        if (val::asText(rows_[size_t(r)][size_t(idx)]).startsWith(prefix, Qt::CaseInsensitive)) {
            moveTo(r);
            return true;
        }
    }
    first();
    return false;
}

#include "Query.h"

#include "values.h"

#include <QRegularExpression>
#include <QSet>
#include <cfloat>
#include <cmath>

TQuery::TQuery(fb::Connection* db, const QString& name, QObject* parent)
    : QObject(parent), db_(db)
{
    setObjectName(name);
}

TQuery::~TQuery()
{
    if (listening_ && db_)
        db_->removeListener(this);
}

void TQuery::dropCursors()
{
    after_.reset();
    before_.reset();
    nextAfter_.clear();
    nextBefore_.clear();
    if (listening_) {
        db_->removeListener(this);
        listening_ = false;
    }
}

// The open cursors close with the transaction; a window reads its next page
// by key when it is asked for one, so nothing is lost but the open cursor.
void TQuery::transactionEnding(End)
{
    after_.reset();
    before_.reset();
    nextAfter_.clear();
    nextBefore_.clear();
    listening_ = false;
    db_->removeListener(this);
}

void TQuery::clearRows()
{
    rows_.clear();
    row_ = -1;
    eof_ = bof_ = true;
}

void TQuery::close()
{
    dropCursors();
    win_.reset();
    if (!active_ && rows_.empty())
        return;
    active_ = false;
    clearRows();
    columns_.clear();
    atEnd_ = atStart_ = true;
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

namespace {

bool identChar(QChar c) { return c.isLetterOrNumber() || c == '_' || c == '$' || c == '.'; }

// The word that ends just before position i (blanks skipped), and where it starts.
QString wordBefore(const QString& s, int i, int* start)
{
    int j = i;
    while (j > 0 && s[j - 1].isSpace())
        --j;
    int k = j;
    while (k > 0 && identChar(s[k - 1]))
        --k;
    *start = k;
    return s.mid(k, j - k);
}

// The column a "?" meets: "col = ?", "col >= ?", "col STARTING WITH ?", "col LIKE ?".
QString columnBefore(const QString& s, int at)
{
    int j = at;
    while (j > 0 && s[j - 1].isSpace())
        --j;
    int k = j;
    while (k > 0 && QString("=<>!").contains(s[k - 1]))
        --k;
    int start = 0;
    QString w;
    if (k < j) {
        w = wordBefore(s, k, &start);
    } else {
        w = wordBefore(s, j, &start);
        const QString u = w.toUpper();
        if (u == "WITH") {
            wordBefore(s, start, &start); // STARTING
            w = wordBefore(s, start, &start);
        } else if (u == "LIKE" || u == "CONTAINING") {
            w = wordBefore(s, start, &start);
        } else {
            return {};
        }
    }
    if (w.isEmpty() || w[0].isDigit())
        return {};
    return w.section('.', -1).toUpper();
}

// Items of a parenthesised list, split at its top-level commas.
QStringList splitTopLevel(const QString& s)
{
    QStringList out;
    int depth = 0;
    QString cur;
    for (QChar c : s) {
        if (c == '(')
            ++depth;
        else if (c == ')')
            --depth;
        if (c == ',' && depth == 0) {
            out << cur.trimmed();
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur.trimmed();
    return out;
}

} // namespace

// Replaces ":name" outside quotes and comments by "?" and remembers the order,
// the column each parameter meets and, for a write, the table.
void TQuery::parse() const
{
    if (parsed_)
        return;
    const QString s = sql();
    QString out;
    QStringList order;
    std::vector<int> marks; // positions of the "?" in out
    out.reserve(s.size());
    int depth = 0;
    whereAt_ = -1;
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
            int j = int(s.indexOf('\n', i));
            if (j < 0)
                j = int(s.size());
            out += s.mid(i, j - i);
            i = j - 1;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            int j = int(s.indexOf("*/", i + 2));
            j = j < 0 ? int(s.size()) : j + 2;
            out += s.mid(i, j - i);
            i = j - 1;
        } else if (c == ':' && i + 1 < s.size() && (s[i + 1].isLetterOrNumber() || s[i + 1] == '_')) {
            int j = i + 1;
            while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == '_'))
                ++j;
            order << s.mid(i + 1, j - i - 1).toLower();
            marks.push_back(int(out.size()));
            out += '?';
            i = j - 1;
        } else {
            if (c == '(')
                ++depth;
            else if (c == ')')
                --depth;
            else if (depth == 0 && (c == 'w' || c == 'W') && (i == 0 || !identChar(s[i - 1])) &&
                     s.mid(i, 5).compare("where", Qt::CaseInsensitive) == 0 &&
                     (i + 5 >= s.size() || !identChar(s[i + 5])))
                whereAt_ = int(out.size());
            out += c;
        }
    }
    positional_ = out;
    order_ = order;
    targets_.clear();
    for (int m : marks)
        targets_ << columnBefore(out, m);
    table_.clear();
    static const QRegularExpression ins(
        R"(^\s*INSERT\s+INTO\s+([A-Za-z0-9_$]+)\s*\(([^)]*)\)\s*VALUES\s*\((.*)\)\s*(RETURNING.*)?$)",
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression insSel(R"(^\s*INSERT\s+INTO\s+([A-Za-z0-9_$]+))",
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression upd(R"(^\s*UPDATE\s+([A-Za-z0-9_$]+))",
                                        QRegularExpression::CaseInsensitiveOption);
    if (auto m = ins.match(out); m.hasMatch()) {
        table_ = m.captured(1).toUpper();
        const QStringList cols = splitTopLevel(m.captured(2));
        const QStringList vals = splitTopLevel(m.captured(3));
        const int first = int(out.left(m.capturedStart(3)).count('?'));
        int k = first;
        for (int v = 0; v < vals.size(); ++v) {
            if (vals[v] == "?" && v < cols.size() && k < targets_.size())
                targets_[k] = cols[v].trimmed().section('.', -1).toUpper();
            k += int(vals[v].count('?'));
        }
    } else if (auto m2 = insSel.match(out); m2.hasMatch()) {
        table_ = m2.captured(1).toUpper();
    } else if (auto m3 = upd.match(out); m3.hasMatch()) {
        table_ = m3.captured(1).toUpper();
    }
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
    bind(name, {fb::Param::Text, v, {}});
}

void TQuery::setDate(const QString& name, const QDate& v)
{
    bind(name, {fb::Param::Date, v, {}});
}

void TQuery::setFloat(const QString& name, double v)
{
    bind(name, {fb::Param::Float, v, {}});
}

void TQuery::setInteger(const QString& name, qint64 v)
{
    bind(name, {fb::Param::Integer, QVariant::fromValue<qlonglong>(v), {}});
}

void TQuery::setNull(const QString& name)
{
    bind(name, {fb::Param::Null, {}, {}});
}

std::vector<fb::Param> TQuery::boundParams() const
{
    parse();
    std::vector<fb::Param> out;
    out.reserve(order_.size());
    for (int i = 0; i < order_.size(); ++i) {
        const QString& n = order_[i];
        auto it = std::find_if(bound_.begin(), bound_.end(), [&](const Bound& b) { return b.name == n; });
        if (it == bound_.end())
            throw fb::Error(QString("Parameter \"%1\" not found").arg(n));
        fb::Param p = it->param;
        p.column = i < targets_.size() && !targets_[i].isEmpty() ? targets_[i] : n;
        out.push_back(std::move(p));
    }
    checkComputed(out);
    return out;
}

// Computed columns are evaluated when a row is read: inputs whose result
// overflows would store fine and then make the row (and every SELECT * of its
// table) fail, or come back as garbage. Checked here, from the values of one
// INSERT or UPDATE, when the statement sets every input of such a column.
void TQuery::checkComputed(const std::vector<fb::Param>& params) const
{
    if (table_ != "FJSOR" && table_ != "FJFEJ")
        return;
    QHash<QString, long double> v;
    for (const fb::Param& p : params) {
        if (p.kind == fb::Param::Float)
            v.insert(p.column, p.value.toDouble());
        else if (p.kind == fb::Param::Integer)
            v.insert(p.column, p.value.toLongLong());
    }
    for (long double x : std::as_const(v))
        if (!std::isfinite(x))
            return; // refused by its own column, by name
    auto refuse = [](const QString& col, const QString& inputs) {
        throw fb::Error(QString("A(z) %1 (%2) értéke túl nagy, a sor nem tárolható.").arg(col, inputs));
    };
    const long double numericMax = 922337203685477.5807L; // NUMERIC(18,4)
    const long double doubleMax = DBL_MAX;
    auto bad = [](long double x, long double max) { return !std::isfinite(x) || std::fabs(x) > max; };
    if (table_ == "FJSOR") {
        if (!v.contains("S_BRUTTO") || !v.contains("S_LEVONSZAZ"))
            return;
        const long double brutto = v["S_BRUTTO"];
        const long double levonas = brutto * v["S_LEVONSZAZ"] / 100;
        if (bad(levonas, numericMax))
            refuse("S_LEVONAS", "S_BRUTTO × S_LEVONSZAZ / 100");
        const long double netto = brutto - levonas;
        if (bad(netto, numericMax))
            refuse("S_NETTO", "S_BRUTTO − S_LEVONAS");
        if (!v.contains("S_EAR"))
            return;
        const long double felvar = netto * v["S_EAR"];
        if (bad(felvar, doubleMax))
            refuse("S_FELVAR", "S_NETTO × S_EAR");
        const long double komp = felvar * v.value("S_KOMPMERTEKE", 0) / 100;
        if (bad(komp, doubleMax))
            refuse("S_KOMPFELAR", "S_FELVAR × S_KOMPMERTEKE / 100");
        if (bad(felvar + komp, doubleMax))
            refuse("S_VETELAR", "S_FELVAR + S_KOMPFELAR");
    } else {
        if (!v.contains("F_SUMVAR") || !v.contains("F_SZJA"))
            return;
        const long double szja = v["F_SUMVAR"] * v["F_SZJA"] / 100;
        if (bad(szja, doubleMax))
            refuse("F_SZJALEVON", "F_SZJA × F_SUMVAR / 100");
        if (v.contains("F_JARULSZAZ") &&
            bad(v["F_JARULSZAZ"] * (v["F_SUMVAR"] - szja) / 100, doubleMax))
            refuse("F_TAGILEVON", "F_JARULSZAZ × (F_SUMVAR − F_SZJALEVON) / 100");
    }
}

void TQuery::open()
{
    auto params = boundParams();
    fb::Result r = db_->execute(positional_, params, true, readProgress_);
    dropCursors();
    win_.reset();
    columns_ = std::move(r.columns);
    rows_.assign(std::make_move_iterator(r.packed.begin()), std::make_move_iterator(r.packed.end()));
    rowsAffected_ = r.rowsAffected;
    active_ = true;
    atEnd_ = atStart_ = true;
    row_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    emit reset();
    emit currentChanged(row_);
}

void TQuery::execSQL()
{
    auto params = boundParams();
    fb::Result r = db_->execute(positional_, params, true);
    rowsAffected_ = r.rowsAffected;
    if (!r.packed.empty()) {
        dropCursors();
        win_.reset();
        columns_ = std::move(r.columns);
        rows_.assign(std::make_move_iterator(r.packed.begin()), std::make_move_iterator(r.packed.end()));
        atEnd_ = atStart_ = true;
        row_ = 0;
        eof_ = false;
        bof_ = true;
        active_ = true;
        emit reset();
    }
}

// ---- windows ----

namespace {

fb::Param keyParam(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QDate:
        return {fb::Param::Date, v, {}};
    case QMetaType::Double:
        return {fb::Param::Float, v, {}};
    case QMetaType::LongLong:
    case QMetaType::Int:
        return {fb::Param::Integer, v, {}};
    default:
        return {fb::Param::Text, v.toString(), {}};
    }
}

} // namespace

void TQuery::setWindowLimit(int rows) { limit_ = std::max(rows, 3 * PageRows); }

QString TQuery::windowSql(Edge dir, const QString& cond) const
{
    QString s = winSql_;
    if (!cond.isEmpty())
        s += (winWhere_ ? "\n  AND (" : "\nWHERE (") + cond + ")";
    QStringList by = win_->leading;
    by << win_->key;
    if (win_->idOrdered)
        by << win_->idField;
    if (dir == Edge::Before)
        for (QString& b : by)
            b += " DESC";
    const QString plan = dir == Edge::After ? win_->planAfter : win_->planBefore;
    if (!plan.isEmpty())
        s += "\n" + plan;
    return s + "\nORDER BY " + by.join(", ");
}

std::unique_ptr<fb::Cursor> TQuery::openPart(Edge dir, const QString& cond, const std::vector<fb::Param>& extra)
{
    std::vector<fb::Param> params = winParams_;
    params.insert(params.end(), extra.begin(), extra.end());
    auto c = std::make_unique<fb::Cursor>(*db_, windowSql(dir, cond), params);
    if (!listening_) {
        db_->addListener(this);
        listening_ = true;
    }
    return c;
}

void TQuery::takeColumns(const std::vector<fb::Column>& cols)
{
    columns_ = cols;
    keyIdx_ = fieldIndex(win_->keyField);
    idIdx_ = fieldIndex(win_->idField);
    requireField(keyIdx_, win_->keyField);
    requireField(idIdx_, win_->idField);
    keyNullable_ = columns_[size_t(keyIdx_)].nullable;
}

// The rows before a key, read backwards: the smaller keys, then (as NULL keys
// come first in the ascending order) the rows without one. Two statements: an
// "OR IS NULL" would keep the engine from bounding the index walk.
void TQuery::queueBelow(const QVariant& key, const QString& op)
{
    const QString k = win_->key;
    nextBefore_.push_back({k + " " + op + " ?", {keyParam(key)}});
    if (keyNullable_)
        nextBefore_.push_back({k + " IS NULL", {}});
}

QVariant TQuery::keyOf(const fb::Row& r) const { return fb::rowValue(columns_, r, keyIdx_); }
QString TQuery::idOf(const fb::Row& r) const { return val::asText(fb::rowValue(columns_, r, idIdx_)); }

// Reads up to n rows; rows whose id is in skip (the rows with the edge key
// read before, met again by a re-read that starts at that key) are passed
// over. Equal keys come first, so the set is done with at the first other key.
int TQuery::readInto(fb::Cursor* c, int n, std::vector<fb::Row>& out, Skip* skip)
{
    fb::Row r;
    while (int(out.size()) < n && c->fetch(r)) {
        if (skip && !skip->ids.isEmpty()) {
            if (keyOf(r) != skip->key)
                skip->clear();
            else if (skip->ids.contains(idOf(r)))
                continue;
        }
        out.push_back(std::move(r));
    }
    return int(out.size());
}

// A cursor that reads on over an edge of the held rows; opened again by key
// when the transaction closed it or the rows beyond the edge were dropped.
bool TQuery::ensureCursor(Edge dir)
{
    std::unique_ptr<fb::Cursor>& c = dir == Edge::After ? after_ : before_;
    if (c && c->isOpen())
        return true;
    if (dir == Edge::After ? atEnd_ : atStart_)
        return false;
    const QString k = win_->key;
    if (rows_.empty()) {
        (dir == Edge::After ? skipAfter_ : skipBefore_).clear();
        c = openPart(dir, {}, {});
        return true;
    }
    const fb::Row& edge = dir == Edge::After ? rows_.back() : rows_.front();
    const QVariant key = keyOf(edge);
    if (win_->idOrdered) {
        // The edge key's remaining rows by id, then the keys beyond it.
        const QString id = win_->idField;
        const fb::Param idParam = keyParam(fb::rowValue(columns_, edge, idIdx_));
        const QString idCond = id + (dir == Edge::After ? " > ?" : " < ?");
        std::deque<Pending>& next = dir == Edge::After ? nextAfter_ : nextBefore_;
        next.clear();
        if (key.isNull()) {
            c = openPart(dir, k + " IS NULL AND " + idCond, {idParam});
            if (dir == Edge::After)
                next.push_back({k + " IS NOT NULL", {}});
        } else {
            c = openPart(dir, k + " = ? AND " + idCond, {keyParam(key), idParam});
            if (dir == Edge::After)
                next.push_back({k + " > ?", {keyParam(key)}});
            else
                queueBelow(key, "<");
        }
        return true;
    }
    Skip& skip = dir == Edge::After ? skipAfter_ : skipBefore_;
    skip.clear();
    skip.key = key;
    if (dir == Edge::After) {
        for (auto it = rows_.rbegin(); it != rows_.rend() && keyOf(*it) == key; ++it)
            skip.ids.insert(idOf(*it));
    } else {
        for (auto it = rows_.begin(); it != rows_.end() && keyOf(*it) == key; ++it)
            skip.ids.insert(idOf(*it));
    }
    if (key.isNull()) {
        // NULL keys come first in the ascending order.
        c = openPart(dir, dir == Edge::After ? QString() : k + " IS NULL", {});
    } else {
        if (dir == Edge::After) {
            c = openPart(dir, k + " >= ?", {keyParam(key)});
        } else {
            nextBefore_.clear();
            queueBelow(key, "<=");
            const Pending first = nextBefore_.front();
            nextBefore_.pop_front();
            c = openPart(dir, first.cond, first.params);
        }
    }
    return true;
}

// Reads up to n rows over an edge, through the waiting second statement of an
// id-ordered window when the first runs out; marks the end when both did.
void TQuery::readEdge(Edge dir, int n, std::vector<fb::Row>& got)
{
    std::unique_ptr<fb::Cursor>& c = dir == Edge::After ? after_ : before_;
    std::deque<Pending>& next = dir == Edge::After ? nextAfter_ : nextBefore_;
    for (;;) {
        readInto(c.get(), n, got, dir == Edge::After ? &skipAfter_ : &skipBefore_);
        if (c->isOpen())
            return;
        if (next.empty()) {
            c.reset();
            (dir == Edge::After ? atEnd_ : atStart_) = true;
            return;
        }
        const Pending p = std::move(next.front());
        next.pop_front();
        c = openPart(dir, p.cond, p.params);
        if (int(got.size()) >= n)
            return;
    }
}

int TQuery::fetchMore(int n)
{
    if (!win_ || !ensureCursor(Edge::After))
        return 0;
    std::vector<fb::Row> got;
    readEdge(Edge::After, n, got);
    if (got.empty())
        return 0;
    const int first = int(rows_.size());
    emit rowsAboutToBeInserted(first, int(got.size()));
    for (auto& r : got)
        rows_.push_back(std::move(r));
    emit rowsInserted();
    if (row_ < 0) {
        row_ = 0;
        eof_ = false;
        emit currentChanged(row_);
    }
    trim(Edge::After);
    return int(got.size());
}

int TQuery::fetchBefore(int n)
{
    if (!win_ || !ensureCursor(Edge::Before))
        return 0;
    std::vector<fb::Row> got;
    readEdge(Edge::Before, n, got);
    if (got.empty())
        return 0;
    const int k = int(got.size());
    emit rowsAboutToBeInserted(0, k);
    for (auto& r : got)
        rows_.push_front(std::move(r));
    if (row_ >= 0)
        row_ += k;
    emit rowsInserted();
    if (row_ >= 0)
        emit currentChanged(row_);
    trim(Edge::Before);
    return k;
}

// Keeps the window within its limit by dropping rows at the far edge from the
// one just read; the current row stays.
void TQuery::trim(Edge justRead)
{
    const int over = int(rows_.size()) - limit_;
    if (over <= 0)
        return;
    if (justRead == Edge::After) {
        const int k = std::min(over, std::max(0, row_ - PageRows));
        if (k <= 0)
            return;
        emit rowsAboutToBeRemoved(0, k);
        rows_.erase(rows_.begin(), rows_.begin() + k);
        row_ -= k;
        before_.reset();
        nextBefore_.clear();
        atStart_ = false;
        emit rowsRemoved();
        emit currentChanged(row_);
    } else {
        const int keepTo = std::max(row_ + PageRows, limit_);
        const int k = int(rows_.size()) - 1 - keepTo;
        if (k <= 0)
            return;
        emit rowsAboutToBeRemoved(int(rows_.size()) - k, k);
        rows_.erase(rows_.end() - k, rows_.end());
        after_.reset();
        nextAfter_.clear();
        atEnd_ = false;
        emit rowsRemoved();
    }
}

bool TQuery::canFetchMore() const { return win_ && !atEnd_; }
bool TQuery::canFetchBefore() const { return win_ && !atStart_; }

void TQuery::readFirstPage() const
{
    auto* self = const_cast<TQuery*>(this);
    if (self->win_ && self->rows_.empty() && !self->atEnd_)
        self->fetchMore();
}

void TQuery::openWindow(const Window& w, const QString& anchor, bool readNow)
{
    auto params = boundParams();
    dropCursors();
    win_ = std::make_unique<Window>(w);
    winParams_ = params;
    parse();
    winSql_ = positional_;
    winWhere_ = whereAt_ >= 0;
    if (readNow && anchor.isEmpty()) {
        // The first page's cursor describes the columns: one statement prepared.
        after_ = openPart(Edge::After, {}, {});
        takeColumns(after_->columns());
    } else {
        takeColumns(db_->describe(windowSql(Edge::After, {})));
    }
    active_ = true;
    rowsAffected_ = 0;
    if (!readNow || anchor.isEmpty() || !reopenAt(anchor)) {
        clearRows();
        atStart_ = true;
        atEnd_ = false;
        if (readNow)
            fetchMore();
        bof_ = true;
        eof_ = rows_.empty();
        emit reset();
        emit currentChanged(row_);
    }
}

// The window around the first row whose key is not below the anchor, when that
// row starts with it: the rows from there on and a page before them.
bool TQuery::reopenAt(const QString& anchor)
{
    const fb::Column& kc = columns_[size_t(keyIdx_)];
    if (kc.isText() && (anchor.size() > qsizetype(kc.length) || !fb::encodable(anchor)))
        return false; // longer than any key, or a character no key holds: nothing starts with it
    const QString k = win_->key;
    skipAfter_.clear();
    skipBefore_.clear();
    nextAfter_.clear();
    nextBefore_.clear();
    auto after = openPart(Edge::After, k + " >= ?", {keyParam(anchor)});
    std::vector<fb::Row> got;
    readInto(after.get(), PageRows, got, nullptr);
    if (got.empty() || !val::asText(keyOf(got.front())).startsWith(anchor, Qt::CaseInsensitive))
        return false;
    after_ = after->isOpen() ? std::move(after) : nullptr;
    atEnd_ = !after_;
    queueBelow(anchor, "<");
    const Pending first = nextBefore_.front();
    nextBefore_.pop_front();
    before_ = openPart(Edge::Before, first.cond, first.params);
    atStart_ = false;
    std::vector<fb::Row> prev;
    readEdge(Edge::Before, PageRows, prev);
    clearRows();
    for (auto& r : prev)
        rows_.push_front(std::move(r));
    const int at = int(rows_.size());
    for (auto& r : got)
        rows_.push_back(std::move(r));
    row_ = at;
    bof_ = at == 0 && atStart_;
    eof_ = false;
    emit reset();
    emit currentChanged(row_);
    return true;
}

void TQuery::reopenAtStart()
{
    dropCursors();
    skipAfter_.clear();
    clearRows();
    atStart_ = true;
    atEnd_ = false;
    fetchMore();
    bof_ = true;
    eof_ = rows_.empty();
    emit reset();
    emit currentChanged(row_);
}

void TQuery::reopenAtEnd()
{
    dropCursors();
    skipBefore_.clear();
    clearRows();
    atEnd_ = true;
    atStart_ = false;
    auto before = openPart(Edge::Before, {}, {});
    std::vector<fb::Row> got;
    readInto(before.get(), PageRows, got, nullptr);
    before_ = before->isOpen() ? std::move(before) : nullptr;
    atStart_ = !before_;
    for (auto& r : got)
        rows_.push_front(std::move(r));
    row_ = rows_.empty() ? -1 : int(rows_.size()) - 1;
    eof_ = true;
    bof_ = rows_.empty();
    emit reset();
    emit currentChanged(row_);
}

// ---- navigation ----

void TQuery::setRow(int row)
{
    if (row == row_)
        return;
    row_ = row;
    emit currentChanged(row_);
}

int TQuery::recordCount() const
{
    readFirstPage();
    return int(rows_.size());
}

int TQuery::recNo() const
{
    readFirstPage();
    return row_;
}

bool TQuery::eof() const
{
    readFirstPage();
    return eof_;
}

bool TQuery::isEmpty() const
{
    readFirstPage();
    return rows_.empty();
}

void TQuery::first()
{
    if (win_ && !atStart_) {
        reopenAtStart();
        return;
    }
    readFirstPage();
    bof_ = true;
    eof_ = rows_.empty();
    setRow(rows_.empty() ? -1 : 0);
}

void TQuery::last()
{
    if (win_ && !atEnd_) {
        reopenAtEnd();
        return;
    }
    eof_ = true;
    bof_ = rows_.empty();
    setRow(rows_.empty() ? -1 : int(rows_.size()) - 1);
}

void TQuery::next()
{
    readFirstPage();
    if (!rows_.empty() && row_ >= int(rows_.size()) - 1 && canFetchMore())
        fetchMore();
    if (rows_.empty() || row_ >= int(rows_.size()) - 1) {
        eof_ = true;
        return;
    }
    bof_ = false;
    setRow(row_ + 1);
}

void TQuery::prior()
{
    readFirstPage();
    if (!rows_.empty() && row_ <= 0 && canFetchBefore())
        fetchBefore();
    if (rows_.empty() || row_ <= 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    setRow(row_ - 1);
}

void TQuery::moveTo(int row)
{
    readFirstPage();
    if (rows_.empty())
        return;
    row = std::clamp(row, 0, int(rows_.size()) - 1);
    bof_ = row == 0 && atStart_;
    eof_ = false;
    setRow(row);
}

// ---- fields ----

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
    readFirstPage();
    if (row_ < 0 || row_ >= int(rows_.size()))
        return {};
    return fb::rowValue(columns_, rows_[size_t(row_)], idx);
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
    return fb::rowValue(columns_, rows_[size_t(row)], col);
}

bool TQuery::locatePrefix(const QString& field, const QString& prefix)
{
    int idx = fieldIndex(field);
    requireField(idx, field);
    if (win_ && idx == keyIdx_) {
        if (prefix.isEmpty()) {
            first();
            return true;
        }
        return reopenAt(prefix);
    }
    readFirstPage();
    for (int r = 0; r < int(rows_.size()); ++r) {
        if (val::asText(fb::rowValue(columns_, rows_[size_t(r)], idx)).startsWith(prefix, Qt::CaseInsensitive)) {
            moveTo(r);
            return true;
        }
    }
    if (!win_)
        first();
    return false;
}

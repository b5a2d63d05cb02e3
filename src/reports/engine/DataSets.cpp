#include "DataSets.h"

#include "Query.h"
#include "fb.h"

namespace rep {

int ColumnPositions::find(const TQuery* q, const QString& name)
{
    const std::vector<fb::Column>& cols = q->columns();
    if (columns_ != cols.data()) {
        columns_ = cols.data();
        pos_.clear();
    }
    auto it = pos_.constFind(name.constData());
    if (it != pos_.constEnd() && *it < int(cols.size())) {
        const QString& at = cols[size_t(*it)].name;
        if (at == name || at.compare(name, Qt::CaseInsensitive) == 0)
            return *it;
    }
    const int i = q->fieldIndex(name);
    // Only names found: a miss is looked up again, in case the query changed.
    if (i >= 0) {
        if (pos_.size() > 1000) // names made on the fly, not the template's
            pos_.clear();
        pos_.insert(name.constData(), i);
    }
    return i;
}

// The value of a column of the current row, as TQuery::value reads it.
static QVariant current(const TQuery* q, int column) { return q->valueAt(q->recNo(), column); }

TQuery* QueryDataSet::query() const
{
    return (resolver_ && *resolver_) ? (*resolver_)(queryName_) : nullptr;
}

void QueryDataSet::first()
{
    walking_ = query();
    if (!walking_)
        return;
    savedRow_ = walking_->recNo();
    savedEof_ = walking_->eof();
    walking_->first();
}

bool QueryDataSet::eof()
{
    // A query that is missing or closed has no rows to print.
    return !walking_ || !walking_->active() || walking_->eof();
}

void QueryDataSet::next()
{
    if (walking_)
        walking_->next();
}

void QueryDataSet::finish()
{
    if (!walking_)
        return;
    if (walking_->active() && !walking_->isEmpty() && savedRow_ >= 0) {
        if (savedEof_ && savedRow_ == walking_->recordCount() - 1)
            walking_->last(); // it sat at the end: leave it there, end flag included
        else
            walking_->moveTo(savedRow_);
    }
    walking_ = nullptr;
}

bool QueryDataSet::field(const QString& name, QVariant* out) const
{
    TQuery* q = walking_ ? walking_ : query();
    const int i = q ? positions_.find(q, name) : -1;
    if (i < 0)
        return false;
    *out = current(q, i);
    return true;
}

QStringList QueryDataSet::fieldNames() const
{
    TQuery* q = walking_ ? walking_ : query();
    return q ? q->fieldNames() : QStringList();
}

void UserDataSet::setCallbacks(std::function<void()> first, std::function<void()> next,
                               std::function<bool()> checkEnd)
{
    onFirst = std::move(first);
    onNext = std::move(next);
    onCheckEnd = std::move(checkEnd);
}

void UserDataSet::first()
{
    walking_ = true;
    walkSource_ = nullptr;
    if (onFirst)
        onFirst();
}

void UserDataSet::finish()
{
    walking_ = false;
    walkSource_ = nullptr;
}

TQuery* UserDataSet::fieldSource() const
{
    if (fieldQuery_.isEmpty() || !resolver_ || !*resolver_)
        return nullptr;
    if (!walking_)
        return (*resolver_)(fieldQuery_);
    if (!walkSource_)
        walkSource_ = (*resolver_)(fieldQuery_);
    return walkSource_;
}

bool UserDataSet::eof() { return !onCheckEnd || onCheckEnd(); }

void UserDataSet::next()
{
    if (onNext)
        onNext();
}

bool UserDataSet::field(const QString& name, QVariant* out) const
{
    if (onField && onField(name, out))
        return true;
    TQuery* q = fieldSource();
    const int i = q ? positions_.find(q, name) : -1;
    if (i < 0)
        return false;
    *out = current(q, i);
    return true;
}

QStringList UserDataSet::fieldNames() const
{
    if (fieldQuery_.isEmpty() || !resolver_ || !*resolver_)
        return {};
    TQuery* q = (*resolver_)(fieldQuery_);
    return q ? q->fieldNames() : QStringList();
}

TQuery* DataRegistry::query(const QString& name) const
{
    return resolver_ ? resolver_(name) : nullptr;
}

QueryDataSet* DataRegistry::addQueryDataSet(const QString& name, const QString& queryName)
{
    auto ds = std::make_unique<QueryDataSet>(name, queryName, &resolver_);
    auto* p = ds.get();
    sets_.push_back(std::move(ds));
    return p;
}

UserDataSet* DataRegistry::addUserDataSet(const QString& name, const QString& fieldQuery)
{
    auto ds = std::make_unique<UserDataSet>(name, fieldQuery, &resolver_);
    auto* p = ds.get();
    sets_.push_back(std::move(ds));
    return p;
}

DataSet* DataRegistry::add(std::unique_ptr<DataSet> ds)
{
    auto* p = ds.get();
    sets_.push_back(std::move(ds));
    return p;
}

DataSet* DataRegistry::dataSet(const QString& name) const
{
    for (const auto& ds : sets_)
        if (ds->name().compare(name, Qt::CaseInsensitive) == 0)
            return ds.get();
    return nullptr;
}

UserDataSet* DataRegistry::userDataSet(const QString& name) const
{
    return dynamic_cast<UserDataSet*>(dataSet(name));
}

} // namespace rep

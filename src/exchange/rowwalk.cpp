#include "rowwalk.h"

#include "Query.h"
#include "fb.h"

#include <memory>

namespace rowwalk {

Next overQuery(TQuery* q, const QStringList& fields)
{
    std::vector<int> index;
    for (const QString& f : fields)
        index.push_back(q->active() ? q->fieldIndex(f) : -1);
    auto started = std::make_shared<bool>(false);
    return [=](std::vector<QVariant>& values) {
        if (!q->active())
            return false;
        if (!*started) {
            q->first();
            *started = true;
        } else {
            q->next();
        }
        if (q->eof())
            return false;
        for (int c = 0; c < fields.size(); ++c)
            values[size_t(c)] = index[size_t(c)] < 0 ? QVariant() : q->value(fields[c]);
        return true;
    };
}

Next overCursor(fb::Cursor& cursor, const QStringList& fields)
{
    const std::vector<fb::Column>& cols = cursor.columns();
    std::vector<int> index;
    for (const QString& f : fields) {
        int at = -1;
        for (int i = 0; i < int(cols.size()) && at < 0; ++i)
            if (cols[size_t(i)].name.compare(f, Qt::CaseInsensitive) == 0)
                at = i;
        index.push_back(at);
    }
    auto row = std::make_shared<fb::Row>();
    fb::Cursor* c = &cursor;
    return [=](std::vector<QVariant>& values) {
        if (!c->fetch(*row))
            return false;
        const std::vector<fb::Column>& cs = c->columns();
        for (size_t i = 0; i < index.size(); ++i)
            values[i] = index[i] < 0 ? QVariant() : fb::rowValue(cs, *row, index[i]);
        return true;
    };
}

} // namespace rowwalk

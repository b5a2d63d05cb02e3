#include "Report.h"

#include <QHash>

namespace rep {

namespace {
// Names are matched without regard to case, as the templates write them freely.
QHash<QString, QVariant>& table()
{
    static QHash<QString, QVariant> t;
    return t;
}
} // namespace

void setVariable(const QString& name, const QVariant& value)
{
    QVariant v;
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        v = value.toDouble();
        break;
    default:
        v = value.isValid() && !value.isNull() ? value.toString() : QString();
    }
    table().insert(name.toLower(), v);
}

QVariant variable(const QString& name) { return table().value(name.toLower()); }

} // namespace rep

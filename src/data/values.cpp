#include "values.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace val {

QString fmtNumber(double v)
{
    if (v == 0)
        return "0";
    QString s = QString::number(v, 'g', 15);
    if (s.contains('e')) {
        // Large or tiny values: plain digits read better than an exponent.
        // As many decimals as 15 significant digits need, so 0,00001 is not "0".
        const int exp10 = int(std::floor(std::log10(std::fabs(v))));
        const int decimals = std::clamp(14 - exp10, 0, 40);
        s = QString::number(v, 'f', decimals);
        if (s.contains('.')) {
            while (s.endsWith('0'))
                s.chop(1);
            if (s.endsWith('.'))
                s.chop(1);
        }
    }
    s.replace('.', ',');
    if (s == "-0")
        s = "0";
    return s;
}

QString fmtFixed(double v, int decimals, bool group)
{
    QString s = QString::number(std::fabs(v), 'f', decimals);
    if (s.toDouble() == 0)
        v = 0; // no "-0,00"
    QString intPart = s.section('.', 0, 0);
    QString frac = decimals > 0 ? s.section('.', 1, 1) : QString();
    if (group) {
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, ' ');
    }
    QString out = (v < 0 ? "-" : "") + intPart;
    if (decimals > 0)
        out += ',' + frac;
    return out;
}

QString fmtDate(const QDate& d)
{
    return d.isValid() ? d.toString("yyyy.MM.dd") : QString();
}

QString asText(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return fmtNumber(v.toDouble());
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return QString::number(v.toLongLong());
    case QMetaType::QDate:
        return fmtDate(v.toDate());
    case QMetaType::QDateTime: {
        QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return fmtDate(dt.date());
        return fmtDate(dt.date()) + dt.time().toString(" HH:mm:ss");
    }
    case QMetaType::Bool:
        return v.toBool() ? "true" : "false";
    default:
        return v.toString();
    }
}

std::optional<double> parseNumber(const QString& text)
{
    // Only the decimal comma: "1.000" is a thousands group to a Hungarian
    // reader, and reading it as 1 would be silently wrong.
    static const QRegularExpression re("^[+-]?(\\d+(,\\d*)?|,\\d+)$");
    QString t = text.trimmed();
    if (!re.match(t).hasMatch())
        return std::nullopt;
    t.replace(',', '.');
    bool ok = false;
    double v = t.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<QDate> parseDate(const QString& text)
{
    static const QRegularExpression re("^(\\d{4})\\.(\\d{1,2})\\.(\\d{1,2})\\.?$");
    auto m = re.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString rtrim(QString s)
{
    while (!s.isEmpty() && s.back().isSpace())
        s.chop(1);
    return s;
}

double roundHalfEven(double v)
{
    return std::nearbyint(v);
}

} // namespace val

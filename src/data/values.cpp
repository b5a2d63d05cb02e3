#include "values.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace val {

QString fmtNumber(double v)
{
    if (v == 0)
        return "0";
    // Whole numbers of up to 15 digits print as themselves: no need to go
    // through the general conversion.
    if (std::fabs(v) < 1e15 && v == std::trunc(v))
        return QString::number(qint64(v));
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
    const QString s = QString::number(std::fabs(v), 'f', decimals);
    // Only digits and the point: zero when every digit is 0 (no "-0,00").
    const bool zero = std::all_of(s.begin(), s.end(), [](QChar c) { return c == '0' || c == '.'; });
    const qsizetype point = s.indexOf('.');
    const qsizetype intLen = point < 0 ? s.size() : point;
    QString out;
    out.reserve(s.size() + s.size() / 3 + 2);
    if (v < 0 && !zero)
        out += '-';
    for (qsizetype i = 0; i < intLen; ++i) {
        if (group && i > 0 && (intLen - i) % 3 == 0)
            out += ' ';
        out += s[i];
    }
    if (decimals > 0) {
        out += ',';
        if (point >= 0)
            out += QStringView(s).mid(point + 1);
    }
    return out;
}

QString fmtDate(const QDate& d)
{
    if (!d.isValid())
        return QString();
    // Put together by hand for four-digit years: a list prints thousands.
    int y = 0, m = 0, day = 0;
    d.getDate(&y, &m, &day);
    if (y < 1000 || y > 9999)
        return d.toString("yyyy.MM.dd");
    const char16_t text[10] = {char16_t('0' + y / 1000), char16_t('0' + y / 100 % 10), char16_t('0' + y / 10 % 10),
                               char16_t('0' + y % 10), u'.', char16_t('0' + m / 10), char16_t('0' + m % 10), u'.',
                               char16_t('0' + day / 10), char16_t('0' + day % 10)};
    return QString(reinterpret_cast<const QChar*>(text), 10);
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

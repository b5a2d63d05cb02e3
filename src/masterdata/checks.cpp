#include "checks.h"

#include "values.h"

#include <cstdlib>

namespace checks {

namespace {

// The digit at a 1-based position; anything else there is a conversion error,
// so a mistyped number can never slip through as valid.
int digitAt(const QString& text, int pos)
{
    if (pos > text.size())
        throw ConversionError(
            QString("Túl rövid a számsor (%1 karakter), a(z) %2. számjegy hiányzik: \"%3\"")
                .arg(text.size())
                .arg(pos)
                .arg(text));
    const QChar c = text.at(pos - 1);
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        throw ConversionError(QString("Nem szám a(z) %1. karakter ('%2'): \"%3\"")
                                  .arg(pos)
                                  .arg(c)
                                  .arg(text));
    return c.unicode() - '0';
}

const QDate kNapokKezdete(1867, 1, 1);

} // namespace

bool AdoazonEllenorzes(const QString& adoazon)
{
    int sum = 0;
    for (int pos = 1; pos <= 9; ++pos)
        sum += pos * digitAt(adoazon, pos);
    return digitAt(adoazon, 10) == sum % 11;
}

bool AdoszamEllenorzes(const QString& adoszam)
{
    static const int weights[7] = {9, 7, 3, 1, 9, 7, 3};
    int sum = 0;
    for (int pos = 1; pos <= 7; ++pos)
        sum += weights[pos - 1] * digitAt(adoszam, pos);
    return digitAt(adoszam, 8) == (10 - sum % 10) % 10;
}

bool TAJEllenorzes(const QString& taj)
{
    int sum = 0;
    for (int pos = 1; pos <= 8; ++pos)
        sum += (pos % 2 == 1 ? 3 : 7) * digitAt(taj, pos);
    return digitAt(taj, 9) == sum % 10;
}

bool ElteltNapEllenorzes(const QString& adoazon, const QString& szulDatum)
{
    int n = 0;
    for (int pos = 2; pos <= 6; ++pos)
        n = n * 10 + digitAt(adoazon, pos);
    const auto szul = val::parseDate(szulDatum);
    if (!szul)
        throw ConversionError(QString("Nem érvényes dátum: \"%1\"").arg(szulDatum));
    return elteltNapok(*szul) == n;
}

bool adoazonRendben(const QString& adoazon)
{
    if (adoazon.size() != 10)
        return false;
    for (QChar c : adoazon)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return AdoazonEllenorzes(adoazon);
}

std::optional<QChar> controlChar(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return c;
    return std::nullopt;
}

QString controlCharName(QChar c)
{
    switch (c.unicode()) {
    case '\r':
    case '\n': return "sortörés";
    case '\t': return "tabulátor";
    case '\f': return "lapdobás";
    case '\v': return "függőleges tabulátor";
    case 0: return "nulla karakter";
    case 0x7F: return "törlés karakter";
    default: return QString::asprintf("vezérlőkarakter 0x%02X", c.unicode());
    }
}

qint64 elteltNapok(const QDate& datum)
{
    return std::llabs(kNapokKezdete.daysTo(datum));
}

QString adoazonNapResz(const QString& adoazon)
{
    return adoazon.mid(1, 5);
}

std::optional<QString> adoszam11(const QString& typed)
{
    if (typed.size() == 11)
        return typed;
    if (typed.size() == 13)
        return typed.mid(0, 8) + typed.mid(9, 1) + typed.mid(11, 2);
    return std::nullopt;
}

std::optional<QString> taj9(const QString& typed)
{
    if (typed.size() == 9)
        return typed;
    if (typed.size() == 11)
        return typed.mid(0, 3) + typed.mid(4, 3) + typed.mid(8, 3);
    return std::nullopt;
}

} // namespace checks

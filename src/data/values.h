#pragma once
// How numbers and dates look on every screen and in the settings files:
// decimal comma, no trailing zeros, dates as yyyy.mm.dd.

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>

namespace val {

// 12 for 12.0000, 12,5 for 12.5; 15 significant digits at most.
QString fmtNumber(double v);
// Fixed decimals with the decimal comma, optionally grouped by thousands with a blank.
QString fmtFixed(double v, int decimals, bool group = false);
QString fmtDate(const QDate& d);       // yyyy.MM.dd, "" for an invalid date
QString asText(const QVariant& v);     // "" for NULL, then as above

// Reads a number typed with a decimal comma; blanks around are ignored. Returns
// nothing for an empty or malformed text ("-", "1,2,3", "12a", "1.000").
std::optional<double> parseNumber(const QString& text);
// yyyy.MM.dd (also yyyy.M.d); nothing when malformed or not a calendar date.
std::optional<QDate> parseDate(const QString& text);

// The text without trailing blanks: what the entry checks call empty.
QString rtrim(QString s);

// Round half to even, to a whole number (what the payable amounts use).
double roundHalfEven(double v);

} // namespace val

#pragma once
// Check digits of the Hungarian personal identifiers: tax identification number
// (adóazonosító jel, 10 digits), tax number (adószám, 11 digits, 8-1-2) and social
// security number (TAJ, 9 digits), and the birth date hidden in the tax identifier.
//
// The tests read fixed positions and neither trim nor check the length: callers
// check the length first (the helpers at the end give the screens' length rules).
// A read position that does not hold a digit 0-9, or lies past the end of the
// text, throws ConversionError: such a number is never reported valid.

#include <QDate>
#include <QString>
#include <optional>
#include <stdexcept>

namespace checks {

class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// Weights 1..9 on positions 1-9, sum mod 11 must equal position 10 (10 never does).
bool AdoazonEllenorzes(const QString& adoazon);
// Weights 9,7,3,1,9,7,3 on positions 1-7; position 8 must be (10 - sum mod 10) mod 10.
// Positions 9-11 are not read.
bool AdoszamEllenorzes(const QString& adoszam);
// Weights 3,7,3,7,3,7,3,7 on positions 1-8; position 9 must be sum mod 10.
bool TAJEllenorzes(const QString& taj);
// Positions 2-6 of the tax identifier must equal the days between 1867.01.01 and the
// birth date (a yyyy.mm.dd text). A birth date text that is not a date throws
// ConversionError as well.
bool ElteltNapEllenorzes(const QString& adoazon, const QString& szulDatum);

// A tax identification number as it must stand in a file name: ten digits whose
// check digit is right. Never throws.
bool adoazonRendben(const QString& adoazon);

// The first control character of a text (below 0x20, and 0x7F), or nothing.
// Such a character would break a line of a file meant for another program.
std::optional<QChar> controlChar(const QString& text);
// Its name for a message: "sortörés", "tabulátor", ... or its code.
QString controlCharName(QChar c);

// Days between 1867.01.01 and the date, as a non-negative number.
qint64 elteltNapok(const QDate& datum);
// Characters 2-6 of a typed tax identifier, whatever its length (for display).
QString adoazonNapResz(const QString& adoazon);

// The tax number as the single-check screen takes it: 11 characters as typed, or the
// 13-character form 12345678-1-12 with its separators (characters 9 and 11, whatever
// they are) dropped. Any other length gives nothing ("Nem 11 vagy 13 hosszú számsor").
std::optional<QString> adoszam11(const QString& typed);
// The TAJ number: 9 characters as typed, or the 11-character form 123 456 789 with
// characters 4 and 8 dropped. Any other length gives nothing.
std::optional<QString> taj9(const QString& typed);

} // namespace checks

#pragma once
// The payable amount of a ticket: income tax advance, members' contribution and
// deduction taken from the purchase price, rounded to whole forint, and to 5 forint
// for cash. The entry screen and the print call the same arithmetic; they differ
// only in what the members' contribution is a percentage of.

#include <QString>
#include <QtGlobal>
#include <stdexcept>

namespace payable {

// An amount the arithmetic cannot hold as whole forint (far beyond any real ticket,
// or not a number at all); thrown instead of producing garbage.
class RangeError : public std::range_error {
public:
    explicit RangeError(const QString& text) : std::range_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// What the members' contribution percent is applied to.
enum class ContributionBase {
    AfterTaxAdvance, // V − SZ: the entry screen, and the print of most editions
    PurchasePrice,   // V: the print of edition "O"
    PurchaseValue,   // far, without the compensation surcharge: the print of edition "L"
};

// The print's rule by the buyer's edition letter (first character of V_VERZIO).
ContributionBase printContributionBase(const QString& editionLetter);

struct Input {
    double purchasePrice = 0;       // V: sum of the lines' S_VETELAR, unrounded
    double purchaseValue = 0;       // far: sum of S_FELVAR (read by PurchaseValue only)
    double taxPercent = 0;          // "Szja %" / F_SZJA
    double contributionPercent = 0; // "Tagi h.járul.%" / F_JARULSZAZ
    double deduction = 0;           // "Levonás (Ft)" / F_LEVONAS
    bool transfer = false;          // "Átutalással" / F_UTAL = "x"
    ContributionBase base = ContributionBase::AfterTaxAdvance;
};

struct Result {
    double V = 0;                // purchase price (F_SUMVAR)
    double SZ = 0;               // income tax advance = taxPercent × V / 100
    double contributionBase = 0; // what T was taken of
    double T = 0;                // members' contribution = percent × base / 100
    double L = 0;                // deduction
    long double chain = 0;       // V − SZ − T − L before rounding
    qint64 whole = 0;            // the chain rounded half to even (R)
    qint64 cash = 0;             // whole rounded to the nearest multiple of 5
    qint64 payable = 0;          // whole for transfer, cash otherwise (F_MUVKTG, "v_kif")
};

// Throws RangeError when an input is not finite or the chain is beyond ±9e15 forint.
Result compute(const Input& in);

} // namespace payable

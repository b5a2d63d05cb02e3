#include "payable.h"

#include "values.h"

#include <cmath>

namespace payable {

namespace {

// Whole forint are exact in a double only up to 2^53; nothing real comes near.
constexpr long double kLimit = 9e15L;

void requireFinite(double v, const char* what)
{
    if (!std::isfinite(v))
        throw RangeError(QString("Érvénytelen összeg: %1").arg(QString::fromUtf8(what)));
}

} // namespace

ContributionBase printContributionBase(const QString& editionLetter)
{
    if (editionLetter == "L")
        return ContributionBase::PurchaseValue;
    if (editionLetter == "O")
        return ContributionBase::PurchasePrice;
    return ContributionBase::AfterTaxAdvance;
}

Result compute(const Input& in)
{
    requireFinite(in.purchasePrice, "vételár");
    requireFinite(in.purchaseValue, "felvásárlási ár");
    requireFinite(in.taxPercent, "szja %");
    requireFinite(in.contributionPercent, "tagi hozzájárulás %");
    requireFinite(in.deduction, "levonás");

    Result r;
    r.V = in.purchasePrice;
    // Multiplication first, then the division: the order decides the last bit, and
    // with it which way a half forint goes.
    r.SZ = in.taxPercent * r.V / 100;
    switch (in.base) {
    case ContributionBase::AfterTaxAdvance:
        r.contributionBase = r.V - r.SZ;
        break;
    case ContributionBase::PurchasePrice:
        r.contributionBase = r.V;
        break;
    case ContributionBase::PurchaseValue:
        r.contributionBase = in.purchaseValue;
        break;
    }
    r.T = in.contributionPercent * r.contributionBase / 100;
    r.L = in.deduction;

    // Left to right in extended precision, so that e.g. 1012.5 stays an exact half.
    r.chain = static_cast<long double>(r.V) - r.SZ - r.T - r.L;
    if (!std::isfinite(r.chain))
        throw RangeError("Túl nagy összeg a fizetendő számításában!");
    // Written as the screens write amounts, never in exponent form.
    if (std::fabs(r.chain) > kLimit)
        throw RangeError(QString("Túl nagy összeg a fizetendő számításában: %1 Ft (legfeljebb %2 Ft)")
                             .arg(val::fmtFixed(static_cast<double>(r.chain), 0, true),
                                  val::fmtFixed(static_cast<double>(kLimit), 0, true)));

    // Halves go to the even neighbour (default rounding mode), also for the cash step;
    // R / 5 never ends in exactly .5, so endings 1, 2, 6, 7 go down and 3, 4, 8, 9 up.
    r.whole = static_cast<qint64>(std::nearbyint(r.chain));
    r.cash = 5 * static_cast<qint64>(std::nearbyint(static_cast<long double>(r.whole) / 5));
    r.payable = in.transfer ? r.whole : r.cash;
    return r;
}

} // namespace payable

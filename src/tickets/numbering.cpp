#include "numbering.h"

namespace numbering {

namespace {

bool allDigits(const QString& s)
{
    for (const QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

Next nextNumber(const std::optional<QString>& stored)
{
    Next next;
    if (!stored) {
        next.problem = CounterProblem::Missing;
        return next;
    }
    const QString digits = stored->trimmed();
    if (digits.isEmpty() || !allDigits(digits)) {
        next.problem = CounterProblem::NotANumber;
        return next;
    }
    // Leading zeros do not count; only the digits after them can overflow.
    qsizetype first = 0;
    while (first < digits.size() - 1 && digits[first] == QLatin1Char('0'))
        ++first;
    if (digits.size() - first > kLength) {
        next.problem = CounterProblem::TooLong;
        return next;
    }
    const QString number = QString::number(digits.mid(first).toLongLong() + 1);
    if (number.size() > kLength) {
        next.problem = CounterProblem::TooLong;
        return next;
    }
    next.number = number;
    return next;
}

QString refusal(CounterProblem problem, const QString& stored)
{
    switch (problem) {
    case CounterProblem::None:
        return QString();
    case CounterProblem::Missing:
        return "Nincs beállítva az átvevő bizonylat sorszáma! "
               "A kezdő sorszámot a Segédlet / Évnyitás menüpontban adja meg.";
    case CounterProblem::NotANumber:
        return QString("Az átvevő tárolt bizonylat sorszáma nem szám: \"%1\"! "
                       "A sorszámot a Segédlet / Évnyitás menüpontban adja meg.")
            .arg(stored.trimmed());
    case CounterProblem::TooLong:
        return QString("A következő bizonylat sorszám nem fér el 8 karakteren "
                       "(utolsó: %1)! Új sorozatot a Segédlet / Évnyitás menüpontban "
                       "lehet megadni.")
            .arg(stored.trimmed());
    }
    return QString();
}

QString yearOpeningError(const QString& typed)
{
    QString withoutTrailing = typed;
    while (!withoutTrailing.isEmpty() && withoutTrailing.back().isSpace())
        withoutTrailing.chop(1);
    if (withoutTrailing.isEmpty())
        return "Nincs megadva sorszám!";
    if (typed.size() != kLength)
        return "Nem 8 hosszú a számsor!";
    // A pasted sign or blank would otherwise be stored and break every later number.
    if (!allDigits(typed))
        return "Csak számot tartalmazhat.";
    if (typed.front() == QLatin1Char('0'))
        return "Nullável nem kezdödhet!";
    // 99999999 has no 8-character successor: no ticket could ever be numbered.
    if (!nextNumber(typed).ok())
        return "A következő bizonylat sorszám nem férne el 8 karakteren!";
    return QString();
}

} // namespace numbering

#pragma once
// Ticket numbers: the buyer's counter (SORSZAM.A_FJBSZAM) holds the last number used;
// the next ticket takes the counter plus one, written as plain digits. The number is
// arithmetic (…9999 + 1 carries into the higher digits) and must fit the
// 8-character ticket number column.

#include <QString>
#include <optional>

namespace numbering {

constexpr int kLength = 8;

enum class CounterProblem {
    None,
    Missing,    // the buyer has no counter row (or the counter is NULL)
    NotANumber, // the counter, trimmed, is empty or holds anything but digits 0-9
    TooLong,    // the next number would need more than 8 characters
};

struct Next {
    CounterProblem problem = CounterProblem::None;
    QString number; // the next ticket number; empty unless problem is None
    bool ok() const { return problem == CounterProblem::None; }
};

// stored: A_FJBSZAM as read (blanks around are ignored), nothing when there is no row.
Next nextNumber(const std::optional<QString>& stored);

// Why no ticket can be started, for the user; names the year opening ("Évnyitás"),
// where the counter is set. Empty for CounterProblem::None.
QString refusal(CounterProblem problem, const QString& stored = QString());

// The year opening's checks of a typed new counter, in the order the screen runs them;
// the message to show, or an empty text when the counter may be stored.
QString yearOpeningError(const QString& typed);

} // namespace numbering

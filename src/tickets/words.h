#pragma once
// The payable amount written out in Hungarian words, as the ticket prints it:
// groups joined by "ezer-", "millió-", "milliárd-", the units group followed by one
// blank, "kettö" in every position, "mínusz " before a negative amount, "nulla" for 0.

#include <QString>
#include <QtGlobal>
#include <stdexcept>

namespace words {

// The largest magnitude the group words reach (999 milliárd ...).
constexpr qint64 kMaxMagnitude = 999'999'999'999;

// Throws std::out_of_range beyond ±kMaxMagnitude. Every 32-bit value fits, the most
// negative one included.
QString inWords(qint64 amount);

// "v_azaz" of the ticket: the words followed by " 00/100 Forint".
QString azaz(qint64 amount);
// "v_kp2" of a cash ticket: the words followed by " 00/100 Forint -ot a mai napon átvettem."
QString kp2(qint64 amount);

} // namespace words

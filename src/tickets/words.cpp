#include "words.h"

namespace words {

namespace {

const char* const kOnes[10] = {"",    "egy", "kettö", "három",  "négy",
                               "öt",  "hat", "hét",   "nyolc",  "kilenc"};
const char* const kTens[10] = {"",       "tizen",   "huszon",  "harminc",  "negyven",
                               "ötven",  "hatvan",  "hetven",  "nyolcvan", "kilencven"};
// Indexed by the group's place counted from the right: 1 units ... 4 milliárd.
const char* const kGroupWords[5] = {"", " ", "ezer-", "millió-", "milliárd-"};

QString threeDigits(int h, int t, int u)
{
    QString s;
    if (h == 1)
        s += "száz";
    else if (h >= 2)
        s += QString(kOnes[h]) + "száz";
    if (t == 1 && u == 0)
        return s + "tíz";
    if (t == 2 && u == 0)
        return s + "húsz";
    s += kTens[t];
    s += kOnes[u];
    return s;
}

} // namespace

QString inWords(qint64 amount)
{
    if (amount > kMaxMagnitude || amount < -kMaxMagnitude)
        throw std::out_of_range("Az összeg túl nagy a szöveges kiíráshoz: " +
                                std::to_string(amount));
    if (amount == 0)
        return "nulla";

    QString out;
    if (amount < 0) {
        out = "mínusz ";
        amount = -amount;
    }
    QString digits = QString::number(amount);
    while (digits.size() % 3 != 0)
        digits.prepend('0');

    for (int i = 0; i < digits.size(); i += 3) {
        const int h = digits[i].digitValue();
        const int t = digits[i + 1].digitValue();
        const int u = digits[i + 2].digitValue();
        if (h == 0 && t == 0 && u == 0)
            continue;
        const int k = int(digits.size() - i) / 3;
        out += threeDigits(h, t, u) + kGroupWords[k];
    }
    return out;
}

QString azaz(qint64 amount)
{
    return inWords(amount) + " 00/100 Forint";
}

QString kp2(qint64 amount)
{
    return inWords(amount) + " 00/100 Forint -ot a mai napon átvettem.";
}

} // namespace words

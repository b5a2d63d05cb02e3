#include "textfile.h"

#include <QFile>
#include <QSet>
#include "safefile.h"

#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace textfile {
namespace {

QByteArray convert(const QByteArray& in, const char* from, const char* to)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        throw std::runtime_error(std::string("iconv: no conversion ") + from + " -> " + to);
    QByteArray out;
    out.resize(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    char* dst = out.data();
    size_t dstLeft = size_t(out.size());
    while (srcLeft > 0) {
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        if (r != size_t(-1))
            break;
        if (errno == EILSEQ || errno == EINVAL) {
            // Unconvertible character: write "?" and skip one input character.
            if (dstLeft > 0) {
                *dst++ = '?';
                --dstLeft;
            }
            if (std::string(from) == "UTF-8") {
                unsigned char c = static_cast<unsigned char>(*src);
                size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
                len = std::min(len, srcLeft);
                src += len;
                srcLeft -= len;
            } else {
                ++src;
                --srcLeft;
            }
        } else {
            break;
        }
    }
    iconv_close(cd);
    out.resize(int(dst - out.data()));
    return out;
}

} // namespace

QByteArray toWin1250(const QString& text) { return convert(text.toUtf8(), "UTF-8", "WINDOWS-1250"); }

QString fromWin1250(const QByteArray& bytes)
{
    return QString::fromUtf8(convert(bytes, "WINDOWS-1250", "UTF-8"));
}

QString notInWin1250(const QString& text)
{
    // The code page's characters beyond ASCII, found once through iconv.
    static const QSet<char16_t> held = [] {
        QSet<char16_t> s;
        for (int b = 0x80; b < 0x100; ++b) {
            const QByteArray one(1, char(b));
            const QString c = QString::fromUtf8(convert(one, "WINDOWS-1250", "UTF-8"));
            if (c.size() == 1 && c != "?")
                s.insert(c[0].unicode());
        }
        return s;
    }();
    QString lost;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80 || held.contains(c.unicode()))
            continue;
        // A character beyond the first plane is one "?" for its two halves.
        const qsizetype n = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, n);
        if (!lost.contains(one))
            lost += one;
        i += n - 1;
    }
    return lost;
}

QString decode(const QByteArray& bytes)
{
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(b.mid(3));
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = dec(b);
    if (!dec.hasError())
        return s;
    return fromWin1250(b);
}

void writeLines(const QString& path, const QStringList& lines)
{
    QByteArray data;
    for (const QString& l : lines) {
        data += toWin1250(l);
        data += "\r\n";
    }
    if (const int e = safefile::writeAll(path, data))
        throw std::runtime_error(("A fájl nem írható: " + safefile::failure(path, e)).toStdString());
}

} // namespace textfile

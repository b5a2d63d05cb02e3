#pragma once
// Text files for other programs: Windows-1250 without a byte order mark, every
// line ending in CR LF. Conversion through iconv.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace textfile {

// Characters Windows-1250 cannot hold become "?" (the file must still be written).
QByteArray toWin1250(const QString& text);
QString fromWin1250(const QByteArray& bytes);
// The characters of `text` that Windows-1250 cannot hold (those toWin1250
// turns into "?"), each once, in the order met; "" when it holds them all.
QString notInWin1250(const QString& text);
// UTF-8 when the bytes are valid UTF-8 (a BOM is dropped), else Windows-1250.
QString decode(const QByteArray& bytes);

// Writes the lines, each followed by CR LF, replacing the file whole; throws
// std::runtime_error with "A fájl nem írható: <reason>: <path>" when it cannot.
void writeLines(const QString& path, const QStringList& lines);

} // namespace textfile

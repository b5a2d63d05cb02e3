#pragma once
// Merging the 2008M import files of two computers: for every producer present
// in both folders, one file in folder A that carries both amounts, with the
// files it replaces set aside as ".old". Works on the files alone.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace merge {

// Sums of one set of ".imp" files: the two row-455 codes the merge adds up and
// the amount paid (row 401, "24804="), which this program's files carry.
struct Sums {
    qint64 allat = 0;  // "12456="
    qint64 noveny = 0; // "23790="
    qint64 kifizetett = 0; // "24804="
};

// The value of a line that begins with the six characters of the code: the
// rest without blanks and control characters around it, a whole number; an
// empty rest is 0. Nothing when the line is not of that code or is the bare
// code. Throws std::runtime_error when the rest is not a whole number that
// fits 64 bits (amounts of several billion forints are real).
std::optional<qint64> lineValue(const QByteArray& line, const QByteArray& code);

// The ".imp" files of a folder, by name.
QStringList impFiles(const QString& folder);
// Adds up every code line of the files; throws a Hungarian message naming the
// file (and line) that cannot be read.
Sums sums(const QString& folder, const QStringList& names);

// Names of list B paired with list A: the last 15 characters are equal.
// Each entry is "B name" -> "A name", in list B order.
struct Pair {
    QString b, a;
};
QList<Pair> pairs(const QStringList& listA, const QStringList& listB);

// The screen's warnings when a folder is chosen.
bool sameFolder(const QString& folderA, const QString& selA, const QString& folderB,
                const QString& selB);
// The two folders are one on disk (by their real paths: a link or "." counts).
bool sameRealFolder(const QString& folderA, const QString& folderB);
bool hasOldFiles(const QString& folder);

struct Result {
    bool ok = false;          // the files were merged
    QString error;          // why nothing was done; with ok, why the after sums are unknown
    QStringList paired;     // B names, in list B order
    QStringList renameErrors; // the rename messages, in the order they happened
    Sums beforeA, beforeB, afterA, afterB;
    // The sums were read; a sum that was not read is shown as nothing, never 0.
    bool beforeRead = false, afterRead = false;
    bool cancelled = false; // the user stopped it; nothing was changed
};

// Asked between files while nothing has been changed yet; true stops the merge.
using Cancelled = std::function<bool(qint64 done, qint64 total)>;

// The whole merge. Every file is read and every value checked before the first
// byte is written; a failure or a stop there leaves both folders as they were.
Result run(const QString& folderA, const QString& folderB, const Cancelled& cancelled = {});

} // namespace merge

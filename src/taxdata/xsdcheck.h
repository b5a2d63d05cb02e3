#pragma once
// Checks an XML document against an XML schema file (libxml2), and says what
// is wrong in Hungarian with the line and the element concerned.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace xsdcheck {

struct Result {
    bool valid = false;
    QStringList problems; // "12. sor, <nev>: ...", the first ones only
    int total = 0;        // how many problems were found in all
};

// `maxProblems` limits the list, not the search.
Result validate(const QByteArray& xml, const QString& xsdPath, int maxProblems = 10);

// The outcome for the user: "valid" or the first problems, and that such a
// file must not be sent.
QString message(const Result& r, const QString& xmlPath);

} // namespace xsdcheck

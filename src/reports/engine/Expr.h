#pragma once
// The expression language of the templates: what stands between brackets in a
// text. Numbers, 'text' in single quotes, names (v_ variables, FIELD of the
// band's data set, QUERY.FIELD, DATASET.FIELD, PAGE, PAGES), + - * /,
// comparisons, and a few functions; see docs/report-templates.md.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>
#include <vector>

namespace rep {

// A template or an expression the engine cannot handle; the report is not prepared.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

struct Value {
    enum Kind { Null, Number, Text, Date };
    Kind kind = Null;
    double num = 0;
    QString str;
    QDate date;

    static Value number(double d) { Value v; v.kind = Number; v.num = d; return v; }
    static Value text(const QString& s) { Value v; v.kind = Text; v.str = s; return v; }
    static Value fromVariant(const QVariant& v);
    QString toText() const;  // how a value is printed
    double toNumber(const QString& where) const; // throws when it is not a number
};

struct Node;
using NodePtr = std::shared_ptr<Node>;

struct Node {
    enum Kind { Num, Str, Name, Neg, Not, Bin, Call, Sum };
    Kind kind = Num;
    double num = 0;
    QString str;               // literal text, operator, function name
    QStringList parts;         // Name: the dotted parts
    std::vector<NodePtr> args; // operands, arguments
    double sumAcc = 0;         // Sum: the running total of its band
    int depth = 1;             // levels of the tree below and with this node
};

// The deepest expression a template may hold, in parentheses or operators
// nested into each other; deeper ones are refused as template errors.
constexpr int kMaxExpressionDepth = 100;

// Answers names while an expression is evaluated.
class Scope {
public:
    virtual ~Scope() = default;
    // false when the name is unknown; then `err` says why.
    virtual bool lookup(const QStringList& parts, Value* out, QString* err) = 0;
};

// Parses one expression; throws ReportError with the position of the fault.
NodePtr parseExpression(const QString& text);
// Collects the sum() nodes of an expression tree.
void collectSums(const NodePtr& n, std::vector<Node*>& out);
// Evaluates; throws ReportError for unknown names, wrong types and arguments.
Value evaluate(const Node& n, Scope& scope, const QString& source);

} // namespace rep

#include "Expr.h"

#include "values.h"

#include <algorithm>
#include <cmath>

namespace rep {

Value Value::fromVariant(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return number(v.toDouble());
    case QMetaType::QDate: {
        Value r;
        r.kind = Date;
        r.date = v.toDate();
        return r;
    }
    case QMetaType::QDateTime: {
        Value r;
        r.kind = Date;
        r.date = v.toDateTime().date();
        return r;
    }
    default:
        return text(v.toString());
    }
}

QString Value::toText() const
{
    switch (kind) {
    case Null: return {};
    case Number: return val::fmtNumber(num);
    case Date: return val::fmtDate(date);
    case Text: return str;
    }
    return {};
}

double Value::toNumber(const QString& where) const
{
    switch (kind) {
    case Null: return 0;
    case Number: return num;
    case Text: {
        if (str.trimmed().isEmpty())
            return 0;
        if (auto d = val::parseNumber(str))
            return *d;
        break;
    }
    case Date: break;
    }
    throw ReportError(QString("nem szám: '%1' (%2)").arg(toText(), where));
}

namespace {

struct Token {
    enum Kind { End, Number, String, Ident, Op, LParen, RParen, Comma };
    Kind kind = End;
    QString text;
    double num = 0;
    int pos = 0;
};

class Parser {
public:
    explicit Parser(const QString& s) : s_(s) { advance(); }

    NodePtr parseAll()
    {
        NodePtr n = parseOr();
        if (tok_.kind != Token::End)
            fail("váratlan '" + tok_.text + "'");
        return n;
    }

private:
    [[noreturn]] void fail(const QString& what) const
    {
        throw ReportError(QString("hibás kifejezés [%1]: %2 (%3. karakter)")
                              .arg(s_, what).arg(tok_.pos + 1));
    }

    void advance()
    {
        while (i_ < s_.size() && s_[i_].isSpace())
            ++i_;
        tok_ = Token();
        tok_.pos = int(i_);
        if (i_ >= s_.size())
            return;
        QChar c = s_[i_];
        if (c.isDigit()) {
            qsizetype st = i_;
            while (i_ < s_.size() && (s_[i_].isDigit() || s_[i_] == '.'))
                ++i_;
            bool ok = false;
            tok_.kind = Token::Number;
            tok_.text = s_.mid(st, i_ - st);
            tok_.num = tok_.text.toDouble(&ok);
            if (!ok)
                fail("hibás szám '" + tok_.text + "'");
            return;
        }
        if (c == '\'') {
            // 'text', with '' standing for one quote
            QString out;
            ++i_;
            for (;;) {
                if (i_ >= s_.size())
                    fail("lezáratlan szöveg");
                if (s_[i_] == '\'') {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == '\'') {
                        out += '\'';
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    break;
                }
                out += s_[i_++];
            }
            tok_.kind = Token::String;
            tok_.text = out;
            return;
        }
        if (c.isLetter() || c == '_') {
            qsizetype st = i_;
            while (i_ < s_.size() && (s_[i_].isLetterOrNumber() || s_[i_] == '_' || s_[i_] == '.'))
                ++i_;
            tok_.kind = Token::Ident;
            tok_.text = s_.mid(st, i_ - st);
            return;
        }
        ++i_;
        switch (c.unicode()) {
        case '(': tok_.kind = Token::LParen; tok_.text = "("; return;
        case ')': tok_.kind = Token::RParen; tok_.text = ")"; return;
        case ',': tok_.kind = Token::Comma; tok_.text = ","; return;
        case '+': case '-': case '*': case '/': case '=':
            tok_.kind = Token::Op; tok_.text = c; return;
        case '<':
        case '>':
            tok_.kind = Token::Op;
            tok_.text = c;
            if (i_ < s_.size() && (s_[i_] == '=' || (c == '<' && s_[i_] == '>')))
                tok_.text += s_[i_++];
            return;
        default:
            tok_.text = c;
            fail("ismeretlen jel '" + QString(c) + "'");
        }
    }

    // Every way down (parentheses, arguments, signs) passes here: a nesting
    // too deep is a template error long before the stack runs out.
    struct Down {
        explicit Down(Parser& p) : p_(p)
        {
            if (++p_.level_ > kMaxExpressionDepth)
                p_.fail(QString("túl mély egymásba ágyazás (legfeljebb %1 szint)").arg(kMaxExpressionDepth));
        }
        ~Down() { --p_.level_; }
        Parser& p_;
    };

    // Operator chains nest without recursion (a+b+c+…), so the tree's own
    // depth is checked as well: evaluating it recurses.
    NodePtr checked(NodePtr n)
    {
        int d = 0;
        for (const auto& a : n->args)
            d = std::max(d, a->depth);
        n->depth = d + 1;
        if (n->depth > kMaxExpressionDepth)
            fail(QString("túl mély egymásba ágyazás (legfeljebb %1 szint)").arg(kMaxExpressionDepth));
        return n;
    }

    bool isWord(const char* w) const
    {
        return tok_.kind == Token::Ident && tok_.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
    }

    NodePtr bin(const QString& op, NodePtr a, NodePtr b)
    {
        auto n = std::make_shared<Node>();
        n->kind = Node::Bin;
        n->str = op;
        n->args = {std::move(a), std::move(b)};
        return checked(n);
    }

    NodePtr parseOr()
    {
        Down down(*this);
        NodePtr l = parseAnd();
        while (isWord("or")) {
            advance();
            l = bin("or", l, parseAnd());
        }
        return l;
    }

    NodePtr parseAnd()
    {
        NodePtr l = parseCmp();
        while (isWord("and")) {
            advance();
            l = bin("and", l, parseCmp());
        }
        return l;
    }

    NodePtr parseCmp()
    {
        NodePtr l = parseAdd();
        while (tok_.kind == Token::Op
               && (tok_.text == "=" || tok_.text == "<>" || tok_.text == "<" || tok_.text == ">"
                   || tok_.text == "<=" || tok_.text == ">=")) {
            QString op = tok_.text;
            advance();
            l = bin(op, l, parseAdd());
        }
        return l;
    }

    NodePtr parseAdd()
    {
        NodePtr l = parseMul();
        while (tok_.kind == Token::Op && (tok_.text == "+" || tok_.text == "-")) {
            QString op = tok_.text;
            advance();
            l = bin(op, l, parseMul());
        }
        return l;
    }

    NodePtr parseMul()
    {
        NodePtr l = parseUnary();
        while (tok_.kind == Token::Op && (tok_.text == "*" || tok_.text == "/")) {
            QString op = tok_.text;
            advance();
            l = bin(op, l, parseUnary());
        }
        return l;
    }

    NodePtr parseUnary()
    {
        if (tok_.kind == Token::Op && tok_.text == "-") {
            Down down(*this);
            advance();
            auto n = std::make_shared<Node>();
            n->kind = Node::Neg;
            n->args = {parseUnary()};
            return checked(n);
        }
        if (isWord("not")) {
            Down down(*this);
            advance();
            auto n = std::make_shared<Node>();
            n->kind = Node::Not;
            n->args = {parseUnary()};
            return checked(n);
        }
        return parsePrimary();
    }

    NodePtr parsePrimary()
    {
        auto n = std::make_shared<Node>();
        switch (tok_.kind) {
        case Token::Number:
            n->kind = Node::Num;
            n->num = tok_.num;
            advance();
            return n;
        case Token::String:
            n->kind = Node::Str;
            n->str = tok_.text;
            advance();
            return n;
        case Token::LParen: {
            advance();
            NodePtr inner = parseOr();
            if (tok_.kind != Token::RParen)
                fail("hiányzó ')'");
            advance();
            return inner;
        }
        case Token::Ident: {
            QString name = tok_.text;
            advance();
            if (tok_.kind == Token::LParen) {
                advance();
                n->kind = name.compare("sum", Qt::CaseInsensitive) == 0 ? Node::Sum : Node::Call;
                n->str = name.toLower();
                if (tok_.kind != Token::RParen) {
                    for (;;) {
                        n->args.push_back(parseOr());
                        if (tok_.kind == Token::Comma) {
                            advance();
                            continue;
                        }
                        break;
                    }
                }
                if (tok_.kind != Token::RParen)
                    fail("hiányzó ')'");
                advance();
                if (n->kind == Node::Sum && n->args.size() != 1)
                    fail("a sum() egy kifejezést vár");
                return checked(n);
            }
            n->kind = Node::Name;
            n->parts = name.split('.');
            for (const QString& p : n->parts)
                if (p.isEmpty())
                    fail("hibás név '" + name + "'");
            return n;
        }
        default:
            fail(tok_.kind == Token::End ? QString("hiányzó érték") : "váratlan '" + tok_.text + "'");
        }
    }

    QString s_;
    qsizetype i_ = 0;
    Token tok_;
    int level_ = 0;
};

bool truthy(const Value& v)
{
    switch (v.kind) {
    case Value::Null: return false;
    case Value::Number: return v.num != 0;
    case Value::Text: return !v.str.isEmpty();
    case Value::Date: return v.date.isValid();
    }
    return false;
}

int compareValues(const Value& a, const Value& b)
{
    if ((a.kind == Value::Number || a.kind == Value::Null)
        && (b.kind == Value::Number || b.kind == Value::Null) && !(a.kind == Value::Null && b.kind == Value::Null)) {
        double x = a.kind == Value::Null ? 0 : a.num;
        double y = b.kind == Value::Null ? 0 : b.num;
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (a.kind == Value::Date && b.kind == Value::Date)
        return a.date < b.date ? -1 : (a.date > b.date ? 1 : 0);
    return QString::compare(a.toText(), b.toText());
}

int intArg(const Value& v, const QString& where)
{
    double d = v.toNumber(where);
    if (!std::isfinite(d) || std::fabs(d) > 1e9)
        throw ReportError(QString("tartományon kívüli szám (%1)").arg(where));
    return int(std::lround(d));
}

Value callFunction(const Node& n, std::vector<Value>& a, const QString& src)
{
    const QString& f = n.str;
    auto need = [&](size_t lo, size_t hi) {
        if (a.size() < lo || a.size() > hi)
            throw ReportError(QString("%1(): rossz számú argumentum [%2]").arg(f, src));
    };
    if (f == "copy" || f == "substr") {
        // Pascal style: 1-based start, a count; parts beyond the end give less or nothing.
        need(2, 3);
        QString s = a[0].toText();
        int start = intArg(a[1], src);
        int count = a.size() == 3 ? intArg(a[2], src) : int(s.size());
        if (start < 1) {
            count += start - 1;
            start = 1;
        }
        if (count <= 0 || start > s.size())
            return Value::text(QString());
        return Value::text(s.mid(start - 1, count));
    }
    if (f == "concat") {
        QString out;
        for (const Value& v : a)
            out += v.toText();
        return Value::text(out);
    }
    if (f == "trim") {
        need(1, 1);
        return Value::text(a[0].toText().trimmed());
    }
    if (f == "upper") {
        need(1, 1);
        return Value::text(a[0].toText().toUpper());
    }
    if (f == "lower") {
        need(1, 1);
        return Value::text(a[0].toText().toLower());
    }
    if (f == "len") {
        need(1, 1);
        return Value::number(double(a[0].toText().size()));
    }
    if (f == "num") {
        need(1, 1);
        return Value::number(a[0].toNumber(src));
    }
    if (f == "str") {
        need(1, 1);
        return Value::text(a[0].kind == Value::Number ? val::fmtNumber(a[0].num) : a[0].toText());
    }
    if (f == "fmtnum" || f == "fixed") {
        // fmtnum groups thousands with a blank; both use the decimal comma.
        need(1, 2);
        if (a[0].kind == Value::Null || (a[0].kind == Value::Text && a[0].str.trimmed().isEmpty()))
            return Value::text(QString());
        int dec = a.size() == 2 ? intArg(a[1], src) : 0;
        if (dec < 0 || dec > 10)
            throw ReportError(QString("%1(): a tizedesjegyek száma 0 és 10 között lehet [%2]").arg(f, src));
        return Value::text(val::fmtFixed(a[0].toNumber(src), dec, f == "fmtnum"));
    }
    if (f == "date") {
        need(1, 1);
        if (a[0].kind == Value::Date)
            return Value::text(val::fmtDate(a[0].date));
        if (a[0].kind == Value::Null)
            return Value::text(QString());
        QString t = a[0].toText().trimmed();
        if (t.isEmpty())
            return Value::text(QString());
        if (auto d = val::parseDate(t))
            return Value::text(val::fmtDate(*d));
        QDate iso = QDate::fromString(t.left(10), Qt::ISODate);
        if (iso.isValid())
            return Value::text(val::fmtDate(iso));
        throw ReportError(QString("date(): nem dátum: '%1' [%2]").arg(t, src));
    }
    if (f == "iif") {
        need(3, 3);
        return truthy(a[0]) ? a[1] : a[2];
    }
    throw ReportError(QString("ismeretlen függvény: %1() [%2]").arg(f, src));
}

} // namespace

NodePtr parseExpression(const QString& text)
{
    Parser p(text);
    return p.parseAll();
}

void collectSums(const NodePtr& n, std::vector<Node*>& out)
{
    if (!n)
        return;
    if (n->kind == Node::Sum)
        out.push_back(n.get());
    for (const auto& c : n->args)
        collectSums(c, out);
}

Value evaluate(const Node& n, Scope& scope, const QString& src)
{
    switch (n.kind) {
    case Node::Num: return Value::number(n.num);
    case Node::Str: return Value::text(n.str);
    case Node::Sum: return Value::number(n.sumAcc);
    case Node::Name: {
        Value v;
        QString err;
        if (!scope.lookup(n.parts, &v, &err))
            throw ReportError(err.isEmpty() ? QString("ismeretlen név: %1 [%2]").arg(n.parts.join('.'), src)
                                            : err + " [" + src + "]");
        return v;
    }
    case Node::Neg: return Value::number(-evaluate(*n.args[0], scope, src).toNumber(src));
    case Node::Not: return Value::number(truthy(evaluate(*n.args[0], scope, src)) ? 0 : 1);
    case Node::Bin: {
        const QString& op = n.str;
        if (op == "and")
            return Value::number(truthy(evaluate(*n.args[0], scope, src))
                                 && truthy(evaluate(*n.args[1], scope, src)));
        if (op == "or")
            return Value::number(truthy(evaluate(*n.args[0], scope, src))
                                 || truthy(evaluate(*n.args[1], scope, src)));
        Value a = evaluate(*n.args[0], scope, src);
        Value b = evaluate(*n.args[1], scope, src);
        if (op == "+") {
            // Text on either side joins the two; otherwise numbers add (empty counts as 0).
            if (a.kind == Value::Text || b.kind == Value::Text || a.kind == Value::Date || b.kind == Value::Date)
                return Value::text(a.toText() + b.toText());
            return Value::number(a.toNumber(src) + b.toNumber(src));
        }
        if (op == "-")
            return Value::number(a.toNumber(src) - b.toNumber(src));
        if (op == "*")
            return Value::number(a.toNumber(src) * b.toNumber(src));
        if (op == "/") {
            double d = b.toNumber(src);
            if (d == 0)
                throw ReportError("osztás nullával [" + src + "]");
            return Value::number(a.toNumber(src) / d);
        }
        int c = compareValues(a, b);
        if (op == "=") return Value::number(c == 0);
        if (op == "<>") return Value::number(c != 0);
        if (op == "<") return Value::number(c < 0);
        if (op == ">") return Value::number(c > 0);
        if (op == "<=") return Value::number(c <= 0);
        if (op == ">=") return Value::number(c >= 0);
        throw ReportError("ismeretlen művelet " + op);
    }
    case Node::Call: {
        if (n.str == "iif") {
            // Only the chosen branch is evaluated, so it may name what the other cannot.
            if (n.args.size() != 3)
                throw ReportError("iif(): rossz számú argumentum [" + src + "]");
            return truthy(evaluate(*n.args[0], scope, src)) ? evaluate(*n.args[1], scope, src)
                                                            : evaluate(*n.args[2], scope, src);
        }
        std::vector<Value> a;
        a.reserve(n.args.size());
        for (const auto& c : n.args)
            a.push_back(evaluate(*c, scope, src));
        return callFunction(n, a, src);
    }
    }
    return {};
}

} // namespace rep

#include "Template.h"

#include <algorithm>

#include <QHash>

namespace rep {

namespace {

struct Tok {
    QString text;
    bool quoted = false; // the whole token was one "quoted" string
};

[[noreturn]] void failAt(const QString& file, int line, const QString& what)
{
    throw ReportError(QString("%1, %2. sor: %3").arg(file).arg(line).arg(what));
}

// Splits a line into blank-separated tokens; "..." keeps blanks, "" is one quote.
std::vector<Tok> tokenize(const QString& line, const QString& file, int lineNo)
{
    std::vector<Tok> out;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        while (i < n && line[i].isSpace())
            ++i;
        if (i >= n || line[i] == '#')
            break;
        Tok t;
        t.quoted = line[i] == '"';
        while (i < n && !line[i].isSpace()) {
            if (line[i] == '"') {
                ++i;
                bool closed = false;
                while (i < n) {
                    if (line[i] == '"') {
                        if (i + 1 < n && line[i + 1] == '"') {
                            t.text += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    t.text += line[i++];
                }
                if (!closed)
                    failAt(file, lineNo, "lezáratlan idézőjel");
            } else {
                t.quoted = false;
                t.text += line[i++];
            }
        }
        out.push_back(t);
    }
    return out;
}

class TemplateParser {
public:
    TemplateParser(const QString& text, const QString& name) : name_(name)
    {
        lines_ = text.split('\n');
    }

    std::unique_ptr<Template> run()
    {
        t_ = std::make_unique<Template>();
        t_->name = name_;
        while (nextLine()) {
            const QString kw = word(0);
            if (kw == "page")
                parsePage();
            else if (kw == "font")
                parseDefaultFont();
            else if (kw == "band") {
                auto b = parseBand({"title", "summary", "pageheader", "pagefooter", "static"});
                Band::Kind k = b->kind;
                auto put = [&](std::unique_ptr<Band>& slot, const char* what) {
                    if (slot)
                        failAt(name_, b->line, QString("második %1 sáv").arg(what));
                    slot = std::move(b);
                };
                if (k == Band::Title) put(t_->title, "title");
                else if (k == Band::Summary) put(t_->summary, "summary");
                else if (k == Band::PageHeader) put(t_->pageHeader, "pageheader");
                else if (k == Band::PageFooter) put(t_->pageFooter, "pagefooter");
                else {
                    BodyItem it;
                    it.band = std::move(b);
                    t_->body.push_back(std::move(it));
                }
            } else if (kw == "data") {
                BodyItem it;
                it.data = parseData(1);
                t_->body.push_back(std::move(it));
            } else if (kw == "block") {
                BodyItem it;
                it.block = parseBlock();
                t_->body.push_back(std::move(it));
            } else
                fail("ismeretlen utasítás: " + toks_[0].text);
        }
        return std::move(t_);
    }

private:
    [[noreturn]] void fail(const QString& what) const { failAt(name_, lineNo_, what); }

    bool nextLine()
    {
        while (cur_ < lines_.size()) {
            lineNo_ = int(cur_) + 1;
            QString l = lines_[cur_++];
            if (l.endsWith('\r'))
                l.chop(1);
            toks_ = tokenize(l, name_, lineNo_);
            if (!toks_.empty())
                return true;
        }
        return false;
    }

    QString word(size_t i) const
    {
        return i < toks_.size() && !toks_[i].quoted ? toks_[i].text.toLower() : QString();
    }

    double number(const QString& s, const QString& what) const
    {
        bool ok = false;
        double d = QString(s).replace(',', '.').toDouble(&ok);
        if (!ok || d < 0 || d > 10000)
            fail(QString("hibás szám a(z) %1 értékében: '%2'").arg(what, s));
        return d;
    }

    void parsePage()
    {
        for (size_t i = 1; i < toks_.size(); ++i) {
            const QString w = toks_[i].text.toLower();
            static const QHash<QString, QPageSize::PageSizeId> sizes = {
                {"a3", QPageSize::A3}, {"a4", QPageSize::A4}, {"a5", QPageSize::A5},
                {"letter", QPageSize::Letter}, {"legal", QPageSize::Legal}};
            if (sizes.contains(w))
                t_->pageSize = QPageSize(sizes.value(w));
            else if (w == "portrait")
                t_->orientation = QPageLayout::Portrait;
            else if (w == "landscape")
                t_->orientation = QPageLayout::Landscape;
            else if (w.startsWith("margins=")) {
                QStringList m = w.mid(8).split(',');
                if (m.size() != 4)
                    fail("margins=bal,felső,jobb,alsó kell");
                t_->marginLeft = number(m[0], "margins");
                t_->marginTop = number(m[1], "margins");
                t_->marginRight = number(m[2], "margins");
                t_->marginBottom = number(m[3], "margins");
            } else if (w.contains('x') && !w.contains('=')) {
                // custom size in millimetres, e.g. 210x148
                QStringList p = w.split('x');
                if (p.size() != 2)
                    fail("hibás lapméret: " + w);
                double pw = number(p[0], "lapméret"), ph = number(p[1], "lapméret");
                if (pw < 20 || ph < 20)
                    fail("túl kicsi lapméret: " + w);
                t_->pageSize = QPageSize(QSizeF(pw, ph), QPageSize::Millimeter);
            } else
                fail("ismeretlen lapbeállítás: " + toks_[i].text);
        }
        if (t_->marginLeft + t_->marginRight >= t_->pageSize.size(QPageSize::Millimeter).width() - 10)
            fail("a margók nem hagynak helyet");
    }

    void parseDefaultFont()
    {
        FontSpec f = t_->font;
        for (size_t i = 1; i < toks_.size(); ++i) {
            const Tok& t = toks_[i];
            QString w = t.text.toLower();
            if (t.quoted)
                f.family = t.text;
            else if (w == "bold")
                f.bold = true;
            else if (w == "italic")
                f.italic = true;
            else
                f.size = number(t.text, "font");
        }
        if (f.size < 1)
            fail("túl kicsi betűméret");
        t_->font = f;
    }

    Band::Kind bandKind(const QString& w) const
    {
        static const QHash<QString, Band::Kind> kinds = {
            {"title", Band::Title}, {"summary", Band::Summary}, {"pageheader", Band::PageHeader},
            {"pagefooter", Band::PageFooter}, {"static", Band::Static}, {"header", Band::Header},
            {"row", Band::Row}, {"footer", Band::Footer}, {"continued", Band::Continued}};
        if (!kinds.contains(w))
            fail("ismeretlen sáv: " + w);
        return kinds.value(w);
    }

    std::unique_ptr<Band> parseBand(const QStringList& allowed)
    {
        const QString kindWord = word(1);
        if (!allowed.contains(kindWord))
            fail(QString("itt ilyen sáv nem állhat: '%1' (lehet: %2)").arg(toks_.size() > 1 ? toks_[1].text : QString(), allowed.join(", ")));
        auto b = std::make_unique<Band>();
        b->kind = bandKind(kindWord);
        b->line = lineNo_;
        for (size_t i = 2; i < toks_.size(); ++i) {
            QString w = toks_[i].text.toLower();
            if (w.startsWith("height="))
                b->height = number(w.mid(7), "height");
            else if (w == "repeat" && b->kind == Band::Header)
                b->repeat = true;
            else if (w == "newpage")
                b->newPage = true;
            else
                fail("ismeretlen sávbeállítás: " + toks_[i].text);
        }
        for (;;) {
            if (!nextLine())
                failAt(name_, b->line, "a sáv nincs lezárva (end)");
            const QString kw = word(0);
            if (kw == "end")
                break;
            if (kw == "text")
                b->objects.push_back(parseText());
            else if (kw == "line" || kw == "rect")
                b->objects.push_back(parseShape(kw == "line"));
            else
                fail("ismeretlen objektum: " + toks_[0].text);
        }
        for (auto& o : b->objects)
            for (auto& s : o.segments)
                collectSums(s.expr, b->sums);
        if (!b->sums.empty() && b->kind != Band::Footer)
            failAt(name_, b->line, "sum() csak footer sávban állhat");
        return b;
    }

    TemplateObject parseText()
    {
        TemplateObject o;
        o.kind = TemplateObject::Text;
        o.line = lineNo_;
        o.font = t_->font;
        o.align = Qt::AlignLeft | Qt::AlignTop;
        int h = Qt::AlignLeft, v = Qt::AlignTop;
        bool haveContent = false;
        double x = 0, y = 0, w = -1, hh = -1;
        for (size_t i = 1; i < toks_.size(); ++i) {
            const Tok& t = toks_[i];
            if (t.quoted) {
                if (haveContent)
                    fail("egy text-nek egy szövege lehet");
                o.segments = parseContentAt(t.text);
                haveContent = true;
                continue;
            }
            const QString key = t.text.section('=', 0, 0).toLower();
            const QString val = t.text.contains('=') ? t.text.section('=', 1) : QString();
            if (key == "x") x = number(val, "x");
            else if (key == "y") y = number(val, "y");
            else if (key == "w") w = number(val, "w");
            else if (key == "h") hh = number(val, "h");
            else if (key == "font") o.font.family = val;
            else if (key == "size") {
                o.font.size = number(val, "size");
                if (o.font.size < 1)
                    fail("túl kicsi betűméret");
            }
            else if (key == "bold") o.font.bold = true;
            else if (key == "italic") o.font.italic = true;
            else if (key == "regular") o.font.bold = o.font.italic = false;
            else if (key == "wrap") o.wrap = true;
            else if (key == "grow") o.grow = o.wrap = true;
            else if (key == "stretch") o.stretch = true;
            else if (key == "shrink") o.shrink = true;
            else if (key == "width") o.lineWidth = number(val, "width");
            else if (key == "align") {
                const QString a = val.toLower();
                if (a == "left") h = Qt::AlignLeft;
                else if (a == "center") h = Qt::AlignHCenter;
                else if (a == "right") h = Qt::AlignRight;
                else if (a == "justify") h = Qt::AlignJustify;
                else fail("align: left, center, right vagy justify");
            } else if (key == "valign") {
                const QString a = val.toLower();
                if (a == "top") v = Qt::AlignTop;
                else if (a == "middle") v = Qt::AlignVCenter;
                else if (a == "bottom") v = Qt::AlignBottom;
                else fail("valign: top, middle vagy bottom");
            } else if (key == "frame") {
                const QString f = val.toLower();
                o.frame = 0;
                if (f == "all")
                    o.frame = FrameAll;
                else if (f != "none") {
                    for (QChar c : f) {
                        if (c == 'l') o.frame |= FrameLeft;
                        else if (c == 't') o.frame |= FrameTop;
                        else if (c == 'r') o.frame |= FrameRight;
                        else if (c == 'b') o.frame |= FrameBottom;
                        else fail("frame: all, none vagy az l t r b betűk");
                    }
                }
            } else
                fail("ismeretlen text-beállítás: " + t.text);
        }
        if (w <= 0 || hh <= 0)
            fail("a text-nek w és h kell");
        if (!haveContent)
            fail("a text szövege hiányzik (\"...\")");
        o.rect = QRectF(x, y, w, hh);
        o.align = h | v;
        return o;
    }

    TemplateObject parseShape(bool isLine)
    {
        TemplateObject o;
        o.kind = isLine ? TemplateObject::Line : TemplateObject::Rect;
        o.line = lineNo_;
        QHash<QString, double> v;
        for (size_t i = 1; i < toks_.size(); ++i) {
            const QString key = toks_[i].text.section('=', 0, 0).toLower();
            if (key == "stretch") {
                o.stretch = true;
                continue;
            }
            if (!toks_[i].text.contains('='))
                fail("kulcs=érték kell: " + toks_[i].text);
            v.insert(key, number(toks_[i].text.section('=', 1), key));
        }
        if (v.contains("width"))
            o.lineWidth = v.value("width");
        if (isLine) {
            for (const char* k : {"x1", "y1", "x2", "y2"})
                if (!v.contains(k))
                    fail(QString("a line-nak %1 kell").arg(k));
            o.rect = QRectF(QPointF(v["x1"], v["y1"]), QPointF(v["x2"], v["y2"]));
        } else {
            for (const char* k : {"x", "y", "w", "h"})
                if (!v.contains(k))
                    fail(QString("a rect-nek %1 kell").arg(k));
            o.rect = QRectF(v["x"], v["y"], v["w"], v["h"]);
        }
        return o;
    }

    std::vector<Segment> parseContentAt(const QString& content)
    {
        try {
            return parseContent(content);
        } catch (const ReportError& e) {
            fail(e.text());
        }
    }

    // A block: static bands and data blocks printed as one unit.
    std::unique_ptr<Block> parseBlock()
    {
        auto blk = std::make_unique<Block>();
        blk->line = lineNo_;
        for (size_t i = 1; i < toks_.size(); ++i) {
            if (word(i) == "keep")
                blk->keep = true;
            else
                fail("ismeretlen block-beállítás: " + toks_[i].text);
        }
        for (;;) {
            if (!nextLine())
                failAt(name_, blk->line, "a block nincs lezárva (end)");
            const QString kw = word(0);
            if (kw == "end")
                break;
            if (kw == "band") {
                auto b = parseBand({"static", "continued"});
                if (b->kind == Band::Continued) {
                    if (blk->continued)
                        failAt(name_, b->line, "második continued sáv ugyanabban a block-ban");
                    blk->continued = std::move(b);
                } else {
                    BodyItem it;
                    it.band = std::move(b);
                    blk->body.push_back(std::move(it));
                }
            } else if (kw == "data") {
                BodyItem it;
                it.data = parseData(1);
                blk->body.push_back(std::move(it));
            } else if (kw == "block") {
                fail("block nem állhat block-ban");
            } else
                fail("ismeretlen utasítás a block-ban: " + toks_[0].text);
        }
        return blk;
    }

    std::unique_ptr<DataBlock> parseData(int depth)
    {
        // Details within details: a few levels are all a list needs; a runaway
        // nesting must end as a template error, not as a stack overflow.
        constexpr int kMaxDataDepth = 8;
        if (depth > kMaxDataDepth)
            fail(QString("túl mélyen egymásba ágyazott data (legfeljebb %1 szint)").arg(kMaxDataDepth));
        auto d = std::make_unique<DataBlock>();
        d->line = lineNo_;
        if (toks_.size() < 2 || toks_.size() > 3 || toks_[1].quoted)
            fail("data után egy adathalmaz neve kell");
        d->dataSet = toks_[1].text;
        if (toks_.size() == 3) {
            if (word(2) != "keep")
                fail("ismeretlen data-beállítás: " + toks_[2].text);
            d->keep = true;
        }
        for (;;) {
            if (!nextLine())
                failAt(name_, d->line, "a data nincs lezárva (end)");
            const QString kw = word(0);
            if (kw == "end")
                break;
            if (kw == "band") {
                auto b = parseBand({"header", "row", "footer", "continued"});
                std::unique_ptr<Band>& slot = b->kind == Band::Header      ? d->header
                                              : b->kind == Band::Row       ? d->row
                                              : b->kind == Band::Continued ? d->continued
                                                                           : d->footer;
                if (slot)
                    failAt(name_, b->line, "második ilyen sáv ugyanabban a data-ban");
                slot = std::move(b);
            } else if (kw == "data") {
                if (d->detail)
                    fail("egy data-nak egy részletező data-ja lehet");
                d->detail = parseData(depth + 1);
            } else if (kw == "group") {
                d->groups.push_back(parseGroup());
            } else
                fail("ismeretlen utasítás a data-ban: " + toks_[0].text);
        }
        if (!d->row)
            failAt(name_, d->line, "a data-ban nincs row sáv");
        return d;
    }

    Group parseGroup()
    {
        Group g;
        QString expr = lines_[cur_ - 1].trimmed().mid(5).trimmed();
        if (expr.startsWith('[') && expr.endsWith(']'))
            expr = expr.mid(1, expr.size() - 2);
        if (expr.isEmpty())
            fail("group után a csoportosító kifejezés kell");
        g.source = expr;
        try {
            g.condition = parseExpression(expr);
        } catch (const ReportError& e) {
            fail(e.text());
        }
        int start = lineNo_;
        for (;;) {
            if (!nextLine())
                failAt(name_, start, "a group nincs lezárva (end)");
            const QString kw = word(0);
            if (kw == "end")
                break;
            if (kw != "band")
                fail("a group-ban csak header és footer sáv állhat");
            auto b = parseBand({"header", "footer"});
            std::unique_ptr<Band>& slot = b->kind == Band::Header ? g.header : g.footer;
            if (slot)
                failAt(name_, b->line, "második ilyen sáv ugyanabban a group-ban");
            slot = std::move(b);
        }
        return g;
    }

    QString name_;
    QStringList lines_;
    qsizetype cur_ = 0;
    int lineNo_ = 0;
    std::vector<Tok> toks_;
    std::unique_ptr<Template> t_;
};

} // namespace

std::vector<Segment> parseContent(const QString& content)
{
    std::vector<Segment> out;
    QString lit;
    qsizetype i = 0;
    const qsizetype n = content.size();
    while (i < n) {
        QChar c = content[i];
        if (c == '[' && i + 1 < n && content[i + 1] == '[') {
            lit += '[';
            i += 2;
            continue;
        }
        if (c == ']' && i + 1 < n && content[i + 1] == ']') {
            lit += ']';
            i += 2;
            continue;
        }
        if (c != '[') {
            lit += c;
            ++i;
            continue;
        }
        // an expression up to the matching ']', brackets inside 'quotes' not counted
        qsizetype j = i + 1;
        bool inQuote = false;
        for (; j < n; ++j) {
            if (content[j] == '\'')
                inQuote = !inQuote;
            else if (!inQuote && content[j] == ']')
                break;
        }
        if (j >= n)
            throw ReportError("lezáratlan [ a szövegben: " + content);
        if (!lit.isEmpty()) {
            out.push_back(Segment{lit, nullptr, {}});
            lit.clear();
        }
        QString src = content.mid(i + 1, j - i - 1);
        out.push_back(Segment{{}, parseExpression(src), src});
        i = j + 1;
    }
    if (!lit.isEmpty())
        out.push_back(Segment{lit, nullptr, {}});
    return out;
}

std::unique_ptr<Template> parseTemplate(const QString& text, const QString& name)
{
    TemplateParser p(text, name);
    return p.run();
}

} // namespace rep

namespace rep {

namespace {

struct FontWalk {
    std::vector<FontSpec> out;
    void add(const FontSpec& f)
    {
        FontSpec face = f;
        face.size = 0; // one entry per face, whatever its size
        if (std::find(out.begin(), out.end(), face) == out.end())
            out.push_back(face);
    }
    void band(const std::unique_ptr<Band>& b)
    {
        if (!b)
            return;
        for (const TemplateObject& o : b->objects)
            if (o.kind == TemplateObject::Text)
                add(o.font);
    }
    void data(const std::unique_ptr<DataBlock>& d)
    {
        if (!d)
            return;
        for (const auto* b : {&d->header, &d->row, &d->footer, &d->continued})
            band(*b);
        for (const Group& g : d->groups) {
            band(g.header);
            band(g.footer);
        }
        data(d->detail);
    }
    void body(const std::vector<BodyItem>& items)
    {
        for (const BodyItem& i : items) {
            band(i.band);
            data(i.data);
            if (i.block) {
                band(i.block->continued);
                body(i.block->body);
            }
        }
    }
};

} // namespace

std::vector<FontSpec> fontsUsed(const Template& t)
{
    FontWalk w;
    for (const auto* b : {&t.title, &t.summary, &t.pageHeader, &t.pageFooter})
        w.band(*b);
    w.body(t.body);
    return w.out;
}

} // namespace rep

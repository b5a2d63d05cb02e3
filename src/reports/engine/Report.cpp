#include "Report.h"

#include "paths.h"

#include "Query.h"
#include "seams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <deque>
#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

namespace rep {

namespace {

// Inner padding of a text object, so that framed texts do not touch their lines.
constexpr double kPadX = 0.6;
constexpr double kPadY = 0.3;
// Guards against a data set that never ends (a user data set whose check-end
// never answers "exhausted"): the preparation stops with an error instead of
// filling memory page by page.
constexpr int kMaxPages = 20000;

// Rows between progress steps within a page.
constexpr long long kRowsPerStep = 256;

// Text measures are taken at this resolution.
constexpr double kMeasurePxPerMm = 1200 / 25.4;

// Total page count is known only at the end; texts get this mark meanwhile.
const QString kPagesMark = QStringLiteral("\uE000PAGES\uE000");

struct Active {
    DataBlock* block;
    DataSet* ds;
    const QHash<QString, QVariant>* snapshot = nullptr; // a group footer's last row
};

// A block, or a kept master row with its detail, while it is printed.
struct Unit {
    int id;
    int firstPage = -1; // index of the page its first band went on; -1 before that
};

// A band printed at the top of every further page: a repeated data header,
// or the continued band of a unit (only once the unit has begun).
struct PageTop {
    Band* band;
    int unit = -1; // index into the unit stack, or -1
};

// A band laid out: its texts and where each object goes, relative to the band.
struct Layout {
    std::vector<QString> texts;
    std::vector<QRectF> rects; // Line: from topLeft to bottomRight
    std::vector<bool> clipped;
    std::vector<FontSpec> fonts;
    double height = 0;
};

QString unitMark(int id) { return QString("\uE000U%1\uE000").arg(id); }

// A wrapped text's measure depends on its box's width and its alignment.
struct WrapKey {
    double width; // px
    int align;
    QString text;
    bool operator==(const WrapKey&) const = default;
};

size_t qHash(const WrapKey& k, size_t seed = 0) { return qHashMulti(seed, k.text, k.width, k.align); }

template <class F>
void forEachBand(Template& t, F&& f)
{
    std::function<void(DataBlock&)> data = [&](DataBlock& d) {
        for (Band* b : {d.header.get(), d.row.get(), d.footer.get(), d.continued.get()})
            if (b)
                f(*b);
        for (auto& g : d.groups)
            for (Band* b : {g.header.get(), g.footer.get()})
                if (b)
                    f(*b);
        if (d.detail)
            data(*d.detail);
    };
    std::function<void(std::vector<BodyItem>&)> body = [&](std::vector<BodyItem>& items) {
        for (auto& it : items) {
            if (it.band)
                f(*it.band);
            if (it.data)
                data(*it.data);
            if (it.block) {
                if (it.block->continued)
                    f(*it.block->continued);
                body(it.block->body);
            }
        }
    };
    for (Band* b : {t.title.get(), t.summary.get(), t.pageHeader.get(), t.pageFooter.get()})
        if (b)
            f(*b);
    body(t.body);
}

// Ends the measuring of a unit as soon as it is known not to fit.
struct PastPage {};

class Preparer : public Scope {
public:
    Preparer(Template& t, DataRegistry* data, QSizeF pageSize, std::vector<PreparedPage>& out,
             seams::Progress* progress = nullptr)
        : t_(t), data_(data), pageSize_(pageSize), pages_(out), progress_(progress)
    {
        forEachBand(t_, [this](Band& b) { allSums_.insert(allSums_.end(), b.sums.begin(), b.sums.end()); });
    }

    void run()
    {
        try {
            startPage();
            if (t_.title)
                emitBand(*t_.title);
            runBody(t_.body);
            if (t_.summary)
                emitBand(*t_.summary);
            finishPage();
        } catch (...) {
            // Put the queries back even when the preparation breaks off.
            for (auto it = chain_.rbegin(); it != chain_.rend(); ++it)
                it->ds->finish();
            chain_.clear();
            throw;
        }
        const QString total = QString::number(pages_.size());
        static const QRegularExpression unitRe("\uE000U(\\d+)\uE000");
        for (auto& p : pages_)
            for (auto& it : p.items) {
                if (it.kind != PreparedItem::Text || !it.text.contains(QChar(0xE000)))
                    continue;
                it.text.replace(kPagesMark, total);
                QRegularExpressionMatch m;
                while ((m = unitRe.match(it.text)).hasMatch()) {
                    const int id = m.captured(1).toInt();
                    it.text.replace(m.capturedStart(), m.capturedLength(),
                                    QString::number(unitPages_.at(size_t(id))));
                }
            }
    }

    bool lookup(const QStringList& partsIn, Value* out, QString* err) override
    {
        // Read only: a list's rows ask thousands of names, none is copied.
        const QStringList parts =
            partsIn.size() == 3 && partsIn[0].compare("Data", Qt::CaseInsensitive) == 0 ? partsIn.mid(1)
                                                                                        : partsIn;
        if (parts.size() == 1) {
            const QString& n = parts[0];
            if (pageCounter(n) && n.compare("PAGE", Qt::CaseInsensitive) == 0) {
                *out = Value::number(double(pages_.size()));
                return true;
            }
            if (pageCounter(n) && n.compare("PAGES", Qt::CaseInsensitive) == 0) {
                *out = Value::text(kPagesMark);
                return true;
            }
            if (pageCounter(n) && n.compare("BLOCKPAGE", Qt::CaseInsensitive) == 0) {
                // Before its first band is placed, a unit is on its first page.
                const int first = units_.empty() ? 0 : units_.back().firstPage;
                *out = Value::number(first < 0 ? 1.0 : double(int(pages_.size()) - first));
                return true;
            }
            if (pageCounter(n) && n.compare("BLOCKPAGES", Qt::CaseInsensitive) == 0) {
                *out = Value::text(units_.empty() ? kPagesMark : unitMark(units_.back().id));
                return true;
            }
            for (auto it = chain_.rbegin(); it != chain_.rend(); ++it) {
                if (fieldOf(*it, n, out))
                    return true;
            }
            // The buyer's columns begin with V_ as well, so the band's own fields
            // come first; a variable no print has set yet prints as nothing.
            if (n.startsWith("v_", Qt::CaseInsensitive)) {
                *out = Value::fromVariant(variable(n));
                return true;
            }
            *err = chain_.empty() ? QString("ismeretlen mező: %1 (ez a sáv nem adathalmazé)").arg(n)
                                  : QString("ismeretlen mező: %1 (%2)").arg(n, chain_.back().ds->name());
            return false;
        }
        if (parts.size() != 2) {
            *err = "ismeretlen név: " + parts.join('.');
            return false;
        }
        const QString& owner = parts[0];
        const QString& field = parts[1];
        if (DataSet* ds = data_ ? data_->dataSet(owner) : nullptr) {
            for (auto it = chain_.rbegin(); it != chain_.rend(); ++it)
                if (it->ds == ds)
                    return fieldOf(*it, field, out) || unknownField(owner, field, err);
            QVariant v;
            if (ds->field(field, &v)) {
                *out = Value::fromVariant(v);
                return true;
            }
            return unknownField(owner, field, err);
        }
        TQuery* q = data_ ? data_->query(owner) : nullptr;
        if (!q) {
            *err = "ismeretlen lekérdezés vagy adathalmaz: " + owner;
            return false;
        }
        if (q->fieldIndex(field) < 0)
            return unknownField(owner, field, err);
        *out = Value::fromVariant(q->value(field));
        return true;
    }

private:
    // Could be PAGE, PAGES, BLOCKPAGE or BLOCKPAGES: field names rarely are.
    static bool pageCounter(const QString& n)
    {
        if (n.size() < 4 || n.size() > 10)
            return false;
        const char16_t c = n.front().unicode();
        return c == 'P' || c == 'p' || c == 'B' || c == 'b';
    }

    static bool unknownField(const QString& owner, const QString& field, QString* err)
    {
        *err = QString("ismeretlen mező: %1.%2").arg(owner, field);
        return false;
    }

    static bool fieldOf(const Active& a, const QString& name, Value* out)
    {
        QVariant v;
        if (a.snapshot) {
            auto it = a.snapshot->constFind(name.toLower());
            if (it == a.snapshot->constEnd())
                return false;
            v = *it;
        } else if (!a.ds->field(name, &v)) {
            return false;
        }
        *out = Value::fromVariant(v);
        return true;
    }

    DataSet* dataSetOf(const DataBlock& b)
    {
        DataSet* ds = data_ ? data_->dataSet(b.dataSet) : nullptr;
        if (!ds)
            throw ReportError(QString("%1, %2. sor: ismeretlen adathalmaz: %3").arg(t_.name).arg(b.line).arg(b.dataSet));
        if (auto* u = dynamic_cast<UserDataSet*>(ds); u && !u->hasCallbacks())
            throw ReportError(QString("%1: a(z) %2 adathalmaznak nincs adatforrása").arg(t_.name, ds->name()));
        return ds;
    }

    void runBody(std::vector<BodyItem>& items)
    {
        for (auto& item : items) {
            if (item.band)
                emitBand(*item.band);
            else if (item.data)
                runBlock(*item.data);
            else if (item.block) {
                Block& blk = *item.block;
                runUnit(blk.keep, blk.continued.get(), [&] { runBody(blk.body); });
            }
        }
    }

    // Prints `body` as one unit. A kept unit that does not fit the rest of a
    // page already begun starts on a fresh page; one longer than a page then
    // runs on, with its continued band at the top of each further page.
    void runUnit(bool keep, Band* continued, const std::function<void()>& body)
    {
        if (measuring_) {
            body();
            return;
        }
        if (keep && placedOnPage_ && !fitsRestOfPage(body))
            newPage();
        const int id = int(unitPages_.size());
        unitPages_.push_back(0);
        units_.push_back(Unit{id});
        const int index = int(units_.size()) - 1;
        if (continued)
            pageTops_.push_back(PageTop{continued, index});
        body();
        if (continued)
            pageTops_.pop_back();
        const int first = units_.back().firstPage;
        unitPages_[size_t(id)] = first < 0 ? 0 : int(pages_.size()) - first;
        units_.pop_back();
    }

    // Whether `body` fits below the cursor on this page. It is laid out only
    // as far as the page's foot: a product's lines of a whole year are known
    // not to fit after a page of them. Sums are put back, and data sets walk
    // again when the body is printed for real.
    bool fitsRestOfPage(const std::function<void()>& body)
    {
        std::vector<double> sums;
        sums.reserve(allSums_.size());
        for (Node* n : allSums_)
            sums.push_back(n->sumAcc);
        const size_t chain = chain_.size();
        const size_t tops = pageTops_.size();
        measuring_ = true;
        measured_ = 0;
        auto restore = [&] {
            for (size_t i = 0; i < allSums_.size(); ++i)
                allSums_[i]->sumAcc = sums[i];
            measuring_ = false;
        };
        bool fits = true;
        try {
            body();
            fits = !pastPage();
        } catch (const PastPage&) {
            // Left in the middle of its data: put the walked data sets back.
            while (chain_.size() > chain) {
                chain_.back().ds->finish();
                chain_.pop_back();
            }
            pageTops_.resize(tops);
            fits = false;
        } catch (...) {
            restore();
            throw;
        }
        restore();
        return fits;
    }

    // What is measured so far runs past the page's foot.
    bool pastPage() const { return y_ + measured_ > bottom_ + 1e-9; }

    void runBlock(DataBlock& b)
    {
        DataSet* ds = dataSetOf(b);
        for (const auto& a : chain_)
            if (a.ds == ds)
                throw ReportError(QString("%1, %2. sor: a(z) %3 adathalmaz önmaga részletezője")
                                      .arg(t_.name).arg(b.line).arg(ds->name()));
        chain_.push_back(Active{&b, ds});
        ds->first();
        if (ds->eof()) {
            // No rows: neither the header nor the footer of the band is printed.
            ds->finish();
            chain_.pop_back();
            return;
        }
        if (b.footer)
            for (Node* s : b.footer->sums)
                s->sumAcc = 0;
        if (b.header) {
            emitBand(*b.header, b.row->height);
            if (b.header->repeat)
                pageTops_.push_back(PageTop{b.header.get()});
        }
        bool needSnapshot = false;
        for (auto& g : b.groups)
            needSnapshot = needSnapshot || g.footer;
        QHash<QString, QVariant> last;
        std::vector<Value> keys(b.groups.size());
        bool groupsOpen = false;

        auto rowWithDetail = [&] {
            emitBand(*b.row);
            accumulate(b);
            if (b.detail)
                runBlock(*b.detail);
        };
        while (!ds->eof()) {
            if (++rows_ > 5'000'000)
                throw ReportError(t_.name + ": túl sok sor (véget nem érő adathalmaz?)");
            // Filling a page may take long (a kept unit measured, its detail
            // read): the progress moves on with the rows as well.
            if (rows_ % kRowsPerStep == 0)
                step(std::max(0, int(pages_.size()) - 1));
            if (!b.groups.empty()) {
                size_t changed = b.groups.size();
                std::vector<Value> now(b.groups.size());
                for (size_t i = 0; i < b.groups.size(); ++i) {
                    now[i] = evalExpr(*b.groups[i].condition, b.groups[i].source, b.line);
                    if (changed == b.groups.size() && (!groupsOpen || now[i].kind != keys[i].kind
                                                       || now[i].toText() != keys[i].toText()))
                        changed = i;
                }
                if (changed < b.groups.size()) {
                    if (groupsOpen)
                        closeGroups(b, changed, last);
                    for (size_t i = changed; i < b.groups.size(); ++i) {
                        Group& g = b.groups[i];
                        if (g.footer)
                            for (Node* s : g.footer->sums)
                                s->sumAcc = 0;
                        if (g.header)
                            emitBand(*g.header, b.row->height);
                        keys[i] = now[i];
                    }
                    groupsOpen = true;
                }
            }
            if (b.keep || b.continued)
                runUnit(b.keep, b.continued.get(), rowWithDetail);
            else
                rowWithDetail();
            if (needSnapshot) {
                last.clear();
                for (const QString& f : ds->fieldNames()) {
                    QVariant v;
                    ds->field(f, &v);
                    last.insert(f.toLower(), v);
                }
            }
            ds->next();
        }
        if (groupsOpen)
            closeGroups(b, 0, last);
        // A footer that goes to the next page gets the column titles above it
        // too: its totals belong under them.
        if (b.footer)
            emitBand(*b.footer);
        if (b.header && b.header->repeat)
            pageTops_.pop_back();
        ds->finish();
        chain_.pop_back();
    }

    // Footers of the groups from the innermost down to `level`, read from the
    // group's last row (the data set already stands on the next group's first).
    void closeGroups(DataBlock& b, size_t level, const QHash<QString, QVariant>& last)
    {
        chain_.back().snapshot = &last;
        for (size_t i = b.groups.size(); i-- > level;)
            if (b.groups[i].footer)
                emitBand(*b.groups[i].footer);
        chain_.back().snapshot = nullptr;
    }

    void accumulate(DataBlock& b)
    {
        auto add = [&](Band* f) {
            if (!f)
                return;
            for (Node* s : f->sums)
                s->sumAcc += evalExpr(*s->args[0], "sum", f->line).toNumber("sum()");
        };
        add(b.footer.get());
        for (auto& g : b.groups)
            add(g.footer.get());
    }

    Value evalExpr(const Node& n, const QString& src, int line)
    {
        try {
            return evaluate(n, *this, src);
        } catch (const ReportError& e) {
            throw ReportError(QString("%1, %2. sor: %3").arg(t_.name).arg(line).arg(e.text()));
        }
    }

    QString textOf(const TemplateObject& o)
    {
        QString s;
        for (const auto& seg : o.segments)
            s += seg.expr ? evalExpr(*seg.expr, seg.source, o.line).toText() : seg.literal;
        return s;
    }

    // A font's measures at the measuring resolution, each text laid out once:
    // a list repeats its names, products and units thousands of times.
    struct Measures {
        Measures(const FontSpec& wanted, const QFont& f, QPaintDevice* device)
            : font(wanted), fm(f, device), lineHeight(fm.ascent() + fm.descent())
        {
        }
        FontSpec font;
        QFontMetricsF fm;
        double lineHeight; // px
        QHash<char16_t, double> advances; // single characters, px
        QHash<QString, double> widths;    // one-line texts, px
        QHash<WrapKey, QSizeF> wrapped;   // wrapped texts' bounding boxes, px
    };

    // Distinct texts of a long list (amounts, dates) are many: a full cache
    // starts again rather than grow with the list.
    template <class H>
    static void bound(H& cache)
    {
        constexpr qsizetype kMaxCached = 20000;
        if (cache.size() >= kMaxCached)
            cache.clear();
    }

    Measures& measuresOf(const FontSpec& wanted)
    {
        // A template has a handful of fonts: a short list beats hashing a key per text.
        for (auto& m : measures_)
            if (m.font == wanted)
                return m;
        if (!measure_) {
            if (!QGuiApplication::instance())
                throw ReportError("a szöveg méréséhez grafikus alkalmazás kell");
            measure_ = std::make_unique<QImage>(1, 1, QImage::Format_RGB32);
            measure_->setDotsPerMeterX(int(std::lround(1200 / 0.0254)));
            measure_->setDotsPerMeterY(int(std::lround(1200 / 0.0254)));
        }
        QFont f = deviceFont(wanted, kMeasurePxPerMm, measure_->logicalDpiY());
        return measures_.emplace_back(wanted, f, measure_.get());
    }

    static double textWidth(Measures& m, const QString& text)
    {
        auto it = m.widths.constFind(text);
        if (it != m.widths.constEnd())
            return *it;
        bound(m.widths);
        const double w = m.fm.horizontalAdvance(text);
        m.widths.insert(text, w);
        return w;
    }

    // Most texts are far shorter than their box: the sum of their letters'
    // widths tells so without laying them out (kerning only narrows).
    static bool surelyFits(Measures& m, const QString& text, double availMm)
    {
        double sum = 0;
        for (QChar c : text) {
            auto it = m.advances.constFind(c.unicode());
            if (it == m.advances.constEnd())
                it = m.advances.insert(c.unicode(), m.fm.horizontalAdvance(c));
            sum += *it;
        }
        return sum / kMeasurePxPerMm <= availMm * 0.95;
    }

    // Height a wrapped text needs in its object, padding included (mm), and
    // the width of its widest line.
    double measureHeight(const TemplateObject& o, const FontSpec& font, const QString& text, double* width = nullptr)
    {
        Measures& m = measuresOf(font);
        const double w = std::max(1.0, (o.rect.width() - 2 * kPadX) * kMeasurePxPerMm);
        const WrapKey key{w, o.align, text};
        auto it = m.wrapped.constFind(key);
        if (it == m.wrapped.constEnd()) {
            bound(m.wrapped);
            const QRectF br = m.fm.boundingRect(QRectF(0, 0, w, 1e7), wrapFlags(m.fm, w, text, o.align), text);
            it = m.wrapped.insert(key, br.size());
        }
        if (width)
            *width = it->width() / kMeasurePxPerMm;
        return it->height() / kMeasurePxPerMm + 2 * kPadY;
    }

    // A single-line text too wide for its box, with `shrink`: the font made
    // smaller until it fits, down to kMinShrink points.
    FontSpec fittedFont(const TemplateObject& o, const QString& text)
    {
        constexpr double kMinShrink = 4;
        FontSpec f = o.font;
        if (!o.shrink || o.wrap || text.isEmpty())
            return f;
        const double avail = o.rect.width() - 2 * kPadX;
        if (surelyFits(measuresOf(f), text, avail))
            return f;
        for (int i = 0; i < 40 && f.size > kMinShrink; ++i) {
            const double w = textWidth(measuresOf(f), text) / kMeasurePxPerMm;
            if (w <= avail)
                break;
            f.size = std::max(kMinShrink, std::floor(f.size * avail / w * 10) / 10 - (i ? 0.1 : 0));
        }
        return f;
    }

    static bool wraps(const TemplateObject& o, const QString& text)
    {
        return o.wrap || text.contains('\n') || (o.align & Qt::AlignJustify);
    }

    // Whether a text is cut at its object's edges, drawn as the renderer does:
    // wrapped into the box, or on one line.
    bool isClipped(const TemplateObject& o, const QString& text, double height, const FontSpec& font)
    {
        if (text.isEmpty())
            return false;
        constexpr double kTol = 0.05; // mm
        const double avail = o.rect.width() - 2 * kPadX + kTol;
        if (wraps(o, text)) {
            double w = 0;
            const double need = measureHeight(o, font, text, &w);
            return need > height + kTol || w > avail;
        }
        Measures& m = measuresOf(font);
        if (m.lineHeight / kMeasurePxPerMm > height + kTol)
            return true;
        if (surelyFits(m, text, avail))
            return false;
        return textWidth(m, text) / kMeasurePxPerMm > avail;
    }

    // Texts, grown heights and places of a band's objects. An object below a
    // grown one (overlapping it across) moves down by as much, and a rectangle
    // grows with what it holds, so that no object runs into another.
    Layout layoutBand(const Band& b)
    {
        const size_t n = b.objects.size();
        Layout l;
        l.texts.resize(n);
        l.rects.resize(n);
        l.clipped.assign(n, false);
        l.fonts.resize(n);
        std::vector<double> objH(n), grow(n, 0.0);
        bool anyGrowth = false;
        for (size_t i = 0; i < n; ++i) {
            const TemplateObject& o = b.objects[i];
            objH[i] = o.rect.height();
            if (o.kind != TemplateObject::Text)
                continue;
            l.texts[i] = textOf(o);
            if (o.grow && !l.texts[i].isEmpty()) {
                objH[i] = std::max(objH[i], measureHeight(o, o.font, l.texts[i]));
                grow[i] = objH[i] - o.rect.height();
                anyGrowth = anyGrowth || grow[i] > 1e-6;
            }
        }
        std::vector<double> shift(n, 0.0), extra(n, 0.0);
        if (anyGrowth)
            flow(b, grow, shift, extra);
        double h = b.height;
        double moved = 0;
        for (size_t i = 0; i < n; ++i) {
            moved = std::max(moved, shift[i] + grow[i] + extra[i]);
            if (b.objects[i].kind == TemplateObject::Text)
                h = std::max(h, b.objects[i].rect.y() + shift[i] + objH[i]);
        }
        h = std::max(h, b.height + moved);
        for (size_t i = 0; i < n; ++i) {
            const TemplateObject& o = b.objects[i];
            if (o.kind == TemplateObject::Line) {
                QPointF p1 = o.rect.topLeft() + QPointF(0, shift[i]);
                QPointF p2 = o.rect.bottomRight() + QPointF(0, shift[i]);
                if (o.stretch)
                    p2.setY(h);
                l.rects[i] = QRectF(p1, p2);
                continue;
            }
            const double top = o.rect.y() + shift[i];
            const double oh = o.stretch ? h - top : objH[i] + extra[i];
            l.rects[i] = QRectF(o.rect.x(), top, o.rect.width(), oh);
            if (o.kind == TemplateObject::Text && !measuring_) {
                l.fonts[i] = fittedFont(o, l.texts[i]);
                l.clipped[i] = isClipped(o, l.texts[i], oh, l.fonts[i]);
            }
        }
        l.height = h;
        return l;
    }

    static QRectF box(const TemplateObject& o) { return o.rect.normalized(); }

    void flow(const Band& b, const std::vector<double>& grow, std::vector<double>& shift,
              std::vector<double>& extra)
    {
        constexpr double eps = 0.01;
        const size_t n = b.objects.size();
        std::vector<size_t> order(n);
        for (size_t i = 0; i < n; ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t c) { return box(b.objects[a]).top() < box(b.objects[c]).top(); });
        auto across = [&](const QRectF& a, const QRectF& c) {
            // A vertical line has no width: count it as a sliver.
            const double al = a.left() - (a.width() < eps ? eps : 0), ar = a.right() + (a.width() < eps ? eps : 0);
            const double cl = c.left() - (c.width() < eps ? eps : 0), cr = c.right() + (c.width() < eps ? eps : 0);
            return std::max(al, cl) < std::min(ar, cr) - eps;
        };
        std::vector<bool> done(n, false), extraDone(n, false);
        // How much further than itself a rectangle's contents moved: it grows by that.
        std::function<double(size_t)> containerExtra = [&](size_t j) -> double {
            if (extraDone[j])
                return extra[j];
            extraDone[j] = true;
            if (b.objects[j].kind != TemplateObject::Rect)
                return extra[j] = 0;
            const QRectF r = box(b.objects[j]);
            double e = 0;
            for (size_t k = 0; k < n; ++k) {
                if (k == j || !done[k])
                    continue;
                const QRectF c = box(b.objects[k]);
                if (c.left() >= r.left() - eps && c.right() <= r.right() + eps && c.top() >= r.top() - eps
                    && c.bottom() <= r.bottom() + eps && !(c == r && k > j))
                    e = std::max(e, shift[k] + grow[k] + containerExtra(k) - shift[j]);
            }
            return extra[j] = e;
        };
        // Objects that start on one line in the template stay on one line, so
        // a label keeps beside its value and a row of fields moves together.
        for (size_t g = 0; g < n;) {
            const double top = box(b.objects[order[g]]).top();
            size_t e = g;
            while (e < n && box(b.objects[order[e]]).top() <= top + eps)
                ++e;
            double s = 0;
            for (size_t m = g; m < e; ++m) {
                const QRectF ri = box(b.objects[order[m]]);
                for (size_t k = 0; k < g; ++k) {
                    const size_t j = order[k];
                    const QRectF rj = box(b.objects[j]);
                    if (rj.bottom() <= ri.top() + eps && across(ri, rj))
                        s = std::max(s, shift[j] + grow[j] + containerExtra(j));
                }
            }
            for (size_t m = g; m < e; ++m) {
                shift[order[m]] = s;
                done[order[m]] = true;
            }
            g = e;
        }
        for (size_t i = 0; i < n; ++i)
            containerExtra(i);
    }

    // Places a band at the cursor, on a new page when it does not fit; `keep`
    // is room wanted below it (a header wants its first row on the same page).
    void emitBand(Band& b, double keep = 0)
    {
        Layout l = layoutBand(b);
        if (measuring_) {
            measured_ += l.height;
            if (pastPage())
                throw PastPage{};
            return;
        }
        if (!startingPage_) {
            bool broke = false;
            if (b.newPage && placedOnPage_) {
                newPage();
                broke = true;
            } else if (y_ + l.height + keep > bottom_ + 1e-9 && placedOnPage_) {
                newPage();
                broke = true;
            }
            // Page numbers in the band belong to the page it went on.
            if (broke)
                l = layoutBand(b);
        }
        place(b, l);
        placedOnPage_ = true;
    }

    void place(const Band& b, const Layout& l)
    {
        if (!startingPage_)
            for (Unit& u : units_)
                if (u.firstPage < 0)
                    u.firstPage = int(pages_.size()) - 1;
        PreparedPage& page = pages_.back();
        const QPointF at(t_.marginLeft, y_);
        for (size_t i = 0; i < b.objects.size(); ++i) {
            const TemplateObject& o = b.objects[i];
            PreparedItem it;
            it.lineWidth = o.lineWidth;
            it.rect = l.rects[i].translated(at);
            if (o.kind == TemplateObject::Line) {
                it.kind = PreparedItem::Line;
            } else if (o.kind == TemplateObject::Rect) {
                it.kind = PreparedItem::Rect;
            } else {
                it.kind = PreparedItem::Text;
                it.text = l.texts[i];
                it.font = l.fonts[i];
                it.align = o.align;
                it.wrap = o.wrap;
                it.frame = o.frame;
                it.clipped = l.clipped[i];
            }
            page.items.push_back(std::move(it));
        }
        y_ += l.height;
    }

    void startPage()
    {
        if (int(pages_.size()) >= kMaxPages)
            throw ReportError(QString("%1: több mint %2 oldal (véget nem érő adathalmaz?)").arg(t_.name).arg(kMaxPages));
        step(int(pages_.size()));
        PreparedPage p;
        p.size = pageSize_;
        pages_.push_back(std::move(p));
        y_ = t_.marginTop;
        bottom_ = pageSize_.height() - t_.marginBottom - (t_.pageFooter ? t_.pageFooter->height : 0);
        startingPage_ = true;
        if (t_.pageHeader)
            emitBand(*t_.pageHeader);
        for (const PageTop& top : pageTops_)
            if (top.unit < 0 || units_[size_t(top.unit)].firstPage >= 0)
                emitBand(*top.band);
        startingPage_ = false;
        placedOnPage_ = false;
    }

    void finishPage()
    {
        if (!t_.pageFooter)
            return;
        y_ = pageSize_.height() - t_.marginBottom - t_.pageFooter->height;
        const bool was = startingPage_;
        startingPage_ = true; // the footer belongs to no unit
        Layout l = layoutBand(*t_.pageFooter);
        l.height = t_.pageFooter->height;
        place(*t_.pageFooter, l);
        startingPage_ = was;
    }

    void newPage()
    {
        finishPage();
        startPage();
    }

    // Reports the pages done; the user may stop here, as only pages in
    // memory are dropped.
    void step(int pagesDone)
    {
        if (!progress_)
            return;
        progress_->setValue(pagesDone);
        if (progress_->wasCanceled())
            throw ReportError("A nyomtatás előkészítése megszakítva.");
    }

    Template& t_;
    DataRegistry* data_;
    QSizeF pageSize_;
    std::vector<PreparedPage>& pages_;
    seams::Progress* progress_;
    std::vector<Active> chain_;
    std::vector<PageTop> pageTops_;
    std::vector<Unit> units_;
    std::vector<int> unitPages_; // page count of each unit, by id
    std::vector<Node*> allSums_;
    double y_ = 0;
    double bottom_ = 0;
    bool placedOnPage_ = false;
    bool startingPage_ = false; // page header and repeated headers go on unconditionally
    bool measuring_ = false;
    double measured_ = 0;
    long long rows_ = 0;
    std::unique_ptr<QImage> measure_;
    std::deque<Measures> measures_; // a deque: references stay valid as fonts are added
};

} // namespace

QStringList PreparedPage::texts() const
{
    QStringList out;
    for (const auto& it : items)
        if (it.kind == PreparedItem::Text)
            out << it.text;
    return out;
}

Report::Report(const QString& objectName, Kind kind, DataRegistry* data)
    : objectName_(objectName), kind_(kind), data_(data)
{
}

Report::~Report() = default;

void Report::loadFromFile(const QString& bareName)
{
    tpl_.reset();
    loadError_.clear();
    templateName_ = bareName;
    fileName_.clear();
    title_.clear();
    pages_.clear();
    // The user's own copy in the working folder first, then the shipped one.
    const QString path = paths::find(bareName);
    QFile f(path);
    if (bareName.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        const QFileInfo fi(path);
        const QString why = bareName.isEmpty()   ? QString("nincs megadva")
                            : !fi.exists()       ? QString("a fájl nem létezik")
                            : fi.isDir()         ? QString("ez egy mappa")
                            : !fi.isReadable()   ? QString("nincs olvasási jog")
                                                 : QString("nem olvasható");
        throw std::runtime_error(
            QString("A nyomtatási sablon nem nyitható meg: %1 (%2)").arg(QDir::toNativeSeparators(fi.absoluteFilePath()), why)
                .toStdString());
    }
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        loadError_ = QString("A nyomtatási sablon nem olvasható: %1").arg(QDir::toNativeSeparators(path));
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        loadError_ = bareName + ": a sablon nem UTF-8 szöveg";
        return;
    }
    loadFromText(text, bareName);
}

bool Report::loadAndPrepare(const QString& bareName)
{
    try {
        loadFromFile(bareName);
    } catch (const std::runtime_error& e) {
        error_ = QString::fromUtf8(e.what());
        return false;
    }
    return prepare();
}

QString Report::proposedPdfPath() const
{
    QString name = fileName_;
    if (name.isEmpty()) {
        name = templateName_;
        const qsizetype dot = name.lastIndexOf('.');
        if (dot > 0)
            name.truncate(dot);
        if (name.isEmpty())
            name = "nyomtatas";
        name += ".pdf";
    }
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        dir = QDir::homePath();
    return QDir(dir).filePath(safeFileName(name));
}

QString safeFileName(const QString& name)
{
    QString out = name.trimmed();
    for (QChar& c : out)
        if (c.isSpace() || c.unicode() < 32 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = '_';
    return out;
}

void Report::loadFromText(const QString& text, const QString& name)
{
    tpl_.reset();
    loadError_.clear();
    templateName_ = name;
    fileName_.clear();
    title_.clear();
    pages_.clear();
    try {
        tpl_ = parseTemplate(text, name);
    } catch (const ReportError& e) {
        loadError_ = e.text();
    }
}

QPageLayout::Orientation Report::orientation() const
{
    if (orientation_)
        return *orientation_;
    if (tpl_ && tpl_->orientation)
        return *tpl_->orientation;
    return QPageLayout::Portrait;
}

bool Report::prepare()
{
    pages_.clear();
    error_.clear();
    if (!loadError_.isEmpty()) {
        error_ = loadError_;
        return false;
    }
    if (!tpl_) {
        error_ = objectName_ + ": nincs betöltött sablon";
        return false;
    }
    QSizeF s = tpl_->pageSize.size(QPageSize::Millimeter);
    QSizeF portrait(std::min(s.width(), s.height()), std::max(s.width(), s.height()));
    QSizeF size = orientation() == QPageLayout::Landscape ? portrait.transposed() : portrait;
    if (tpl_->marginLeft + tpl_->marginRight >= size.width() - 10
        || tpl_->marginTop + tpl_->marginBottom >= size.height() - 10) {
        error_ = templateName_ + ": a margók nem hagynak helyet";
        return false;
    }
    try {
        // A long list shows its progress after a second and can be stopped:
        // only pages in memory are dropped.
        const std::unique_ptr<seams::Progress> progress =
            seams::startProgress("A nyomtatás előkészítése…", 0);
        Preparer p(*tpl_, data_, size, pages_, progress.get());
        p.run();
    } catch (const std::exception& e) {
        // Database errors of the callbacks end up here as well as the engine's own.
        error_ = QString::fromUtf8(e.what());
        if (!dynamic_cast<const ReportError*>(&e))
            error_ = templateName_ + ": " + error_;
        pages_.clear();
        return false;
    }
    return true;
}

bool Report::exportPdf(const QString& path) const
{
    if (pages_.empty())
        return false;
    return writePdf(pages_, path, title());
}

} // namespace rep

#include "Report.h"

#include "Query.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QStringDecoder>
#include <cmath>
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

// Total page count is known only at the end; texts get this mark meanwhile.
const QString kPagesMark = QStringLiteral("\uE000PAGES\uE000");

struct Active {
    DataBlock* block;
    DataSet* ds;
    const QHash<QString, QVariant>* snapshot = nullptr; // a group footer's last row
};

class Preparer : public Scope {
public:
    Preparer(Template& t, DataRegistry* data, QSizeF pageSize, std::vector<PreparedPage>& out)
        : t_(t), data_(data), pageSize_(pageSize), pages_(out)
    {
    }

    void run()
    {
        try {
            startPage();
            if (t_.title)
                emitBand(*t_.title);
            for (auto& item : t_.body) {
                if (item.band)
                    emitBand(*item.band);
                else
                    runBlock(*item.data);
            }
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
        for (auto& p : pages_)
            for (auto& it : p.items)
                if (it.kind == PreparedItem::Text && it.text.contains(kPagesMark))
                    it.text.replace(kPagesMark, total);
    }

    bool lookup(const QStringList& partsIn, Value* out, QString* err) override
    {
        QStringList parts = partsIn;
        if (parts.size() == 3 && parts[0].compare("Data", Qt::CaseInsensitive) == 0)
            parts.removeFirst();
        if (parts.size() == 1) {
            const QString& n = parts[0];
            if (n.compare("PAGE", Qt::CaseInsensitive) == 0) {
                *out = Value::number(double(pages_.size()));
                return true;
            }
            if (n.compare("PAGES", Qt::CaseInsensitive) == 0) {
                *out = Value::text(kPagesMark);
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
                repeat_.push_back(b.header.get());
        }
        bool needSnapshot = false;
        for (auto& g : b.groups)
            needSnapshot = needSnapshot || g.footer;
        QHash<QString, QVariant> last;
        std::vector<Value> keys(b.groups.size());
        bool groupsOpen = false;

        while (!ds->eof()) {
            if (++rows_ > 5'000'000)
                throw ReportError(t_.name + ": túl sok sor (véget nem érő adathalmaz?)");
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
            emitBand(*b.row);
            accumulate(b);
            if (b.detail)
                runBlock(*b.detail);
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
        if (b.header && b.header->repeat)
            repeat_.pop_back();
        if (b.footer)
            emitBand(*b.footer);
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

    double measureHeight(const TemplateObject& o, const QString& text)
    {
        if (!measure_) {
            if (!QGuiApplication::instance())
                throw ReportError("a szöveg méréséhez grafikus alkalmazás kell");
            measure_ = std::make_unique<QImage>(1, 1, QImage::Format_RGB32);
            measure_->setDotsPerMeterX(int(std::lround(1200 / 0.0254)));
            measure_->setDotsPerMeterY(int(std::lround(1200 / 0.0254)));
        }
        const double pxPerMm = 1200 / 25.4;
        QFont f = deviceFont(o.font, pxPerMm, measure_->logicalDpiY());
        QFontMetricsF fm(f, measure_.get());
        const double w = std::max(1.0, (o.rect.width() - 2 * kPadX) * pxPerMm);
        QRectF br = fm.boundingRect(QRectF(0, 0, w, 1e7), o.align | Qt::TextWordWrap, text);
        return br.height() / pxPerMm + 2 * kPadY;
    }

    // Places a band at the cursor, on a new page when it does not fit; `keep`
    // is room wanted below it (a header wants its first row on the same page).
    void emitBand(Band& b, double keep = 0)
    {
        std::vector<QString> texts(b.objects.size());
        double h = b.height;
        std::vector<double> objH(b.objects.size());
        for (size_t i = 0; i < b.objects.size(); ++i) {
            const TemplateObject& o = b.objects[i];
            objH[i] = o.rect.height();
            if (o.kind != TemplateObject::Text)
                continue;
            texts[i] = textOf(o);
            if (o.grow && !texts[i].isEmpty())
                objH[i] = std::max(objH[i], measureHeight(o, texts[i]));
            h = std::max(h, o.rect.y() + objH[i]);
        }
        if (!startingPage_) {
            if (b.newPage && placedOnPage_)
                newPage();
            if (y_ + h + keep > bottom_ + 1e-9 && placedOnPage_)
                newPage();
        }
        place(b, texts, objH, h);
        placedOnPage_ = true;
    }

    void place(const Band& b, const std::vector<QString>& texts, const std::vector<double>& objH, double h)
    {
        PreparedPage& page = pages_.back();
        const double x0 = t_.marginLeft;
        for (size_t i = 0; i < b.objects.size(); ++i) {
            const TemplateObject& o = b.objects[i];
            PreparedItem it;
            it.lineWidth = o.lineWidth;
            if (o.kind == TemplateObject::Line) {
                it.kind = PreparedItem::Line;
                QPointF p2 = o.rect.bottomRight();
                if (o.stretch)
                    p2.setY(h);
                it.rect = QRectF(o.rect.topLeft() + QPointF(x0, y_), p2 + QPointF(x0, y_));
            } else {
                double oh = o.stretch ? h - o.rect.y() : objH[i];
                it.rect = QRectF(o.rect.x() + x0, o.rect.y() + y_, o.rect.width(), oh);
                if (o.kind == TemplateObject::Rect) {
                    it.kind = PreparedItem::Rect;
                } else {
                    it.kind = PreparedItem::Text;
                    it.text = texts[i];
                    it.font = o.font;
                    it.align = o.align;
                    it.wrap = o.wrap;
                    it.frame = o.frame;
                }
            }
            page.items.push_back(std::move(it));
        }
        y_ += h;
    }

    void startPage()
    {
        if (int(pages_.size()) >= kMaxPages)
            throw ReportError(QString("%1: több mint %2 oldal (véget nem érő adathalmaz?)").arg(t_.name).arg(kMaxPages));
        PreparedPage p;
        p.size = pageSize_;
        pages_.push_back(std::move(p));
        y_ = t_.marginTop;
        bottom_ = pageSize_.height() - t_.marginBottom - (t_.pageFooter ? t_.pageFooter->height : 0);
        startingPage_ = true;
        if (t_.pageHeader)
            emitBand(*t_.pageHeader);
        for (Band* r : repeat_)
            emitBand(*r);
        startingPage_ = false;
        placedOnPage_ = false;
    }

    void finishPage()
    {
        if (!t_.pageFooter)
            return;
        y_ = pageSize_.height() - t_.marginBottom - t_.pageFooter->height;
        std::vector<QString> texts(t_.pageFooter->objects.size());
        std::vector<double> objH(t_.pageFooter->objects.size());
        for (size_t i = 0; i < texts.size(); ++i) {
            const TemplateObject& o = t_.pageFooter->objects[i];
            objH[i] = o.rect.height();
            if (o.kind == TemplateObject::Text)
                texts[i] = textOf(o);
        }
        place(*t_.pageFooter, texts, objH, t_.pageFooter->height);
    }

    void newPage()
    {
        finishPage();
        startPage();
    }

    Template& t_;
    DataRegistry* data_;
    QSizeF pageSize_;
    std::vector<PreparedPage>& pages_;
    std::vector<Active> chain_;
    std::vector<Band*> repeat_;
    double y_ = 0;
    double bottom_ = 0;
    bool placedOnPage_ = false;
    bool startingPage_ = false; // page header and repeated headers go on unconditionally
    long long rows_ = 0;
    std::unique_ptr<QImage> measure_;
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
    pages_.clear();
    QFile f(QDir::current().filePath(bareName));
    if (bareName.isEmpty() || !f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("Cannot open file " + bareName).toStdString());
    QByteArray bytes = f.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        loadError_ = bareName + ": a sablon nem UTF-8 szöveg";
        return;
    }
    loadFromText(text, bareName);
}

void Report::loadFromText(const QString& text, const QString& name)
{
    tpl_.reset();
    loadError_.clear();
    templateName_ = name;
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
        Preparer p(*tpl_, data_, size, pages_);
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
    return writePdf(pages_, path, templateName_);
}

} // namespace rep

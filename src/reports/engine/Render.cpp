#include "Report.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

namespace rep {

namespace {
constexpr double kPadX = 0.6; // same inner padding as the preparation measures with
constexpr double kPadY = 0.3;

QString fontKey(const FontSpec& f)
{
    return f.family + '|' + QString::number(f.size) + (f.bold ? "b" : "") + (f.italic ? "i" : "");
}

QPageLayout layoutFor(const PreparedPage& page)
{
    const QSizeF s = page.size;
    const bool landscape = s.width() > s.height();
    QPageSize ps(landscape ? s.transposed() : s, QPageSize::Millimeter);
    return QPageLayout(ps, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}
} // namespace

QFont deviceFont(const FontSpec& f, double pxPerMm, double deviceDpiY)
{
    QFont font(f.family);
    // Point sizes are turned into pixels with the device's dpi; scale them so
    // that a 10 pt text is 10 pt high on paper at any zoom and resolution.
    font.setPointSizeF(f.size * 25.4 * pxPerMm / deviceDpiY);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

int wrapFlags(const QFontMetricsF& fm, double width, const QString& text, int align)
{
    static const QRegularExpression blanks("\\s+");
    const QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    for (const QString& w : words)
        if (fm.horizontalAdvance(w) > width)
            return align | Qt::TextWrapAnywhere;
    return align | Qt::TextWordWrap;
}

void renderPage(QPainter& p, const PreparedPage& page, double pxPerMm, QPointF origin)
{
    struct Font {
        QFont font;
        QFontMetricsF metrics;
    };
    QHash<QString, Font> fonts;
    const double dpiY = p.device() ? p.device()->logicalDpiY() : 96;
    auto px = [&](const QPointF& mm) { return origin + mm * pxPerMm; };
    auto pxRect = [&](const QRectF& mm) { return QRectF(px(mm.topLeft()), mm.size() * pxPerMm); };
    p.save();
    p.setBrush(Qt::NoBrush);
    for (const PreparedItem& it : page.items) {
        QPen pen(Qt::black);
        pen.setWidthF(std::max(0.5, it.lineWidth * pxPerMm));
        pen.setCapStyle(Qt::SquareCap);
        switch (it.kind) {
        case PreparedItem::Line:
            p.setPen(pen);
            p.drawLine(px(it.rect.topLeft()), px(it.rect.bottomRight()));
            break;
        case PreparedItem::Rect:
            p.setPen(pen);
            p.drawRect(pxRect(it.rect));
            break;
        case PreparedItem::Text: {
            const QRectF r = pxRect(it.rect);
            if (it.frame) {
                p.setPen(pen);
                if (it.frame & FrameLeft) p.drawLine(r.topLeft(), r.bottomLeft());
                if (it.frame & FrameTop) p.drawLine(r.topLeft(), r.topRight());
                if (it.frame & FrameRight) p.drawLine(r.topRight(), r.bottomRight());
                if (it.frame & FrameBottom) p.drawLine(r.bottomLeft(), r.bottomRight());
            }
            if (it.text.isEmpty())
                break;
            const QString key = fontKey(it.font);
            auto f = fonts.constFind(key);
            if (f == fonts.constEnd()) {
                QFont font = deviceFont(it.font, pxPerMm, dpiY);
                f = fonts.insert(key, Font{font, QFontMetricsF(font, p.device())});
            }
            p.setFont(f->font);
            p.setPen(Qt::black);
            const QRectF inner = r.adjusted(kPadX * pxPerMm, kPadY * pxPerMm, -kPadX * pxPerMm, -kPadY * pxPerMm);
            if (it.wrap || it.text.contains('\n') || (it.align & Qt::AlignJustify)) {
                p.drawText(inner, wrapFlags(f->metrics, inner.width(), it.text, it.align), it.text);
                break;
            }
            // One line: place it by hand. Laying out through the rectangle
            // form costs several times more, and lists draw thousands of texts.
            const QFontMetricsF& fm = f->metrics;
            const double w = fm.horizontalAdvance(it.text);
            double x = inner.left();
            if (it.align & Qt::AlignRight)
                x = inner.right() - w;
            else if (it.align & Qt::AlignHCenter)
                x = inner.left() + (inner.width() - w) / 2;
            double y = inner.top() + fm.ascent();
            if (it.align & Qt::AlignBottom)
                y = inner.bottom() - fm.descent();
            else if (it.align & Qt::AlignVCenter)
                y = inner.top() + (inner.height() - fm.height()) / 2 + fm.ascent();
            if (w > inner.width() + 0.5) {
                // Too long for its column: cut at the object's edges rather than
                // run over the neighbouring column.
                p.save();
                p.setClipRect(r, Qt::IntersectClip);
                p.drawText(QPointF(x, y), it.text);
                p.restore();
            } else {
                p.drawText(QPointF(x, y), it.text);
            }
            break;
        }
        }
    }
    p.restore();
}

bool writePdf(const std::vector<PreparedPage>& pages, const QString& path, const QString& title)
{
    if (pages.empty())
        return false;
    QPdfWriter w(path);
    w.setResolution(600);
    w.setTitle(title);
    w.setCreator("vadmo7");
    w.setPageLayout(layoutFor(pages.front()));
    QPainter p;
    if (!p.begin(&w))
        return false;
    const double pxPerMm = w.resolution() / 25.4;
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            w.setPageLayout(layoutFor(pages[i]));
            w.newPage();
        }
        renderPage(p, pages[i], pxPerMm);
    }
    return p.end();
}

} // namespace rep

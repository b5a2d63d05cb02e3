#include "ReportPreview.h"

#include "reports/engine/Report.h"
#include "seams.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace rep {

namespace {
constexpr int kGap = 12; // pixels between and around the pages
}

PageView::PageView(const Report* report, QWidget* parent) : QWidget(parent), report_(report)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double PageView::pxPerMm() const { return logicalDpiX() / 25.4 * zoom_; }

void PageView::setZoom(double z)
{
    zoom_ = std::clamp(z, 0.25, 4.0);
    resize(sizeHint());
    updateGeometry();
    update();
}

QSize PageView::sizeHint() const
{
    double w = 0, h = kGap;
    for (const auto& p : report_->pages()) {
        w = std::max(w, p.size.width() * pxPerMm());
        h += p.size.height() * pxPerMm() + kGap;
    }
    return QSize(int(w) + 2 * kGap, int(h));
}

int PageView::pageTop(int i) const
{
    double y = kGap;
    const auto& pages = report_->pages();
    for (int k = 0; k < i && k < int(pages.size()); ++k)
        y += pages[size_t(k)].size.height() * pxPerMm() + kGap;
    return int(y);
}

void PageView::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.fillRect(e->rect(), QColor(128, 128, 128));
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double s = pxPerMm();
    double y = kGap;
    for (const auto& page : report_->pages()) {
        QRectF r(kGap, y, page.size.width() * s, page.size.height() * s);
        if (r.intersects(e->rect())) {
            p.fillRect(r, Qt::white);
            renderPage(p, page, s, r.topLeft());
        }
        y += r.height() + kGap;
    }
}

ReportPreview::ReportPreview(Report* report, QWidget* parent) : QDialog(parent), report_(report)
{
    setObjectName("ReportPreview");
    setWindowTitle("Előnézet - " + report->templateName());
    setModal(true);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QToolBar(this);
    lay->addWidget(bar);

    if (report->canPrint()) {
        print_ = bar->addAction("Nyomtatás...", this, &ReportPreview::printPages);
        print_->setObjectName("actPrint");
        print_->setShortcut(QKeySequence::Print);
        pdf_ = bar->addAction("Mentés PDF-be...", this, &ReportPreview::savePdf);
        pdf_->setObjectName("actPdf");
        bar->addSeparator();
    }
    QAction* zoomOut = bar->addAction("Kicsinyítés", this, [this] {
        setZoomPercent(int(std::lround(view_->zoom() * 100)) - 25);
    });
    zoomOut->setObjectName("actZoomOut");
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    zoomBox_ = new QComboBox(bar);
    zoomBox_->setObjectName("zoomBox");
    for (int z : {50, 75, 100, 125, 150, 200, 300})
        zoomBox_->addItem(QString("%1%").arg(z), z);
    bar->addWidget(zoomBox_);
    QAction* zoomIn = bar->addAction("Nagyítás", this, [this] {
        setZoomPercent(int(std::lround(view_->zoom() * 100)) + 25);
    });
    zoomIn->setObjectName("actZoomIn");
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    bar->addSeparator();
    QAction* close = bar->addAction("Bezárás", this, &QDialog::reject);
    close->setObjectName("actClose");
    pageLabel_ = new QLabel(bar);
    pageLabel_->setText(QString("  %1 oldal").arg(report->pages().size()));
    bar->addWidget(pageLabel_);

    scroll_ = new QScrollArea(this);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    view_ = new PageView(report, scroll_);
    scroll_->setWidget(view_);
    scroll_->setWidgetResizable(false);
    lay->addWidget(scroll_, 1);

    connect(zoomBox_, &QComboBox::activated, this, [this](int i) {
        setZoomPercent(zoomBox_->itemData(i).toInt());
    });
    setZoomPercent(100); // paper size: readable on any screen

    // Wide enough for a portrait page at 100 %, as high as the screen allows.
    QSize want(int(view_->sizeHint().width()) + 40, 900);
    if (QScreen* sc = QApplication::primaryScreen())
        want = want.boundedTo(sc->availableSize() * 0.9);
    resize(want);
}

void ReportPreview::setZoomPercent(int percent)
{
    percent = std::clamp(percent, 25, 400);
    view_->setZoom(percent / 100.0);
    int idx = zoomBox_->findData(percent);
    if (idx < 0) {
        zoomBox_->addItem(QString("%1%").arg(percent), percent);
        idx = zoomBox_->count() - 1;
    }
    zoomBox_->setCurrentIndex(idx);
}

void ReportPreview::printPages()
{
    if (!report_->canPrint() || report_->pages().empty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(report_->title());
    printer.setFullPage(true);
    const auto& pages = report_->pages();
    const QSizeF first = pages.front().size;
    const bool landscape = first.width() > first.height();
    printer.setPageLayout(QPageLayout(QPageSize(landscape ? first.transposed() : first, QPageSize::Millimeter),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
    printer.setFromTo(1, int(pages.size()));
    QPrintDialog dlg(&printer, this);
    dlg.setObjectName("PrintDialog");
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (seams::ui().runModal(&dlg) != QDialog::Accepted)
        return;
    int from = 1, to = int(pages.size());
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(to, printer.toPage() > 0 ? printer.toPage() : to);
    }
    QPainter p;
    if (!p.begin(&printer)) {
        seams::ui().showMessage("A nyomtatás nem indítható el.");
        return;
    }
    // The paper's own top left corner: full-page mode, so no printer margins are added.
    const double pxPerMm = printer.resolution() / 25.4;
    for (int i = from; i <= to; ++i) {
        if (i > from)
            printer.newPage();
        renderPage(p, pages[size_t(i - 1)], pxPerMm);
    }
    p.end();
}

void ReportPreview::savePdf()
{
    if (!report_->canPrint())
        return;
    // A name of its own for each document, in the user's documents folder, so
    // that one ticket saved does not overwrite the one before.
    QString path = seams::ui().saveFileName("Mentés PDF-be", report_->proposedPdfPath(), "PDF (*.pdf)");
    if (path.isEmpty())
        return;
    if (!path.endsWith(".pdf", Qt::CaseInsensitive))
        path += ".pdf";
    if (!report_->exportPdf(path))
        seams::ui().showMessage("A PDF fájl nem írható: " + path);
}

// The engine's showReport lives here, with the widgets it needs.
bool Report::showReport()
{
    if (!prepare()) {
        seams::ui().showMessage(errorText());
        return false;
    }
    return showPrepared();
}

bool Report::showPrepared()
{
    if (pages_.empty())
        return false;
    ReportPreview dlg(this, QApplication::activeWindow());
    seams::ui().runModal(&dlg);
    return true;
}

void Report::showPreparedOr(bool prepared)
{
    if (prepared)
        showPrepared();
    else
        seams::ui().showMessage(errorText());
}

} // namespace rep

#pragma once
// The modal preview of prepared report pages: zoom and close for every report,
// print (through the print dialog) and save as PDF only for a report that may
// print. The pages are drawn, never edited.

#include <QDialog>
#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QScrollArea;

namespace rep {

class Report;

class PageView : public QWidget {
    Q_OBJECT
public:
    explicit PageView(const Report* report, QWidget* parent = nullptr);
    void setZoom(double z); // 1.0 = paper size on the screen
    double zoom() const { return zoom_; }
    QSize sizeHint() const override;
    // Top of page `i` in widget pixels.
    int pageTop(int i) const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    double pxPerMm() const;
    const Report* report_;
    double zoom_ = 1.0;
};

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(Report* report, QWidget* parent = nullptr);

    QAction* printAction() const { return print_; }   // nullptr for a view report
    QAction* pdfAction() const { return pdf_; }       // nullptr for a view report
    PageView* pageView() const { return view_; }
    void setZoomPercent(int percent);

    // Prints the pages on a printer chosen in the print dialog.
    void printPages();
    // Asks for a file name and writes the pages as PDF.
    void savePdf();

private:
    Report* report_;
    PageView* view_;
    QScrollArea* scroll_;
    QComboBox* zoomBox_;
    QLabel* pageLabel_;
    QAction* print_ = nullptr;
    QAction* pdf_ = nullptr;
};

} // namespace rep

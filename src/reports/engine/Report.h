#pragma once
// The report engine: every printed document of the program goes through here.
//
// How a printing screen uses it (the data module owns the two report objects
// Data->frNyomtat and Data->frMegtekint and the data sets):
//
//   rep::setVariable("v_tol", val::fmtDate(from));        // text or double
//   Data->frNyomtat->setOrientation(QPageLayout::Landscape);
//   Data->frNyomtat->loadFromFile("FjLista4.frf");        // throws std::runtime_error
//                                                          // when the file cannot be read
//   Data->frNyomtat->showReport();                         // modal preview; returns after close
//
// API
//   rep::setVariable(name, value)  process-wide report variable table: a QString
//                                  or a double (other numbers become double, anything
//                                  else text). Setting replaces; nothing ever clears it.
//   rep::variable(name)            the value, or an invalid QVariant when never set.
//   Report::loadFromFile(bareName) reads a template from the current folder,
//                                  replacing the one held. A file that cannot be read
//                                  throws std::runtime_error with a Hungarian message
//                                  naming the file and leaves the report empty. A
//                                  template with faults loads, and its fault is
//                                  reported when the report is prepared.
//   Report::loadAndPrepare(name)   both steps without throwing; false with errorText().
//   Report::setFileName(name)      the name "save as PDF" offers (after loading).
//   Report::setTitle(title)        the document's title in the PDF and the print job.
//   Report::setOrientation(o)      page orientation of the following prints. It
//                                  stays until set again and wins over the template's
//                                  own default ("page ... portrait|landscape").
//   Report::prepare()              runs the template into pages; false on a preparation
//                                  error (errorText() says what), and then no pages.
//   Report::pages()                the prepared pages: page size and every text,
//                                  line and rectangle with its place in millimetres.
//   Report::exportPdf(path)        writes the prepared pages to a PDF file.
//   Report::showPrepared()         modal preview of the pages prepared already.
//   Report::showReport()           prepare + modal preview through seams::ui().runModal.
//                                  On a preparation error it shows the message through
//                                  seams::ui().showMessage, keeps no pages and shows no
//                                  preview. Defined in the widget library (reports/gui).
//   Report::canPrint()             frNyomtat's preview offers print and save as PDF;
//                                  frMegtekint's only zoom and close.
//
// Data: a template reads v_ variables, QUERY.FIELD of the data module's queries
// (found through the DataRegistry's resolver), and the fields of the data sets of
// its data bands. Database data sets walk their query from the first row to the
// last and then put its current row back where it was.

#include "DataSets.h"
#include "Template.h"

#include <QFont>
#include <QPageLayout>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class QFontMetricsF;
class QPainter;

namespace rep {

void setVariable(const QString& name, const QVariant& value);
QVariant variable(const QString& name);

// One object on a prepared page, placed in millimetres from the page's top left.
struct PreparedItem {
    enum Kind { Text, Line, Rect };
    Kind kind = Text;
    QRectF rect; // Line: from topLeft to bottomRight
    QString text;
    FontSpec font;
    int align = 0;
    bool wrap = false;
    quint8 frame = 0;
    double lineWidth = 0.2;
    bool clipped = false; // Text: does not fit its box and is cut at its edges
};

struct PreparedPage {
    QSizeF size; // mm, as oriented
    std::vector<PreparedItem> items;
    QStringList texts() const; // every text in the order placed
};

class Report {
public:
    enum class Kind { Print, View };

    Report(const QString& objectName, Kind kind, DataRegistry* data);
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    QString objectName() const { return objectName_; }
    bool canPrint() const { return kind_ == Kind::Print; }
    DataRegistry* data() const { return data_; }

    void loadFromFile(const QString& bareName);
    // Loads and prepares in one step without throwing: true when there are
    // pages to show; otherwise errorText() says why (a missing template too).
    bool loadAndPrepare(const QString& bareName);
    // The same from text (tests, benchmarks); never throws.
    void loadFromText(const QString& text, const QString& name);
    QString templateName() const { return templateName_; }
    bool hasTemplate() const { return bool(tpl_); }

    void setOrientation(QPageLayout::Orientation o) { orientation_ = o; }
    // The orientation the next preparation will use.
    QPageLayout::Orientation orientation() const;

    bool prepare();
    QString errorText() const { return error_; }
    const std::vector<PreparedPage>& pages() const { return pages_; }
    void clearPages() { pages_.clear(); }

    bool exportPdf(const QString& path) const;
    bool showReport();
    // The preview of the pages prepared already (after prepare() or
    // loadAndPrepare() answered true); false when there are none.
    bool showPrepared();
    // What a screen does with a print's answer: the preview when it prepared
    // the pages, otherwise errorText() in a message.
    void showPreparedOr(bool prepared);

    // The name offered when the pages are saved as PDF ("felvasarlasi_jegy_20260001.pdf").
    // Loading a template clears it, so set it after the load.
    void setFileName(const QString& name) { fileName_ = name; }
    QString fileName() const { return fileName_; }
    // The document's title ("Felvásárlási jegy 20260001"): the PDF's title and
    // the print job's name. Loading a template clears it; without one the
    // template's name stands in.
    void setTitle(const QString& title) { title_ = title; }
    QString title() const { return title_.isEmpty() ? templateName_ : title_; }
    // Where "save as PDF" starts: the file name (or the template's name with
    // .pdf) in the user's documents folder, else in the home folder.
    QString proposedPdfPath() const;

private:
    QString objectName_;
    Kind kind_;
    DataRegistry* data_;
    std::unique_ptr<Template> tpl_;
    QString templateName_;
    QString loadError_;
    std::optional<QPageLayout::Orientation> orientation_;
    QString error_;
    std::vector<PreparedPage> pages_;
    QString fileName_;
    QString title_;
};

// A file name that every file system takes: characters that are not allowed
// in file names, and blanks, become "_".
QString safeFileName(const QString& name);

// Drawing of prepared pages, shared by the PDF export, the preview and printing.
// `pxPerMm` is the device's pixels per millimetre at the wanted zoom; `origin`
// is where the page's top left corner goes, in device pixels.
void renderPage(QPainter& p, const PreparedPage& page, double pxPerMm, QPointF origin = {});
// Writes pages to a PDF file; false when the file cannot be written.
bool writePdf(const std::vector<PreparedPage>& pages, const QString& path, const QString& title);
// The QFont of a template font on a device with the given logical dpi at pxPerMm.
QFont deviceFont(const FontSpec& f, double pxPerMm, double deviceDpiY);
// Flags for a text wrapped into `width` device pixels: at word boundaries, or
// anywhere when one word alone is wider than the box (a long code or name).
int wrapFlags(const QFontMetricsF& fm, double width, const QString& text, int align);

} // namespace rep

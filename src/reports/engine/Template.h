#pragma once
// A loaded template: the page, the bands and their objects, with every
// expression already parsed. The text format is described in
// docs/report-templates.md; parseTemplate reads it.

#include "Expr.h"

#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <memory>
#include <optional>
#include <vector>

namespace rep {

struct FontSpec {
    QString family = "DejaVu Sans";
    double size = 9; // points
    bool bold = false;
    bool italic = false;
    bool operator==(const FontSpec&) const = default;
};

enum FrameSide : quint8 { FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8, FrameAll = 15 };

// A literal piece or an expression of a text object.
struct Segment {
    QString literal;
    NodePtr expr;
    QString source; // the expression as written, for messages
};

struct TemplateObject {
    enum Kind { Text, Line, Rect };
    Kind kind = Text;
    QRectF rect;       // mm, relative to the band; Line: from topLeft to bottomRight
    FontSpec font;
    int align = 0;     // Qt::Alignment flags
    bool wrap = false;
    bool grow = false;    // height follows the wrapped text
    bool stretch = false; // height follows the band's final height
    bool shrink = false;  // a single line too wide for the box gets a smaller font
    quint8 frame = 0;
    double lineWidth = 0.2; // mm, frames, lines and rectangles
    std::vector<Segment> segments;
    int line = 0; // in the template file
};

struct Band {
    enum Kind { Title, Summary, PageHeader, PageFooter, Static, Header, Row, Footer, Continued };
    Kind kind = Static;
    double height = 0; // mm
    bool repeat = false;   // header: again at the top of every further page of its data
    bool newPage = false;  // start on a fresh page
    std::vector<TemplateObject> objects;
    std::vector<Node*> sums; // sum() nodes in this band (footers only)
    int line = 0;
};

struct Group {
    NodePtr condition;
    QString source;
    std::unique_ptr<Band> header;
    std::unique_ptr<Band> footer;
};

struct DataBlock {
    QString dataSet;
    std::unique_ptr<Band> header;
    std::unique_ptr<Band> row;
    std::unique_ptr<Band> footer;
    std::vector<Group> groups; // outermost first
    std::unique_ptr<DataBlock> detail;
    // Each row with its detail is one unit (see Block): kept on one page when
    // it fits, the continued band on its further pages.
    bool keep = false;
    std::unique_ptr<Band> continued;
    int line = 0;
};

struct Block;

// A band printed once where it stands, a data block, or a block of them.
struct BodyItem {
    std::unique_ptr<Band> band;
    std::unique_ptr<DataBlock> data;
    std::unique_ptr<Block> block;
};

// Bands and data printed as one unit (a copy of a document): with `keep` it
// starts on a fresh page when it does not fit the rest of the current one;
// `continued` is printed at the top of each further page it runs onto, and
// BLOCKPAGE / BLOCKPAGES count its own pages.
struct Block {
    bool keep = false;
    std::unique_ptr<Band> continued;
    std::vector<BodyItem> body;
    int line = 0;
};

struct Template {
    QString name;
    QPageSize pageSize = QPageSize(QPageSize::A4);
    std::optional<QPageLayout::Orientation> orientation; // the template's default
    double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10; // mm
    FontSpec font;
    std::unique_ptr<Band> title, summary, pageHeader, pageFooter;
    std::vector<BodyItem> body;
};

// Reads a template; throws ReportError naming the line at fault.
std::unique_ptr<Template> parseTemplate(const QString& text, const QString& name);
// The faces (family, bold, italic) the template's texts are drawn with, each
// once: the fonts the program's package must bring.
std::vector<FontSpec> fontsUsed(const Template& t);
// Splits a text object's content into literals and [expressions].
std::vector<Segment> parseContent(const QString& content);

} // namespace rep

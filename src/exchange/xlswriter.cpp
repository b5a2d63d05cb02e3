#include "xlswriter.h"
#include "safefile.h"

#include "textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtEndian>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <stdexcept>
#include <unistd.h>

extern "C" {
#include <gsf/gsf-infile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-utils.h>
}

namespace xls {

namespace {

// The cell formats, by XF index: the 16 style XFs every BIFF5 file carries,
// then the formats the cells use.
enum Xf : quint16 {
    XfStyle0 = 0,
    XfDefault = 15,
    XfLeft = 16,
    XfRight = 17,
    XfDateLeft = 18,
    XfDateRight = 19,
    XfBoldLeft = 20,
    XfBoldRight = 21,
    XfCount = 22,
};
constexpr quint16 BoldFont = 5; // the fifth FONT record: index 4 does not exist in BIFF
constexpr quint16 DateFormat = 14; // built-in short date

class Rec {
public:
    explicit Rec(quint16 type) : type_(type) {}
    Rec& u8(quint8 v) { d_.append(char(v)); return *this; }
    Rec& u16(quint16 v) { char b[2]; qToLittleEndian(v, b); d_.append(b, 2); return *this; }
    Rec& u32(quint32 v) { char b[4]; qToLittleEndian(v, b); d_.append(b, 4); return *this; }
    Rec& f64(double v) { char b[8]; std::memcpy(b, &v, 8); d_.append(b, 8); return *this; }
    Rec& bytes(const QByteArray& b) { d_.append(b); return *this; }
    QByteArray data() const
    {
        QByteArray out;
        char h[4];
        qToLittleEndian(type_, h);
        qToLittleEndian(quint16(d_.size()), h + 2);
        out.append(h, 4);
        out.append(d_);
        return out;
    }

private:
    quint16 type_;
    QByteArray d_;
};

QByteArray bof(quint16 kind)
{
    return Rec(0x0809).u16(0x0500).u16(kind).u16(0x0DBB).u16(0x07CC).data();
}
QByteArray eof() { return Rec(0x000A).data(); }

// Windows-1250 bytes, at most 255 of them (a BIFF5 text cell's limit).
QByteArray text1250(const QString& s)
{
    QByteArray b = textfile::toWin1250(s);
    if (b.size() > 255)
        b.truncate(255);
    return b;
}

QByteArray font(bool bold)
{
    const QByteArray name = "Arial";
    return Rec(0x0031)
        .u16(200) // 10 pt in twips
        .u16(0)
        .u16(0x7FFF) // automatic colour
        .u16(bold ? 700 : 400)
        .u16(0).u8(0).u8(0).u8(0xEE).u8(0) // escapement, underline, family, Eastern European charset
        .u8(quint8(name.size()))
        .bytes(name)
        .data();
}

QByteArray xf(quint16 fontIdx, quint16 format, bool style, quint8 horAlign)
{
    // type/protection/parent: style XFs have bit 2 set and parent 0xFFF.
    const quint16 typeProt = style ? 0xFFF5 : 0x0001;
    const quint8 used = style ? 0x00 : 0xF8; // a cell XF states all its attributes
    return Rec(0x00E0)
        .u16(fontIdx)
        .u16(format)
        .u16(typeProt)
        .u8(quint8(horAlign | 0x20)) // bottom vertical alignment
        .u8(used)
        .u32(0x000020C0) // pattern colours: system foreground and background, no fill
        .u32(0)
        .data();
}

} // namespace

double serial(const QDate& d)
{
    return double(QDate(1899, 12, 30).daysTo(d));
}

struct Workbook::Sheet {
    QString name;
    QTemporaryFile file;
    qint64 dimensionsAt = 0;
    quint16 rows = 0; // rows written on this sheet, header included
    qint64 size() const { return file.size(); }
    void write(const QByteArray& b) { file.write(b); }
};

Workbook::Workbook(const QString& sheetName, std::vector<Column> columns, int boldTo)
    : name_(sheetName), cols_(std::move(columns)),
      boldTo_(boldTo < 0 ? int(cols_.size()) - 1 : boldTo)
{
    startSheet();
}

Workbook::~Workbook() = default;

int Workbook::sheets() const
{
    return int(sheets_.size());
}

void Workbook::startSheet()
{
    auto s = std::make_unique<Sheet>();
    s->name = sheets_.empty() ? name_ : QString("%1 (%2)").arg(name_).arg(sheets_.size() + 1);
    s->file.setFileTemplate(QDir::temp().filePath("vadmo7-xls-XXXXXX"));
    if (!s->file.open())
        throw std::runtime_error("Az ideiglenes munkafájl nem hozható létre.");
    s->write(bof(0x0010));
    s->dimensionsAt = s->file.pos();
    s->write(Rec(0x0200).u16(0).u16(0).u16(0).u16(0).u16(0).data()); // patched at the end
    for (int c = 0; c < int(cols_.size()); ++c) {
        const Column& col = cols_[c];
        const quint16 x = col.kind == Column::Date ? (col.right ? XfDateRight : XfDateLeft)
                                                   : (col.right ? XfRight : XfLeft);
        s->write(Rec(0x007D).u16(quint16(c)).u16(quint16(c)).u16(quint16(col.width * 256))
                     .u16(x).u16(0).u16(0).data());
    }
    // The header row, bold over its whole range.
    for (int c = 0; c <= boldTo_; ++c) {
        const bool right = c < int(cols_.size()) && cols_[c].right;
        const quint16 x = right ? XfBoldRight : XfBoldLeft;
        if (c < int(cols_.size())) {
            const QByteArray t = text1250(cols_[c].header);
            s->write(Rec(0x0204).u16(0).u16(quint16(c)).u16(x).u16(quint16(t.size())).bytes(t).data());
        } else {
            s->write(Rec(0x0201).u16(0).u16(quint16(c)).u16(x).data());
        }
    }
    s->rows = 1;
    sheets_.push_back(std::move(s));
}

void Workbook::addRow(const std::vector<QVariant>& values)
{
    if (sheets_.back()->rows >= RowsPerSheet) {
        finishSheet();
        startSheet();
    }
    Sheet& s = *sheets_.back();
    const quint16 r = s.rows;
    for (int c = 0; c < int(cols_.size()) && c < int(values.size()); ++c) {
        const QVariant& v = values[c];
        if (!v.isValid() || v.isNull())
            continue;
        const Column& col = cols_[c];
        switch (col.kind) {
        case Column::Date: {
            const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
            if (!d.isValid())
                continue;
            s.write(Rec(0x0203).u16(r).u16(quint16(c)).u16(col.right ? XfDateRight : XfDateLeft)
                        .f64(serial(d)).data());
            break;
        }
        case Column::Decimal:
        case Column::Whole: {
            double d = v.toDouble();
            if (!std::isfinite(d))
                continue;
            if (col.kind == Column::Decimal)
                d = std::round(d * 10000.0) / 10000.0; // four decimal places
            s.write(Rec(0x0203).u16(r).u16(quint16(c)).u16(col.right ? XfRight : XfLeft).f64(d).data());
            break;
        }
        case Column::Text: {
            const QByteArray t = text1250(v.toString());
            if (t.isEmpty())
                continue;
            s.write(Rec(0x0204).u16(r).u16(quint16(c)).u16(col.right ? XfRight : XfLeft)
                        .u16(quint16(t.size())).bytes(t).data());
            break;
        }
        }
    }
    ++s.rows;
    ++rows_;
}

void Workbook::finishSheet()
{
    Sheet& s = *sheets_.back();
    // Selected and active only on the first sheet.
    const quint16 opts = sheets_.size() == 1 ? 0x06B6 : 0x00B6;
    s.write(Rec(0x023E).u16(opts).u16(0).u16(0).u32(0).data());
    s.write(eof());
    s.file.seek(s.dimensionsAt);
    s.write(Rec(0x0200).u16(0).u16(s.rows).u16(0).u16(quint16(std::max<int>(int(cols_.size()), boldTo_ + 1)))
                .u16(0).data());
    s.file.seek(s.file.size());
    s.file.flush();
}

QByteArray Workbook::globals(const std::vector<qint64>& sheetSizes) const
{
    QByteArray g = bof(0x0005);
    g += Rec(0x0042).u16(1250).data(); // code page
    g += Rec(0x003D).u16(0).u16(0).u16(0x4000).u16(0x3000).u16(0x0038).u16(0).u16(0).u16(1).u16(0x0258).data();
    for (int i = 0; i < 4; ++i)
        g += font(false);
    g += font(true); // index 5
    for (int i = 0; i < 15; ++i)
        g += xf(0, 0, true, 0);
    g += xf(0, 0, false, 0);                  // 15: default cell format
    g += xf(0, 0, false, 1);                  // 16: left
    g += xf(0, 0, false, 3);                  // 17: right
    g += xf(0, DateFormat, false, 1);         // 18: date, left
    g += xf(0, DateFormat, false, 3);         // 19: date, right
    g += xf(BoldFont, 0, false, 1);           // 20: bold, left
    g += xf(BoldFont, 0, false, 3);           // 21: bold, right
    g += Rec(0x0293).u16(0x8000).u8(0).u8(0xFF).data(); // the Normal style
    // BOUNDSHEET records carry where each sheet starts in the stream, so their
    // sizes come first: the globals end where the first sheet begins.
    QList<QByteArray> names;
    qint64 boundSize = 0;
    for (const auto& s : sheets_) {
        QByteArray n = text1250(s->name.left(31));
        names << n;
        boundSize += 4 + 7 + n.size();
    }
    qint64 at = g.size() + boundSize + 4; // + EOF
    for (int i = 0; i < int(sheets_.size()); ++i) {
        g += Rec(0x0085).u32(quint32(at)).u8(0).u8(0).u8(quint8(names[i].size())).bytes(names[i]).data();
        at += sheetSizes[i];
    }
    g += eof();
    return g;
}

bool Workbook::save(const QString& path, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    finishSheet();
    std::vector<qint64> sizes;
    for (const auto& s : sheets_)
        sizes.push_back(s->size());
    const QByteArray g = globals(sizes);
    if (g.size() + std::accumulate(sizes.begin(), sizes.end(), qint64(0)) > qint64(0x7FFFFFFF))
        return fail("A munkafüzet túl nagy az Excel 95 formátumhoz.");

    // Written under a working name beside the target and renamed over it only
    // when whole and on the disk: the old file stays until then.
    const QString part = path + ".resz";
    QFile::remove(part);
    gsf_init();
    FILE* fp = std::fopen(QFile::encodeName(part).constData(), "w+be");
    if (!fp)
        return fail("A fájl nem írható: " + safefile::failure(part, errno));
    int writeErr = 0;
    GsfOutput* sink = gsf_output_stdio_new_FILE(QFile::encodeName(part).constData(), fp, TRUE);
    if (!sink) {
        std::fclose(fp);
        QFile::remove(part);
        return fail("A fájl nem írható: " + safefile::failure(part, EIO));
    }
    GsfOutfile* ole = gsf_outfile_msole_new(sink);
    g_object_unref(sink);
    GsfOutput* book = gsf_outfile_new_child(ole, "Book", FALSE);
    bool ok = gsf_output_write(book, g.size(), reinterpret_cast<const guint8*>(g.constData()));
    for (const auto& s : sheets_) {
        s->file.seek(0);
        while (ok && !s->file.atEnd()) {
            const QByteArray chunk = s->file.read(1 << 16);
            errno = 0;
            ok = gsf_output_write(book, chunk.size(), reinterpret_cast<const guint8*>(chunk.constData()));
            if (!ok)
                writeErr = errno;
        }
    }
    ok = gsf_output_close(book) && ok;
    g_object_unref(book);
    errno = 0;
    if (!gsf_output_close(GSF_OUTPUT(ole)) && ok) {
        ok = false;
        writeErr = errno;
    }
    g_object_unref(ole);
    // The stream's own buffer, then the disk: a full disk shows here at the latest.
    if (ok && (std::fflush(fp) != 0 || ::fsync(fileno(fp)) != 0)) {
        ok = false;
        writeErr = errno;
    }
    if (std::fclose(fp) != 0 && ok) {
        ok = false;
        writeErr = errno;
    }
    if (!ok) {
        QFile::remove(part);
        return fail("A fájl írása nem sikerült: " + safefile::failure(part, writeErr ? writeErr : EIO));
    }
    if (const int e = safefile::replace(part, path)) {
        QFile::remove(part);
        return fail("A fájl nem nevezhető át: " + safefile::failure(path, e));
    }
    return true;
}

} // namespace xls

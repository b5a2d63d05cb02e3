#include "xlsxwriter.h"
#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <stdexcept>
#include <xlsxwriter.h>

namespace xlsx {

namespace {

constexpr qint64 RowsPerSheet = 1048576;

class Book : public xls::Writer {
public:
    Book(const QString& name, std::vector<xls::Column> cols, int boldTo)
        : name_(name), cols_(std::move(cols)), boldTo_(boldTo < 0 ? int(cols_.size()) - 1 : boldTo)
    {
        if (!tmp_.isValid())
            throw std::runtime_error("Az ideiglenes munkamappa nem hozható létre.");
        file_ = QFile::encodeName(tmp_.filePath("munkafuzet.xlsx"));
        tmpDir_ = QFile::encodeName(tmp_.path());
        lxw_workbook_options opt{};
        opt.constant_memory = LXW_TRUE;
        opt.tmpdir = tmpDir_.data();
        wb_ = workbook_new_opt(file_.constData(), &opt);
        if (!wb_)
            throw std::runtime_error("A munkafüzet nem hozható létre.");
        for (bool right : {false, true}) {
            lxw_format* f = workbook_add_format(wb_);
            format_set_align(f, right ? LXW_ALIGN_RIGHT : LXW_ALIGN_LEFT);
            plain_[right] = f;
            lxw_format* b = workbook_add_format(wb_);
            format_set_align(b, right ? LXW_ALIGN_RIGHT : LXW_ALIGN_LEFT);
            format_set_bold(b);
            bold_[right] = b;
            lxw_format* d = workbook_add_format(wb_);
            format_set_align(d, right ? LXW_ALIGN_RIGHT : LXW_ALIGN_LEFT);
            format_set_num_format_index(d, 14); // the short date
            date_[right] = d;
        }
        startSheet();
    }
    ~Book() override
    {
        if (wb_)
            workbook_close(wb_); // unsaved: written to the temporary folder and dropped
    }

    void addRow(const std::vector<QVariant>& values) override
    {
        if (row_ >= RowsPerSheet)
            startSheet();
        for (int c = 0; c < int(cols_.size()) && c < int(values.size()); ++c) {
            const QVariant& v = values[c];
            if (!v.isValid() || v.isNull())
                continue;
            const xls::Column& col = cols_[c];
            const lxw_row_t r = lxw_row_t(row_);
            const lxw_col_t cc = lxw_col_t(c);
            switch (col.kind) {
            case xls::Column::Date: {
                const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
                if (!d.isValid())
                    break;
                lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
                worksheet_write_datetime(ws_, r, cc, &dt, date_[col.right]);
                break;
            }
            case xls::Column::Decimal:
            case xls::Column::Whole: {
                double d = v.toDouble();
                if (!std::isfinite(d))
                    break;
                if (col.kind == xls::Column::Decimal)
                    d = std::round(d * 10000.0) / 10000.0;
                worksheet_write_number(ws_, r, cc, d, plain_[col.right]);
                break;
            }
            case xls::Column::Text: {
                const QByteArray t = v.toString().toUtf8();
                if (!t.isEmpty())
                    worksheet_write_string(ws_, r, cc, t.constData(), plain_[col.right]);
                break;
            }
            }
        }
        ++row_;
        ++rows_;
    }

    qint64 rows() const override { return rows_; }
    int sheets() const override { return sheets_; }

    bool save(const QString& path, QString* error) override
    {
        const auto fail = [&](const QString& why) {
            if (error)
                *error = why;
            return false;
        };
        const lxw_error e = workbook_close(wb_);
        wb_ = nullptr;
        if (e != LXW_NO_ERROR)
            return fail(QString("A munkafüzet nem írható: %1").arg(lxw_strerror(e)));
        // A whole copy beside the target, on the disk, then renamed over it:
        // the old file stays until the new one is complete.
        const QString part = path + ".resz";
        QFile::remove(part);
        if (const int e = safefile::copyNew(QFile::decodeName(file_), part))
            return fail("A fájl nem írható: " + safefile::failure(part, e));
        if (const int e = safefile::replace(part, path)) {
            QFile::remove(part);
            return fail("A fájl nem nevezhető át: " + safefile::failure(path, e));
        }
        return true;
    }

private:
    void startSheet()
    {
        ++sheets_;
        const QByteArray n =
            (sheets_ == 1 ? name_ : QString("%1 (%2)").arg(name_).arg(sheets_)).left(31).toUtf8();
        ws_ = workbook_add_worksheet(wb_, n.constData());
        for (int c = 0; c < int(cols_.size()); ++c)
            worksheet_set_column(ws_, lxw_col_t(c), lxw_col_t(c), cols_[c].width,
                                 cols_[c].kind == xls::Column::Date ? date_[cols_[c].right]
                                                                    : plain_[cols_[c].right]);
        for (int c = 0; c <= boldTo_; ++c) {
            const bool right = c < int(cols_.size()) && cols_[c].right;
            if (c < int(cols_.size()))
                worksheet_write_string(ws_, 0, lxw_col_t(c), cols_[c].header.toUtf8().constData(),
                                       bold_[right]);
            else
                worksheet_write_blank(ws_, 0, lxw_col_t(c), bold_[right]);
        }
        row_ = 1;
    }

    QString name_;
    std::vector<xls::Column> cols_;
    int boldTo_;
    QTemporaryDir tmp_;
    QByteArray file_, tmpDir_;
    lxw_workbook* wb_ = nullptr;
    lxw_worksheet* ws_ = nullptr;
    lxw_format* plain_[2]{};
    lxw_format* bold_[2]{};
    lxw_format* date_[2]{};
    qint64 row_ = 0;
    qint64 rows_ = 0;
    int sheets_ = 0;
};

} // namespace

std::unique_ptr<xls::Writer> create(const QString& sheetName, std::vector<xls::Column> columns,
                                    int boldTo)
{
    return std::make_unique<Book>(sheetName, std::move(columns), boldTo);
}

} // namespace xlsx

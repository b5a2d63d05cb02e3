#pragma once
// Excel 95 workbooks (BIFF5 in an OLE2 compound file, stream "Book", code page
// 1250), written directly and row by row: the rows go to a temporary file as
// they come, so a year of ticket lines never sits in memory. A sheet holds
// 16 384 rows; longer data continues on further sheets ("FJFEJ (2)", ...),
// each with the header row.

#include <QDate>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

namespace xls {

struct Column {
    enum Kind { Text, Date, Decimal, Whole };
    QString header;
    int width = 10;        // characters
    bool right = false;    // horizontal alignment
    Kind kind = Text;
};

// What an export writes through: the Excel 95 workbook below, or the
// Excel 2007+ one (xlsxwriter.h).
class Writer {
public:
    virtual ~Writer() = default;
    virtual void addRow(const std::vector<QVariant>& values) = 0;
    virtual qint64 rows() const = 0;
    virtual int sheets() const = 0;
    virtual bool save(const QString& path, QString* error = nullptr) = 0;
};

class Workbook : public Writer {
public:
    // `boldTo`: row 1 is bold from column A to this column (0-based), which may
    // reach past the last data column (the ticket workbook's A to AM).
    Workbook(const QString& sheetName, std::vector<Column> columns, int boldTo = -1);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // One record: values in column order; a null QVariant leaves the cell empty.
    void addRow(const std::vector<QVariant>& values) override;
    qint64 rows() const override { return rows_; }
    int sheets() const override;

    // Writes the workbook to `path` through a temporary name; false with
    // `error` (Hungarian) when it cannot be written. Nothing is left at `path`
    // then, and an existing file there is replaced only on success.
    bool save(const QString& path, QString* error = nullptr) override;

    static constexpr int RowsPerSheet = 16384;

private:
    struct Sheet;
    void startSheet();
    void finishSheet();
    QByteArray globals(const std::vector<qint64>& sheetSizes) const;

    QString name_;
    std::vector<Column> cols_;
    int boldTo_;
    qint64 rows_ = 0;
    std::vector<std::unique_ptr<Sheet>> sheets_;
};

// Days since 1899-12-30: the spreadsheet's date serial.
double serial(const QDate& d);

} // namespace xls

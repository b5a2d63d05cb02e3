#pragma once
// Helpers of the report tests: an in-memory data set, and text look-ups on
// prepared pages.

#include "reports/engine/Report.h"

#include <QProcess>
#include <QStringList>
#include <QVariantList>

// Rows held in memory, walked like a query.
class TableDataSet : public rep::DataSet {
public:
    TableDataSet(const QString& name, QStringList cols) : rep::DataSet(name), cols_(std::move(cols)) {}
    std::vector<QVariantList> rows;
    int firstCalls = 0;

    void first() override { ++firstCalls; i_ = 0; }
    bool eof() override { return i_ >= int(rows.size()); }
    void next() override { ++i_; }
    bool field(const QString& name, QVariant* out) const override
    {
        int c = int(cols_.indexOf(name.toUpper()));
        if (c < 0)
            return false;
        *out = i_ < int(rows.size()) ? rows[size_t(i_)].value(c) : QVariant();
        return true;
    }
    QStringList fieldNames() const override { return cols_; }

private:
    QStringList cols_;
    int i_ = 0;
};

// Every text item of every page, as "page:text".
inline QStringList allTexts(const rep::Report& r)
{
    QStringList out;
    for (size_t p = 0; p < r.pages().size(); ++p)
        for (const QString& t : r.pages()[p].texts())
            out << QString::number(p + 1) + ":" + t;
    return out;
}

inline const rep::PreparedItem* findText(const rep::PreparedPage& page, const QString& text)
{
    for (const auto& it : page.items)
        if (it.kind == rep::PreparedItem::Text && it.text == text)
            return &it;
    return nullptr;
}

// The text layer of a PDF file, through poppler's pdftotext.
inline QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QString("pdftotext failed: ") + p.readAllStandardError();
    return QString::fromUtf8(p.readAllStandardOutput());
}

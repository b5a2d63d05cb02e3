#pragma once
// Excel 2007+ workbooks (.xlsx) through libxlsxwriter in its constant-memory
// mode: rows are flushed as they come. Same columns and looks as the Excel 95
// workbook; one sheet holds a million rows.

#include "xlswriter.h"

namespace xlsx {

std::unique_ptr<xls::Writer> create(const QString& sheetName, std::vector<xls::Column> columns,
                                    int boldTo = -1);

} // namespace xlsx

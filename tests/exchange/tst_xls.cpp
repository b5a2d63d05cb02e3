// Excel 95 workbooks read back by an independent reader (xlrd): values and
// their kinds, the bold header, widths, alignment, the code page, sheets
// continued past 16 384 rows.
#include "exchange/xlswriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstXls : public QObject {
    Q_OBJECT
private slots:
    void valuesKindsAndLooks();
    void emptyAndLongWorkbooks();
    void unwritableTargetIsReported();
};

// What xlrd sees: per sheet its name, rows, and for the first rows every cell
// as [kind, value, bold, horizontal alignment]; widths of the columns.
static QJsonObject readBack(const QString& file, int rowsToDump)
{
    const QString script = R"PY(
import sys, json, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
out = {"codepage": b.codepage, "biff": b.biff_version, "sheets": []}
for s in b.sheets():
    rows = []
    for r in range(min(s.nrows, int(sys.argv[2]))):
        cells = []
        for c in range(s.ncols):
            cell = s.cell(r, c)
            xf = b.xf_list[cell.xf_index]
            bold = b.font_list[xf.font_index].weight >= 700
            v = cell.value
            if cell.ctype == xlrd.XL_CELL_DATE:
                v = "%04d-%02d-%02d" % xlrd.xldate_as_tuple(v, b.datemode)[:3]
            cells.append([cell.ctype, v, bold, xf.alignment.hor_align])
        rows.append(cells)
    widths = [s.colinfo_map[c].width if c in s.colinfo_map else None for c in range(s.ncols)]
    last = [s.cell_value(s.nrows - 1, c) for c in range(min(s.ncols, 2))]
    out["sheets"].append({"name": s.name, "nrows": s.nrows, "ncols": s.ncols, "rows": rows,
                          "widths": widths, "last": last})
print(json.dumps(out))
)PY";
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, file, QString::number(rowsToDump)});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

static std::vector<xls::Column> columns()
{
    using C = xls::Column;
    return {{"F_FIZKELT", 12, false, C::Date}, {"O_NEV", 45, false, C::Text},
            {"S_NETTO", 15, true, C::Decimal}, {"F_SZJA", 5, true, C::Whole}};
}

void TstXls::valuesKindsAndLooks()
{
    QTemporaryDir dir;
    xls::Workbook wb("FJFEJ", columns(), 38); // bold A..AM
    wb.addRow({QDate(2026, 3, 15), QString("Őszibarack Ű Kft."), 12.34567, 15});
    wb.addRow({QVariant(), QVariant(), -0.5, QVariant()}); // NULLs stay empty
    wb.addRow({QDate(1970, 1, 1), QString(""), 1e9 + 0.25, 0});
    const QString f = dir.filePath("FJFEJ.xls");
    QString err;
    QVERIFY2(wb.save(f, &err), qPrintable(err));
    QVERIFY(!QFile::exists(f + ".resz"));

    const QJsonObject b = readBack(f, 10);
    QVERIFY(!b.isEmpty());
    QCOMPARE(b["biff"].toInt(), 70); // Excel 95 (BIFF5 records, the Excel 7 BOF)
    QCOMPARE(b["codepage"].toInt(), 1250);
    const QJsonArray sheets = b["sheets"].toArray();
    QCOMPARE(sheets.size(), 1);
    const QJsonObject s = sheets[0].toObject();
    QCOMPARE(s["name"].toString(), QString("FJFEJ"));
    QCOMPARE(s["nrows"].toInt(), 4);
    QCOMPARE(s["ncols"].toInt(), 39);
    const QJsonArray rows = s["rows"].toArray();
    const auto cell = [&](int r, int c) { return rows[r].toArray()[c].toArray(); };
    // Header: text, bold from A to AM, the column's alignment.
    QCOMPARE(cell(0, 0)[1].toString(), QString("F_FIZKELT"));
    QCOMPARE(cell(0, 3)[1].toString(), QString("F_SZJA"));
    for (int c : {0, 1, 2, 3, 20, 38})
        QVERIFY2(cell(0, c)[2].toBool(), qPrintable(QString("header cell %1 not bold").arg(c)));
    // Values with their kinds: date 3, number 2, text 1, empty 0.
    QCOMPARE(cell(1, 0)[0].toInt(), 3);
    QCOMPARE(cell(1, 0)[1].toString(), QString("2026-03-15"));
    QCOMPARE(cell(1, 1)[0].toInt(), 1);
    QCOMPARE(cell(1, 1)[1].toString(), QString("Őszibarack Ű Kft."));
    QCOMPARE(cell(1, 2)[0].toInt(), 2);
    QCOMPARE(cell(1, 2)[1].toDouble(), 12.3457);
    QCOMPARE(cell(1, 3)[1].toDouble(), 15.0);
    QVERIFY(!cell(1, 1)[2].toBool()); // data rows are not bold
    QCOMPARE(cell(2, 0)[0].toInt(), 0);
    QCOMPARE(cell(2, 1)[0].toInt(), 0);
    QCOMPARE(cell(2, 3)[0].toInt(), 0);
    QCOMPARE(cell(2, 2)[1].toDouble(), -0.5);
    QCOMPARE(cell(3, 0)[1].toString(), QString("1970-01-01"));
    QCOMPARE(cell(3, 2)[1].toDouble(), 1000000000.25);
    // Alignment: 1 left, 3 right.
    QCOMPARE(cell(1, 1)[3].toInt(), 1);
    QCOMPARE(cell(1, 2)[3].toInt(), 3);
    QCOMPARE(cell(0, 2)[3].toInt(), 3);
    // Widths in 1/256 characters.
    const QJsonArray w = s["widths"].toArray();
    QCOMPARE(w[0].toInt(), 12 * 256);
    QCOMPARE(w[1].toInt(), 45 * 256);
    QCOMPARE(w[3].toInt(), 5 * 256);
}

void TstXls::emptyAndLongWorkbooks()
{
    QTemporaryDir dir;
    {
        xls::Workbook wb("OSTERMELO", columns());
        QVERIFY(wb.save(dir.filePath("OSTERMELO.xls")));
        const QJsonObject b = readBack(dir.filePath("OSTERMELO.xls"), 2);
        const QJsonObject s = b["sheets"].toArray()[0].toObject();
        QCOMPARE(s["nrows"].toInt(), 1);
        QCOMPARE(s["ncols"].toInt(), 4);
    }
    // 20 000 records: 16 383 under the header of the first sheet, the rest
    // under the same header on the second; none lost, none twice.
    xls::Workbook wb("FJFEJ", columns());
    for (int i = 1; i <= 20000; ++i)
        wb.addRow({QDate(2026, 1, 1).addDays(i % 365), QString("Termelő %1").arg(i), i * 0.5, i});
    QCOMPARE(wb.sheets(), 2);
    QVERIFY(wb.save(dir.filePath("FJFEJ.xls")));
    const QJsonArray sheets = readBack(dir.filePath("FJFEJ.xls"), 2)["sheets"].toArray();
    QCOMPARE(sheets.size(), 2);
    const QJsonObject a = sheets[0].toObject(), b = sheets[1].toObject();
    QCOMPARE(a["name"].toString(), QString("FJFEJ"));
    QCOMPARE(b["name"].toString(), QString("FJFEJ (2)"));
    QCOMPARE(a["nrows"].toInt(), 16384);
    QCOMPARE(b["nrows"].toInt(), 20000 - 16383 + 1);
    QCOMPARE(b["rows"].toArray()[0].toArray()[1].toArray()[1].toString(), QString("O_NEV"));
    QVERIFY(b["rows"].toArray()[0].toArray()[1].toArray()[2].toBool());
    QCOMPARE(b["rows"].toArray()[1].toArray()[1].toArray()[1].toString(), QString("Termelő 16384"));
    QCOMPARE(a["last"].toArray()[1].toString(), QString("Termelő 16383"));
    QCOMPARE(b["last"].toArray()[1].toString(), QString("Termelő 20000"));
}

void TstXls::unwritableTargetIsReported()
{
    QTemporaryDir dir;
    xls::Workbook wb("FJFEJ", columns());
    wb.addRow({QDate(2026, 1, 2), QString("x"), 1.0, 1});
    QString err;
    QVERIFY(!wb.save(dir.filePath("nincs/FJFEJ.xls"), &err));
    QVERIFY2(err.startsWith("A fájl nem írható"), qPrintable(err));
    QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

QTEST_GUILESS_MAIN(TstXls)
#include "tst_xls.moc"

// Excel 2007+ workbooks read back by openpyxl: values, kinds, bold header, widths.
#include "exchange/xlsxwriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstXlsx : public QObject {
    Q_OBJECT
private slots:
    void readBackByAnotherReader();
};

void TstXlsx::readBackByAnotherReader()
{
    QTemporaryDir dir;
    using C = xls::Column;
    auto wb = xlsx::create("OSTERMELO", {{"O_NEV", 45, false, C::Text}, {"O_SZIDO", 20, false, C::Date},
                                          {"S_NETTO", 15, true, C::Decimal}, {"F_SZJA", 5, true, C::Whole}},
                           5);
    wb->addRow({QString("Őri Ödön"), QDate(1970, 2, 28), 12.345678, 15});
    wb->addRow({QString("Üres Ábel"), QVariant(), QVariant(), 0});
    const QString f = dir.filePath("OSTERMELO.xlsx");
    QString err;
    QVERIFY2(wb->save(f, &err), qPrintable(err));
    QVERIFY(!QFile::exists(f + ".resz"));

    const QString script = R"PY(
import sys, json, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
rows = []
for row in ws.iter_rows(min_row=1, max_row=ws.max_row, max_col=6):
    rows.append([[type(c.value).__name__, str(c.value) if c.value is not None else None, bool(c.font.b),
                  c.alignment.horizontal] for c in row])
print(json.dumps({"title": ws.title, "rows": rows,
                  "widths": [ws.column_dimensions[l].width for l in "ABCD"]}))
)PY";
    QProcess p;
    p.start("/usr/bin/python3", {"-c", script, f});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
    const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
    QCOMPARE(o["title"].toString(), QString("OSTERMELO"));
    const QJsonArray rows = o["rows"].toArray();
    QCOMPARE(rows.size(), 3);
    const auto cell = [&](int r, int c) { return rows[r].toArray()[c].toArray(); };
    QCOMPARE(cell(0, 1)[1].toString(), QString("O_SZIDO"));
    for (int c = 0; c < 6; ++c)
        QVERIFY2(cell(0, c)[2].toBool(), qPrintable(QString("header %1 not bold").arg(c)));
    QCOMPARE(cell(1, 0)[1].toString(), QString("Őri Ödön"));
    QCOMPARE(cell(1, 1)[0].toString(), QString("datetime"));
    QVERIFY(cell(1, 1)[1].toString().startsWith("1970-02-28"));
    QCOMPARE(cell(1, 2)[1].toString(), QString("12.3457"));
    QCOMPARE(cell(1, 2)[3].toString(), QString("right"));
    QCOMPARE(cell(1, 0)[3].toString(), QString("left"));
    QVERIFY(cell(2, 1)[1].isNull());
    QCOMPARE(cell(2, 3)[1].toString(), QString("0"));
    QVERIFY(!cell(1, 0)[2].toBool());
    const QJsonArray w = o["widths"].toArray();
    QVERIFY(std::abs(w[0].toDouble() - 45) < 1);
    QVERIFY(std::abs(w[3].toDouble() - 5) < 1);
}

QTEST_GUILESS_MAIN(TstXlsx)
#include "tst_xlsx.moc"

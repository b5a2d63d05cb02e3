// The exports read back: the workbooks by independent readers (xlrd for
// Excel 95, openpyxl for Excel 2007+), the table text files byte by byte, the
// inventory document by its element tree; failed writes and copies reported.
#include "testsupport.h"

#include "exchange/excelexport.h"
#include "exchange/inventory.h"
#include "exchange/tabletext.h"

#include <QXmlStreamReader>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstExports : public QObject {
    Q_OBJECT
private slots:
    void ticketWorkbook();
    void producerWorkbookWithEmptyBirthDate();
    void longPeriodContinuesOnSecondSheet();
    void xlsxWorkbook();
    void tableText();
    void tableTextUnwritableFolder();
    void inventoryDocument();
    void inventoryHandOver();
    void streamedExportsMatchWholeQuery();
};

namespace {

// A ticket of producer 00001 paid on 15 March 2026 with two lines, and a
// voiding document of one line with a negative quantity and no reference.
void addTickets(TestDb& db)
{
    db.exec("INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, "
            "f_szja, f_muvktg, f_tipus) VALUES ('00000001', '00001', '00001', '2026-03-14', "
            "'2026-03-15', '2026-03-20', 15, 1234.5, '1')");
    db.exec("INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_brutto, "
            "s_levonszaz, s_megy, s_ear, s_kompmerteke, s_akod, s_bizonylat) VALUES ('00000001', "
            "'00001', 'Búza', '1001', 100.5, 0, 'kg', 12.5, 12, '00001', 'SZ-1')");
    db.exec("INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_vtsz, s_brutto, "
            "s_levonszaz, s_megy, s_ear, s_kompmerteke, s_akod) VALUES ('00000001', "
            "'00003', 'Őszibarack', '0809', 10, 0, 'kg', 220, 7, '00001')");
    db.exec("INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, "
            "f_szja, f_muvktg, f_tipus) VALUES ('00000002', '00001', '00002', '2026-04-01', "
            "'2026-04-02', '2026-04-03', 0, -50, '4')");
    db.exec("INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_brutto, s_levonszaz, "
            "s_megy, s_ear, s_kompmerteke, s_akod) VALUES ('00000002', '00001', 'Búza', -4, 0, "
            "'kg', 12.5, 12, '00001')");
}

QJsonObject run(const QString& script, const QStringList& args)
{
    QProcess p;
    p.start("/usr/bin/python3", QStringList{"-c", script} + args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        qWarning() << p.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// Per sheet: name, rows, the first rows' cells as [kind, value, bold], widths.
QJsonObject readXls(const QString& file, int rows = 5)
{
    return run(R"PY(
import sys, json, xlrd
b = xlrd.open_workbook(sys.argv[1], formatting_info=True)
out = {"codepage": b.codepage, "sheets": []}
for s in b.sheets():
    rows = []
    for r in range(min(s.nrows, int(sys.argv[2]))):
        cells = []
        for c in range(max(s.ncols, 1)):
            if c >= s.ncols:
                break
            cell = s.cell(r, c)
            xf = b.xf_list[cell.xf_index]
            v = cell.value
            if cell.ctype == xlrd.XL_CELL_DATE:
                v = "%04d-%02d-%02d" % xlrd.xldate_as_tuple(v, b.datemode)[:3]
            cells.append([cell.ctype, v, b.font_list[xf.font_index].weight >= 700,
                          xf.alignment.hor_align])
        rows.append(cells)
    widths = [s.colinfo_map[c].width // 256 if c in s.colinfo_map else None for c in range(s.ncols)]
    out["sheets"].append({"name": s.name, "nrows": s.nrows, "ncols": s.ncols, "rows": rows,
                          "widths": widths})
print(json.dumps(out))
)PY",
               {file, QString::number(rows)});
}

QJsonArray cell(const QJsonObject& book, int sheet, int row, int col)
{
    return book["sheets"].toArray()[sheet].toObject()["rows"].toArray()[row].toArray()[col].toArray();
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The document's root name and its records, each as (element, text) pairs;
// an empty root name when the document is not well formed.
struct Doc {
    QString root;
    QList<QList<QPair<QString, QString>>> records;
    QString text(int rec, const QString& name) const
    {
        for (const auto& [n, t] : records.value(rec))
            if (n == name)
                return t;
        return "<none>";
    }
};

Doc readDoc(const QByteArray& bytes)
{
    Doc d;
    QXmlStreamReader r(bytes);
    int depth = 0;
    QString name;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            ++depth;
            if (depth == 1)
                d.root = r.name().toString();
            else if (depth == 2)
                d.records.append(QList<QPair<QString, QString>>());
            else if (depth == 3) {
                const QString n = r.name().toString();
                d.records.last().append(qMakePair(n, r.readElementText()));
                --depth; // readElementText consumed the end element
            }
        } else if (r.isEndElement()) {
            --depth;
        }
    }
    if (r.hasError())
        d.root.clear();
    return d;
}

} // namespace

void TstExports::ticketWorkbook()
{
    TestDb db(true);
    addTickets(db);
    TQuery q(&db.data()->ZCon1, "t");
    excelexport::collectTickets(&q, QDate(2026, 1, 1), QDate(2026, 12, 31),
                                excelexport::DateKind::Payment, "00001");
    QCOMPARE(q.recordCount(), 3);
    const QString path = QDir(db.dir()).filePath("FJFEJ.xls");
    qint64 heard = 0;
    const auto r = excelexport::write(&q, "FJFEJ", excelexport::ticketColumns(),
                                      excelexport::TicketBoldTo, excelexport::Format::Xls, path,
                                      [&](qint64 n) { heard = n; });
    QVERIFY2(r.saved, qPrintable(r.error));
    QCOMPARE(heard, qint64(3));
    const QJsonObject b = readXls(path);
    QCOMPARE(b["codepage"].toInt(), 1250);
    const QJsonObject s = b["sheets"].toArray()[0].toObject();
    QCOMPARE(s["name"].toString(), QString("FJFEJ"));
    QCOMPARE(s["nrows"].toInt(), 4);
    QCOMPARE(s["ncols"].toInt(), 39); // the bold header reaches AM
    // Header: the column names, bold from A to AM.
    QCOMPARE(cell(b, 0, 0, 0)[1].toString(), QString("F_FIZKELT"));
    QCOMPARE(cell(b, 0, 0, 21)[1].toString(), QString("F_MUVKTG"));
    QVERIFY(cell(b, 0, 0, 0)[2].toBool());
    QVERIFY(cell(b, 0, 0, 38)[2].toBool());
    // The first line: dates as dates, decimals and whole numbers as numbers.
    QCOMPARE(cell(b, 0, 1, 0)[0].toInt(), 3); // XL_CELL_DATE
    QCOMPARE(cell(b, 0, 1, 0)[1].toString(), QString("2026-03-20"));
    QCOMPARE(cell(b, 0, 1, 1)[1].toString(), QString("2026-03-15"));
    QCOMPARE(cell(b, 0, 1, 2)[1].toString(), QString("2026-03-14"));
    QCOMPARE(cell(b, 0, 1, 4)[1].toString(), QString::fromUtf8("Kovács János"));
    QCOMPARE(cell(b, 0, 1, 5)[1].toString(), QString("00000001"));
    QCOMPARE(cell(b, 0, 1, 7)[0].toInt(), 2); // number
    QCOMPARE(cell(b, 0, 1, 7)[1].toDouble(), 100.5);
    QCOMPARE(cell(b, 0, 1, 7)[3].toInt(), 3); // right
    QCOMPARE(cell(b, 0, 1, 9)[1].toDouble(), 12.5);
    QCOMPARE(cell(b, 0, 1, 11)[1].toDouble(), 15.0);
    QCOMPARE(cell(b, 0, 1, 21)[1].toDouble(), 1234.5);
    QVERIFY(!cell(b, 0, 1, 0)[2].toBool());
    QCOMPARE(cell(b, 0, 2, 6)[1].toString(), QString::fromUtf8("Őszibarack"));
    QCOMPARE(cell(b, 0, 3, 7)[1].toDouble(), -4.0);
    const QJsonArray w = s["widths"].toArray();
    QCOMPARE(w[0].toInt(), 12);
    QCOMPARE(w[4].toInt(), 45);
    QCOMPARE(w[10].toInt(), 5);
    QCOMPARE(w[13].toInt(), 17);
    QCOMPARE(w[20].toInt(), 30);

    // Each kind filters on its own date: the first ticket was bought on the
    // 15th and paid on the 20th; both ends of a period count.
    excelexport::collectTickets(&q, QDate(2026, 3, 16), QDate(2026, 3, 20),
                                excelexport::DateKind::Payment, "00001");
    QCOMPARE(q.recordCount(), 2);
    excelexport::collectTickets(&q, QDate(2026, 3, 15), QDate(2026, 3, 15),
                                excelexport::DateKind::Purchase, "00001");
    QCOMPARE(q.recordCount(), 2);
    // By purchase date, another period, another buyer: nothing but the header.
    excelexport::collectTickets(&q, QDate(2026, 3, 16), QDate(2026, 3, 31),
                                excelexport::DateKind::Purchase, "00001");
    QCOMPARE(q.recordCount(), 0);
    excelexport::collectTickets(&q, QDate(2026, 1, 1), QDate(2026, 12, 31),
                                excelexport::DateKind::Purchase, "00002");
    const auto empty = excelexport::write(&q, "FJFEJ", excelexport::ticketColumns(),
                                          excelexport::TicketBoldTo, excelexport::Format::Xls, path);
    QVERIFY(empty.saved);
    QCOMPARE(empty.rows, qint64(0));
    const QJsonObject e = readXls(path);
    QCOMPARE(e["sheets"].toArray()[0].toObject()["nrows"].toInt(), 1);
    QCOMPARE(cell(e, 0, 0, 5)[1].toString(), QString("S_BSZAM"));
}

void TstExports::producerWorkbookWithEmptyBirthDate()
{
    TestDb db(true);
    db.exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('00009', 'Aaron Nincs Datum')");
    TQuery q(&db.data()->ZCon1, "p");
    excelexport::collectProducers(&q);
    QCOMPARE(q.recordCount(), 4);
    const QString path = QDir(db.dir()).filePath("OSTERMELO.xls");
    QVERIFY(excelexport::write(&q, "OSTERMELO", excelexport::producerColumns(),
                               excelexport::ProducerBoldTo, excelexport::Format::Xls, path)
                .saved);
    const QJsonObject b = readXls(path);
    QCOMPARE(b["sheets"].toArray()[0].toObject()["ncols"].toInt(), 16);
    QVERIFY(cell(b, 0, 0, 15)[2].toBool());
    // Name order: the producer without a birth date comes first, its G empty.
    QCOMPARE(cell(b, 0, 1, 0)[1].toString(), QString("Aaron Nincs Datum"));
    QCOMPARE(cell(b, 0, 1, 6)[0].toInt(), 0); // XL_CELL_EMPTY
    QCOMPARE(cell(b, 0, 2, 0)[1].toString(), QString::fromUtf8("Árvai Éva"));
    QCOMPARE(cell(b, 0, 2, 6)[0].toInt(), 3);
    QCOMPARE(cell(b, 0, 2, 6)[1].toString(), QString("1970-11-02"));
    QCOMPARE(b["sheets"].toArray()[0].toObject()["widths"].toArray()[6].toInt(), 20);
}

void TstExports::longPeriodContinuesOnSecondSheet()
{
    TestDb db(true);
    db.exec("INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_fizkelt, f_felvkelt, f_szja) "
            "VALUES ('00000001', '00001', '00001', '2026-05-01', '2026-05-01', 15)");
    fb::Connection& con = db.data()->ZCon1;
    con.startTransaction();
    con.execute("EXECUTE BLOCK AS DECLARE i INTEGER = 0; BEGIN WHILE (i < 20000) DO BEGIN "
                "INSERT INTO fjsor (s_bszam, s_megnevezes, s_brutto, s_levonszaz, s_ear, s_akod) "
                "VALUES ('00000001', 'Sor ' || :i, :i, 0, 1, '00001'); i = i + 1; END END");
    con.commit();
    TQuery q(&db.data()->ZCon1, "t");
    excelexport::collectTickets(&q, QDate(2026, 5, 1), QDate(2026, 5, 1),
                                excelexport::DateKind::Payment, "00001");
    QCOMPARE(q.recordCount(), 20000);
    const QString path = QDir(db.dir()).filePath("FJFEJ.xls");
    const auto r = excelexport::write(&q, "FJFEJ", excelexport::ticketColumns(),
                                      excelexport::TicketBoldTo, excelexport::Format::Xls, path);
    QVERIFY(r.saved);
    QCOMPARE(r.sheets, 2);
    QVERIFY(excelexport::doneText("A fjegy konvertálás befejeződött!", r, "FJFEJ")
                .contains("2 munkalapon"));
    const QJsonObject b = readXls(path, 2);
    const QJsonArray sheets = b["sheets"].toArray();
    QCOMPARE(sheets.size(), 2);
    QCOMPARE(sheets[1].toObject()["name"].toString(), QString("FJFEJ (2)"));
    // Every line once, the header on both sheets.
    QCOMPARE(sheets[0].toObject()["nrows"].toInt() + sheets[1].toObject()["nrows"].toInt(),
             20000 + 2);
    QCOMPARE(cell(b, 1, 0, 0)[1].toString(), QString("F_FIZKELT"));
    QVERIFY(cell(b, 1, 0, 0)[2].toBool());
    QCOMPARE(cell(b, 1, 1, 0)[1].toString(), QString("2026-05-01"));
}

void TstExports::xlsxWorkbook()
{
    TestDb db(true);
    addTickets(db);
    TQuery q(&db.data()->ZCon1, "t");
    excelexport::collectTickets(&q, QDate(2026, 1, 1), QDate(2026, 12, 31),
                                excelexport::DateKind::Payment, "00001");
    const QString path = QDir(db.dir()).filePath(excelexport::fileName("FJFEJ", excelexport::Format::Xlsx));
    QVERIFY(path.endsWith("FJFEJ.xlsx"));
    QVERIFY(excelexport::write(&q, "FJFEJ", excelexport::ticketColumns(), excelexport::TicketBoldTo,
                               excelexport::Format::Xlsx, path)
                .saved);
    const QJsonObject o = run(R"PY(
import sys, json, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
rows = [[[type(c.value).__name__, str(c.value) if c.value is not None else None, bool(c.font.b)]
         for c in row] for row in ws.iter_rows(min_row=1, max_row=ws.max_row, max_col=22)]
print(json.dumps({"title": ws.title, "rows": rows, "E": ws.column_dimensions["E"].width}))
)PY",
                              {path});
    QCOMPARE(o["title"].toString(), QString("FJFEJ"));
    const QJsonArray rows = o["rows"].toArray();
    QCOMPARE(rows.size(), 4);
    const QJsonArray h = rows[0].toArray(), r1 = rows[1].toArray();
    QCOMPARE(h[21].toArray()[1].toString(), QString("F_MUVKTG"));
    QVERIFY(h[0].toArray()[2].toBool());
    QCOMPARE(r1[0].toArray()[0].toString(), QString("datetime"));
    QVERIFY(r1[0].toArray()[1].toString().startsWith("2026-03-20"));
    QCOMPARE(r1[7].toArray()[1].toString(), QString("100.5"));
    QCOMPARE(r1[4].toArray()[1].toString(), QString::fromUtf8("Kovács János"));
    QVERIFY(!r1[4].toArray()[2].toBool());
    QVERIFY(o["E"].toDouble() >= 45);
}

void TstExports::tableText()
{
    TestDb db(true);
    addTickets(db);
    db.exec("INSERT INTO ostermelo (o_kod, o_nev, o_szja) VALUES ('00009', 'Nincs: Datum, *', 0)");
    QTemporaryDir out;
    const auto& tables = tabletext::tables();
    QCOMPARE(tables.size(), size_t(6));
    for (const auto& t : tables)
        tabletext::exportTable(&db.data()->ZCon1, t, out.path() + "/");
    const QByteArray producers = fileBytes(out.filePath("ostermelo.txt"));
    // Nothing inside a value is escaped; a missing birth date is "::".
    const QByteArray last = producers.split('\n').at(3);
    QVERIFY2(last.startsWith(":4:,:00009:,:Nincs: Datum, *:,::,::,::,::,::,::,:0:,::,::,"), last);
    QVERIFY(last.endsWith("::*\r"));
    QVERIFY(producers.endsWith("*\r\n"));
    QCOMPARE(producers.count("\r\n"), 4);
    // Windows-1250 bytes, dates yyyy.mm.dd.
    QVERIFY(producers.contains(":Kov\xE1\x63s J\xE1nos:"));
    QVERIFY(producers.contains(":1963.04.25:"));
    const QByteArray products = fileBytes(out.filePath("termek.txt"));
    QVERIFY(products.startsWith(":1:,:00001:,:B\xFAza:,:1001:,:kg:,:62,5:,:12:*\r\n"));
    const QByteArray lines = fileBytes(out.filePath("FjSor.txt"));
    QVERIFY(lines.contains(":B\xFAza:,:1001:,:100,5:,:kg:,:12,5:,:12:*\r\n"));
    QVERIFY(fileBytes(out.filePath("FjFej.txt")).contains(":2026.03.14:,:1234,5:,:15:,::,::*\r\n"));

    // A folder without its closing separator: the names follow it directly.
    const QString bare = out.filePath("data");
    tabletext::exportTable(&db.data()->ZCon1, tables[0], bare);
    QVERIFY(QFile::exists(out.filePath("dataatvevo.txt")));
    QCOMPARE(tabletext::target("c:\\data", "atvevo.txt"), QDir::homePath() + "/dataatvevo.txt");
    QCOMPARE(tabletext::target("c:\\data\\", "atvevo.txt"), QDir::homePath() + "/data/atvevo.txt");
    QCOMPARE(tabletext::target("/tmp/x/", "FjSor.txt"), QString("/tmp/x/FjSor.txt"));
    QCOMPARE(tabletext::localPath("C:\\holtu5\\fjegy_keszlethez.xml"),
             QDir::homePath() + "/holtu5/fjegy_keszlethez.xml");
    QCOMPARE(tabletext::localPath("/srv/x.xml"), QString("/srv/x.xml"));
}

void TstExports::tableTextUnwritableFolder()
{
    TestDb db(true);
    QTemporaryDir out;
    const QString file = out.filePath("atvevo.txt");
    QFile old(file);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("earlier");
    old.close();
    bool thrown = false;
    try {
        tabletext::exportTable(&db.data()->ZCon1, tabletext::tables()[0],
                               out.filePath("nincs/ilyen/"));
    } catch (const std::runtime_error& e) {
        thrown = true;
        QVERIFY(QString::fromUtf8(e.what()).contains("nincs/ilyen/atvevo.txt"));
    }
    QVERIFY(thrown);
    QCOMPARE(fileBytes(file), QByteArray("earlier"));
}

void TstExports::inventoryDocument()
{
    TestDb db(true);
    addTickets(db);
    TQuery q(&db.data()->ZCon1, "i");
    const QString path = QDir(db.dir()).filePath(inventory::FileName);

    inventory::runQuery(&q, QDate(2025, 1, 1), QDate(2025, 12, 31), "00001");
    QString error;
    QVERIFY(inventory::writeDocument(&q, path, &error));
    const Doc empty = readDoc(fileBytes(path));
    QCOMPARE(empty.root, QString("fjegy_keszlethez"));
    QCOMPARE(empty.records.size(), 0);

    // Purchase dates 03.15 and 04.02 (paid 03.20 and 04.03): the period's
    // first and last day.
    inventory::runQuery(&q, QDate(2026, 3, 15), QDate(2026, 4, 2), "00001");
    QVERIFY(inventory::writeDocument(&q, path, &error));
    const Doc doc = readDoc(fileBytes(path));
    QCOMPARE(doc.records.size(), 3);
    QStringList names;
    for (const auto& [n, t] : doc.records[0])
        names << n;
    QCOMPARE(names, QStringList({"F_FELVKELT", "S_BSZAM", "S_TERMEKKOD", "S_MEGNEVEZES",
                                 "S_BIZONYLAT", "S_BRUTTO", "S_MEGY", "S_EAR", "S_FELVAR",
                                 "S_VTSZ", "O_KOD", "O_NEV", "O_HELYSEGNEV", "O_UTCA",
                                 "O_IRSZAM"}));
    auto text = [&](int rec, const char* name) { return doc.text(rec, name); };
    QStringList refs = {text(0, "S_BIZONYLAT"), text(1, "S_BIZONYLAT")};
    refs.sort();
    QCOMPARE(refs, QStringList({"SZ-1", "null"}));
    QCOMPARE(text(0, "F_FELVKELT"), QString("03.15.2026"));
    QCOMPARE(text(0, "O_NEV"), QString::fromUtf8("Kovács János"));
    QStringList prices = {text(0, "S_EAR"), text(1, "S_EAR")};
    prices.sort();
    QCOMPARE(prices, QStringList({"12,5", "220"}));
    // The voiding line: negative quantity and value give "0", its empty VTSZ "null".
    QCOMPARE(text(2, "F_FELVKELT"), QString("04.02.2026"));
    QCOMPARE(text(2, "S_BRUTTO"), QString("0"));
    QCOMPARE(text(2, "S_FELVAR"), QString("0"));
    QCOMPARE(text(2, "S_VTSZ"), QString("null"));
    QCOMPARE(text(2, "S_EAR"), QString("12,5"));

    // The value rules for the types this query does not hold.
    fb::Column c;
    c.type = 570; // date
    QCOMPARE(inventory::valueText(QVariant(), c), QString("01.01.1900"));
    QCOMPARE(inventory::valueText(QDate(2020, 3, 15), c), QString("03.15.2020"));
    c.type = 496; // whole number
    QCOMPARE(inventory::valueText(qint64(0), c), QString("0"));
    QCOMPARE(inventory::valueText(qint64(42), c), QString("42"));
    c.type = 580;
    c.scale = -4; // a decimal
    QCOMPARE(inventory::valueText(12.5, c), QString("12,5"));
    QCOMPARE(inventory::valueText(-3.0, c), QString("0"));
    c.type = 510;
    c.scale = 0;
    QCOMPARE(inventory::valueText(QVariant(), c), QString("01.01.1900 00:00:00"));
    c.type = 32764;
    QCOMPARE(inventory::valueText(true, c), QString("True"));
}

void TstExports::inventoryHandOver()
{
    QTemporaryDir dir;
    const QString source = dir.filePath("fjegy_keszlethez.xml");
    QFile s(source);
    QVERIFY(s.open(QIODevice::WriteOnly));
    s.write("<fjegy_keszlethez/>");
    s.close();
    QString error;
    // A missing folder is reported, not announced as done.
    QVERIFY(!inventory::handOver(source, dir.filePath("holtu5/fjegy_keszlethez.xml"), &error));
    QVERIFY(error.contains("holtu5"));
    QVERIFY(!QFile::exists(dir.filePath("holtu5/fjegy_keszlethez.xml")));
    QVERIFY(!inventory::handOver(dir.filePath("nincs.xml"), dir.filePath("x.xml"), &error));

    QVERIFY(QDir(dir.path()).mkdir("holtu5"));
    const QString target = dir.filePath("holtu5/fjegy_keszlethez.xml");
    QFile t(target);
    QVERIFY(t.open(QIODevice::WriteOnly));
    t.write("the inventory program's earlier file, longer than the new one");
    t.close();
    QVERIFY2(inventory::handOver(source, target, &error), qPrintable(error));
    QCOMPARE(fileBytes(target), QByteArray("<fjegy_keszlethez/>"));
    QCOMPARE(QDir(dir.filePath("holtu5")).entryList(QDir::Files), QStringList{"fjegy_keszlethez.xml"});
}

void TstExports::streamedExportsMatchWholeQuery()
{
    TestDb db(true);
    addTickets(db);
    // 300 tickets of 5 lines, numbered and dated backwards against the order
    // they are stored in, so a reader that follows the storage order shows.
    fb::Connection& con = db.data()->ZCon1;
    con.startTransaction();
    con.execute("EXECUTE BLOCK AS DECLARE i INTEGER = 0; DECLARE j INTEGER; "
                "DECLARE n VARCHAR(8); BEGIN WHILE (i < 300) DO BEGIN "
                "n = CAST(10000300 - i AS VARCHAR(8)); "
                "INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, f_felvkelt, f_fizkelt, "
                "f_szja, f_tipus) VALUES (:n, '00001', '00001', "
                "DATEADD(-MOD(:i, 200) DAY TO DATE '2026-12-31'), "
                "DATEADD(-MOD(:i, 200) DAY TO DATE '2026-12-31'), "
                "DATEADD(-MOD(:i, 200) DAY TO DATE '2026-12-31'), 15, '1'); "
                "j = 0; WHILE (j < 5) DO BEGIN "
                "INSERT INTO fjsor (s_bszam, s_termekkod, s_megnevezes, s_brutto, s_levonszaz, "
                "s_megy, s_ear, s_kompmerteke, s_akod) VALUES (:n, '00001', "
                "'Sor ' || :i || '/' || :j, 1 + :j, 0, 'kg', 10.25, 12, '00001'); "
                "j = j + 1; END i = i + 1; END END");
    con.commit();
    const int lines = 3 + 1500;
    const QDate from(2026, 1, 1), to(2026, 12, 31);
    const QString whole = QDir(db.dir()).filePath("whole.xls");
    const QString streamed = QDir(db.dir()).filePath("FJFEJ.xls");

    // The workbook read row by row is the workbook of the whole query, byte for byte.
    TQuery q(&con, "t");
    excelexport::collectTickets(&q, from, to, excelexport::DateKind::Payment, "00001");
    QCOMPARE(q.recordCount(), lines);
    QVERIFY(excelexport::write(&q, "FJFEJ", excelexport::ticketColumns(),
                               excelexport::TicketBoldTo, excelexport::Format::Xls, whole)
                .saved);
    qint64 heard = 0;
    const auto r = excelexport::write(
        &con, excelexport::ticketStatement(from, to, excelexport::DateKind::Payment, "00001"),
        "FJFEJ", excelexport::ticketColumns(), excelexport::TicketBoldTo,
        excelexport::Format::Xls, streamed, [&](qint64 n) { heard = n; });
    QVERIFY(r.saved);
    QCOMPARE(r.rows, qint64(lines));
    QCOMPARE(heard, qint64(lines));
    QCOMPARE(fileBytes(streamed), fileBytes(whole));
    // Every line once, by ticket number.
    const QJsonArray rows =
        readXls(streamed, lines + 10)["sheets"].toArray()[0].toObject()["rows"].toArray();
    QCOMPARE(rows.size(), lines + 1);
    QSet<QString> names;
    QString last;
    for (int i = 1; i < rows.size(); ++i) {
        const QJsonArray row = rows[i].toArray();
        const QString number = row[5].toArray()[1].toString();
        QVERIFY2(number >= last, qPrintable(number + " after " + last));
        last = number;
        names.insert(row[6].toArray()[1].toString());
    }
    QCOMPARE(names.size(), 1500 + 2); // "Búza" twice, "Őszibarack" once

    // The producers likewise.
    TQuery p(&con, "p");
    excelexport::collectProducers(&p);
    const QString wholeProducers = QDir(db.dir()).filePath("wholeproducers.xls");
    const QString producers = QDir(db.dir()).filePath("OSTERMELO.xls");
    QVERIFY(excelexport::write(&p, "OSTERMELO", excelexport::producerColumns(),
                               excelexport::ProducerBoldTo, excelexport::Format::Xls, wholeProducers)
                .saved);
    QVERIFY(excelexport::write(&con, excelexport::producerStatement(), "OSTERMELO",
                               excelexport::producerColumns(), excelexport::ProducerBoldTo,
                               excelexport::Format::Xls, producers)
                .saved);
    QCOMPARE(fileBytes(producers), fileBytes(wholeProducers));

    // The inventory document: the same bytes, every line, by purchase date.
    TQuery inv(&con, "i");
    inventory::runQuery(&inv, from, to, "00001");
    const QString wholeDoc = QDir(db.dir()).filePath("whole.xml");
    const QString doc = QDir(db.dir()).filePath(inventory::FileName);
    QString error;
    QVERIFY(inventory::writeDocument(&inv, wholeDoc, &error));
    qint64 records = 0;
    QVERIFY(inventory::writeDocument(&con, inventory::statement(from, to, "00001"), doc, &error,
                                     [&](qint64 n) { records = n; }));
    QCOMPARE(records, qint64(lines));
    QCOMPARE(fileBytes(doc), fileBytes(wholeDoc));
    const Doc d = readDoc(fileBytes(doc));
    QCOMPARE(d.records.size(), lines);
    QDate previous;
    for (int i = 0; i < d.records.size(); ++i) {
        const QDate date = QDate::fromString(d.text(i, "F_FELVKELT"), "MM.dd.yyyy");
        QVERIFY(date.isValid());
        QVERIFY(!previous.isValid() || date >= previous);
        previous = date;
    }

    // The table text: one line per stored line.
    QTemporaryDir out;
    const qint64 n = tabletext::exportTable(&con, tabletext::tables().back(), out.path() + "/");
    QCOMPARE(n, qint64(lines));
    const QList<QByteArray> text = fileBytes(out.path() + "/FjSor.txt").split('\n');
    QCOMPARE(text.size(), lines + 1); // after the last CR LF: nothing
    QVERIFY(text.last().isEmpty());

    // A statement that cannot run stops the export before any file is made.
    const QString bad = QDir(db.dir()).filePath("bad.xls");
    bool thrown = false;
    try {
        excelexport::write(&con, {"SELECT NINCS FROM FJSOR", {}}, "FJFEJ",
                           excelexport::ticketColumns(), excelexport::TicketBoldTo,
                           excelexport::Format::Xls, bad);
    } catch (const fb::Error&) {
        thrown = true;
    }
    QVERIFY(thrown);
    QVERIFY(!QFile::exists(bad));
}

QTEST_GUILESS_MAIN(TstExports)
#include "tst_exports.moc"

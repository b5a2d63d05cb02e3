// The producer import from a ";" file and the import of the previous
// edition's fixed-width files, against a real database: what each line
// stores, which lines are refused and why, and that no byte sequence stops
// the others.
#include "testsupport.h"

#include "exchange/csvimport.h"
#include "exchange/oldimport.h"

#include <QRandomGenerator>
#include <QTest>

class TstImports : public QObject {
    Q_OBJECT
private slots:
    void csvLines();
    void csvRefusedLinesAreReportedAndSkipped();
    void fixedWidthProducers();
    void fixedWidthProducts();
    void buyersReplaced();
    void buyersKeptWhenNothingReadable();
    void randomBytesImportNothing();
    void lineSplitting();
    void fileEncodings_data();
    void fileEncodings();
};

namespace {

rec::Context ctx(TestDb& db) { return {&db.data()->ZCon1, "00001", "1", "4", QDate(2026, 12, 9)}; }

std::vector<imports::Line> lines(const QByteArray& bytes) { return imports::splitLines(bytes); }

// A fixed-width line with the texts placed at their 1-based positions.
QString fixed(std::initializer_list<std::pair<int, QString>> parts)
{
    QString s;
    for (const auto& [at, text] : parts) {
        if (s.size() < at - 1 + text.size())
            s = s.leftJustified(at - 1 + text.size(), ' ');
        s.replace(at - 1, text.size(), text);
    }
    return s;
}

} // namespace

void TstImports::csvLines()
{
    TestDb db;
    const QByteArray file =
        "00123;Alfa B\xE9ta;6720;Szeged;F\xF5 u. 1.;8414090001;12345678;;;Szeged;1960.05.01;"
        "Gamma Delta;;2;;123-456-789;;\r\n"
        "00124;Csak N\xE9v;6720;Szeged;;;;;;;;Anyja;;1;;123 456 789;12345678106;\r\n"
        "00125;R\xF6vid\r\n"
        "\"00126;Id\xE9z\xF5jel\";x;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;;\n";
    const imports::Result r = csvimport::importLines(ctx(db), "t.csv", lines(file));
    QCOMPARE(r.imported, 4);
    QCOMPARE(r.skipped(), 0);

    TQuery q(&db.data()->ZCon1, "check");
    q.add("SELECT o_kod, o_nev, o_helysegnev, o_utca, o_szido, o_taj, o_szja, o_adoszam,");
    q.add("  o_neme, o_akod FROM ostermelo WHERE o_kod IN ('00123','00124','00125','\"0012')");
    q.add("  ORDER BY o_kod");
    q.open();
    // The quoted field is split at its ";": the quote stays in both halves.
    QCOMPARE(q.asString("O_KOD"), QString("\"0012"));
    QCOMPARE(q.asString("O_NEV"), QString::fromUtf8("Idézőjel\""));
    q.next();
    QCOMPARE(q.asString("O_NEV"), QString::fromUtf8("Alfa Béta"));
    QCOMPARE(q.asString("O_UTCA"), QString::fromUtf8("Fő u. 1."));
    QCOMPARE(q.asDate("O_SZIDO"), QDate(1960, 5, 1));
    QCOMPARE(q.asString("O_TAJ"), QString("123456789"));
    QCOMPARE(q.asInteger("O_SZJA"), qint64(0));
    QVERIFY(!q.isNull("O_SZJA"));
    QCOMPARE(q.asString("O_NEME"), QString("2"));
    QVERIFY(q.isNull("O_AKOD"));
    q.next();
    // An empty eleventh field: the birth date of 1900.01.01.
    QCOMPARE(q.asDate("O_SZIDO"), QDate(1900, 1, 1));
    QCOMPARE(q.asString("O_TAJ"), QString("123456789"));
    QCOMPARE(q.asString("O_ADOSZAM"), QString("12345678106"));
    q.next();
    // Fewer fields: the rest empty, the birth date of 1900.01.01.
    QCOMPARE(q.asString("O_NEV"), QString::fromUtf8("Rövid"));
    QCOMPARE(q.asString("O_HELYSEGNEV"), QString());
    QCOMPARE(q.asDate("O_SZIDO"), QDate(1900, 1, 1));
}

void TstImports::csvRefusedLinesAreReportedAndSkipped()
{
    TestDb db;
    const QString before = db.scalar("SELECT COUNT(*) FROM ostermelo");
    const QByteArray file =
        "K\xF3\x64;N\xE9v;Irsz;Helys\xE9g;Utca;Ad\xF3\x61zon;Igsz;Regsz;Szja;Sz\xFCl.hely;"
        "Sz\xFCl.d\xE1tum;Anyja;Csgazd;Neme;Sz\xFCl.n\xE9v;TAJ;Ad\xF3sz\xE1m;Bank\r\n"
        "00201;J\xF3 Sor;6720;Szeged\r\n"
        "\r\n"
        "00202;Rossz D\xE1tum;;;;;;;;;1960-05-01\r\n"
        "00203;Hossz\xFA Ad\xF3sz\xE1m;;;;;;;;;;;;;;;123456789012345\r\n"
        "00204;Vez\xE9rl\xF5\x01karakter\r\n"
        "00205;Nem \x81 1250\r\n"
        ";N\xE9v k\xF3\x64 n\xE9lk\xFCl\r\n"
        "00206\r\n";
    const imports::Result r = csvimport::importLines(ctx(db), "t.csv", lines(file));
    QCOMPARE(r.imported, 1);
    QCOMPARE(r.skipped(), 8);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM ostermelo").toInt(), before.toInt() + 1);
    QCOMPARE(db.scalar("SELECT o_nev FROM ostermelo WHERE o_kod = '00201'"),
             QString::fromUtf8("Jó Sor"));

    QStringList got;
    for (const auto& f : r.failures)
        got << QString("%1|%2").arg(f.line).arg(f.field);
    // The header line fails on its date; the blank line is skipped.
    QCOMPARE(got, QStringList({"1|11. mező (O_SZIDO)", "3|", "4|11. mező (O_SZIDO)",
                               "5|17. mező (O_ADOSZAM)", "6|2. mező", "7|2. mező",
                               "8|1. mező (O_KOD)", "9|2. mező (O_NEV)"}));
    QCOMPARE(r.failures[0].message, QString::fromUtf8(csvimport::InsertFailed));
    QVERIFY(r.failures[3].reason.contains("túl hosszú"));
    const QString end = imports::report("A lista feldolgozva", r);
    QVERIFY(end.contains("Beolvasva: 1 sor, kihagyva: 8 sor."));
    QVERIFY(end.contains("t.csv 4. sor, 11. mező (O_SZIDO)"));
}

void TstImports::fixedWidthProducers()
{
    TestDb db;
    const QString full = fixed({{1, "X"}, {2, "0042 "}, {7, QString::fromUtf8("Régi Őstermelő")},
                                {53, "6720"}, {58, "Szeged"}, {104, QString::fromUtf8("Fő utca 2.")},
                                {150, "8414090001"}, {161, "1234567"}, {170, "R1"},
                                {183, "Makó"}, {229, "1975.04.12"}, {240, "Anya Neve"},
                                {288, "CS1"}, {297, "2"}, {299, QString::fromUtf8("Szül Név")},
                                {345, "123456789"}, {355, "12345678106"},
                                {367, "11773016-11111111"}});
    QCOMPARE(full.mid(228, 10), QString("1975.04.12"));
    const QString noDate = fixed({{2, "0043 "}, {7, "Nincs Datum"}, {229, "          "}, {297, "1"}});
    const QString badDate = fixed({{2, "0044 "}, {7, "Rossz Datum"}, {229, "1975.13.40"}});
    const QString longCode = fixed({{2, "00456"}, {7, "Hosszu Kod"}});
    std::vector<imports::Line> ls = {{1, full}, {2, noDate}, {3, ""}, {4, badDate}, {5, longCode}};
    const imports::Result r = oldimport::importLines(ctx(db), oldimport::Kind::Producers, ls);
    QCOMPARE(r.imported, 2);
    QCOMPARE(r.skipped(), 3);
    QCOMPARE(r.failures[0].line, 3);
    QCOMPARE(r.failures[0].reason, QString::fromUtf8("üres sor"));
    QCOMPARE(r.failures[1].field, QString("O_SZIDO"));
    QCOMPARE(r.failures[1].message, QString::fromUtf8("Hiba251: Újban, INSERT az östermelöben "));
    QCOMPARE(r.failures[2].field, QString("O_KOD"));

    TQuery q(&db.data()->ZCon1, "check");
    q.add("SELECT * FROM ostermelo WHERE o_akod = '1' ORDER BY o_kod");
    q.open();
    QCOMPARE(q.recordCount(), 2);
    QCOMPARE(q.asString("O_KOD").trimmed(), QString("10042"));
    QCOMPARE(q.asString("O_NEV"), QString::fromUtf8("Régi Őstermelő"));
    QCOMPARE(q.asString("O_UTCA"), QString::fromUtf8("Fő utca 2."));
    QCOMPARE(q.asDate("O_SZIDO"), QDate(1975, 4, 12));
    QCOMPARE(q.asString("O_NEME"), QString("2"));
    QCOMPARE(q.asString("O_TAJ"), QString("123456789"));
    QCOMPARE(q.asString("O_ADOSZAM"), QString("12345678106"));
    QCOMPARE(q.asString("O_BANKSZLA"), QString("11773016-11111111"));
    QCOMPARE(q.asInteger("O_SZJA"), qint64(0));
    QVERIFY(!q.isNull("O_MUVKTG"));
    q.next();
    // Blanks at 229-238: no birth date at all.
    QCOMPARE(q.asString("O_NEV"), QString("Nincs Datum"));
    QVERIFY(q.isNull("O_SZIDO"));

    // Stopped before the third line: the two before it stay, the rest is not read.
    std::vector<imports::Line> more = {{1, fixed({{2, "0051 "}, {7, "Otvenegy"}})},
                                       {2, ""},
                                       {3, fixed({{2, "0053 "}, {7, "Otvenharom"}})},
                                       {4, fixed({{2, "0054 "}, {7, "Otvennegy"}})}};
    int asked = 0;
    const imports::Result c = oldimport::importLines(
        ctx(db), oldimport::Kind::Producers, more, {}, [&] { return ++asked == 3; });
    QCOMPARE(c.imported, 1);
    QCOMPARE(c.skipped(), 1);
    QCOMPARE(c.cancelledAt, 3);
    QVERIFY(imports::report("x", c).contains("Megszakítva a 3. sor előtt: addig 1 sor került be"));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM ostermelo WHERE o_kod IN ('10051', '10053', '10054')"),
             QString("1"));
    QCOMPARE(db.scalar("SELECT o_nev FROM ostermelo WHERE o_kod = '10051'"), QString("Otvenegy"));
}

void TstImports::fixedWidthProducts()
{
    TestDb db;
    std::vector<imports::Line> ls = {
        {1, fixed({{2, "0007 "}, {7, QString::fromUtf8("Búza")}, {83, "1001"}, {94, "12,5"},
                   {110, "kg"}, {121, "12"}})},
        {2, fixed({{2, "0008 "}, {7, "Pont"}, {94, "12.5"}})},
        {3, fixed({{2, "0009 "}, {7, "Csoport"}, {94, "1 000"}})},
        {4, fixed({{2, "0010 "}, {7, "Tort"}, {121, "7,5"}})},
        {5, fixed({{2, "0011 "}, {7, "Ures"}})},
    };
    const imports::Result r = oldimport::importLines(ctx(db), oldimport::Kind::Products, ls);
    QCOMPARE(r.imported, 2);
    QStringList fields;
    for (const auto& f : r.failures)
        fields << QString("%1|%2").arg(f.line).arg(f.field);
    QCOMPARE(fields, QStringList({"2|T_EAR", "3|T_EAR", "4|T_KOMPMERTEKE"}));
    TQuery q(&db.data()->ZCon1, "check");
    q.add("SELECT * FROM termek WHERE t_akod = '1' ORDER BY t_kod");
    q.open();
    QCOMPARE(q.asString("T_MEGNEVEZES"), QString::fromUtf8("Búza"));
    QCOMPARE(q.asFloat("T_EAR"), 12.5);
    QCOMPARE(q.asInteger("T_KOMPMERTEKE"), qint64(12));
    QCOMPARE(q.asString("T_MEGY"), QString("kg"));
    q.next();
    QVERIFY(q.isNull("T_EAR"));
    QVERIFY(q.isNull("T_KOMPMERTEKE"));
}

void TstImports::buyersReplaced()
{
    TestDb db;
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM atvevo"), QString("1"));
    std::vector<imports::Line> ls = {
        {1, fixed({{1, QString::fromUtf8("Első Kft.")}, {47, "Szeged"}, {93, "Fő u. 1."},
                   {139, "6720"}, {144, "12345678106"}})},
        {2, fixed({{1, QString::fromUtf8("Második Bt.")}, {47, "Makó"}})},
        {3, fixed({{1, QString("Harm") + QChar(1) + "adik"}, {47, "Szeged"}})},
    };
    const imports::Result r = oldimport::importLines(ctx(db), oldimport::Kind::Buyers, ls);
    QCOMPARE(r.imported, 2);
    QCOMPARE(r.skipped(), 1);
    QCOMPARE(r.failures[0].field, QString("V_NEVE"));
    QVERIFY(!r.stopped);
    TQuery q(&db.data()->ZCon1, "check");
    q.add("SELECT v_akod, v_neve, v_helyseg, v_irszam, v_adoszam FROM atvevo ORDER BY v_akod");
    q.open();
    QCOMPARE(q.recordCount(), 2);
    QCOMPARE(q.asString("V_AKOD"), QString("1"));
    QCOMPARE(q.asString("V_NEVE"), QString::fromUtf8("Első Kft."));
    QCOMPARE(q.asString("V_ADOSZAM"), QString("12345678106"));
    q.next();
    // The second line is the buyer "2", whatever it was called before.
    QCOMPARE(q.asString("V_AKOD"), QString("2"));
    QCOMPARE(q.asString("V_HELYSEG"), QString::fromUtf8("Makó"));
}

void TstImports::buyersKeptWhenNothingReadable()
{
    TestDb db;
    const QString name = db.scalar("SELECT v_neve FROM atvevo");
    for (const auto& ls : {std::vector<imports::Line>{},
                           std::vector<imports::Line>{{1, ""}, {2, QString(60, ' ')}},
                           std::vector<imports::Line>{{1, fixed({{47, "Nincs neve"}})}},
                           // Read, but refused by the database (a code longer than
                           // V_AKOD): the old buyers stay all the same.
                           std::vector<imports::Line>{{100001, fixed({{1, "Hosszú Kft."}})},
                                                      {100002, fixed({{1, "Kód Bt."}})}}}) {
        const imports::Result r = oldimport::importLines(ctx(db), oldimport::Kind::Buyers, ls);
        QCOMPARE(r.imported, 0);
        QVERIFY(r.stopped);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM atvevo"), QString("1"));
        QCOMPARE(db.scalar("SELECT v_neve FROM atvevo"), name);
    }
}

void TstImports::randomBytesImportNothing()
{
    TestDb db;
    const int before = db.scalar("SELECT COUNT(*) FROM ostermelo").toInt();
    QRandomGenerator gen(20261209);
    // Lines of 300 random bytes: each holds control characters or bytes of
    // no code page, so none is a producer.
    QByteArray bytes;
    for (int i = 0; i < 200; ++i) {
        for (int k = 0; k < 300; ++k) {
            char c = char(gen.bounded(256));
            bytes += c == '\n' ? 'x' : c;
        }
        bytes += "\r\n";
    }
    auto ls = lines(bytes);
    QCOMPARE(ls.size(), size_t(200));
    const imports::Result c = csvimport::importLines(ctx(db), "r.csv", ls);
    QCOMPARE(c.imported, 0);
    QCOMPARE(c.skipped(), 200);
    for (size_t i = 0; i < c.failures.size(); ++i) {
        QCOMPARE(c.failures[i].line, int(i) + 1);
        QVERIFY(!c.failures[i].reason.isEmpty());
    }
    for (auto kind : {oldimport::Kind::Producers, oldimport::Kind::Products}) {
        const imports::Result o = oldimport::importLines(ctx(db), kind, ls);
        QCOMPARE(o.imported, 0);
        QCOMPARE(o.skipped(), 200);
        QVERIFY(!o.stopped);
    }
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM ostermelo").toInt(), before);

    // Any byte stream at all: every line is either stored or reported, and
    // only what parses is stored.
    bytes.clear();
    for (int i = 0; i < 60000; ++i)
        bytes += char(gen.bounded(256));
    ls = lines(bytes);
    int parsable = 0;
    for (const auto& l : ls)
        parsable += (!imports::trimmed(l.text).isEmpty() && csvimport::parseLine(l.text).ok());
    const imports::Result any = csvimport::importLines(ctx(db), "r.csv", ls);
    QCOMPARE(any.imported + any.skipped(), int(ls.size()));
    QCOMPARE(any.imported, parsable);
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM ostermelo").toInt(), before + parsable);
}

void TstImports::lineSplitting()
{
    QCOMPARE(lines("").size(), size_t(0));
    const auto ls = lines("a\r\nb\n\nc\xF5\r\n");
    QCOMPARE(ls.size(), size_t(4));
    QCOMPARE(ls[0].text, QString("a"));
    QCOMPARE(ls[1].text, QString("b"));
    QCOMPARE(ls[2].text, QString());
    QCOMPARE(ls[3].text, QString::fromUtf8("cő"));
    QCOMPARE(lines("no end").back().text, QString("no end"));
    // The five bytes Windows-1250 leaves empty are kept recognisable.
    QCOMPARE(imports::decodeLine("\x81\x83\x88\x90\x98"), QString(5, QChar(0xFFFD)));
    QCOMPARE(imports::trimmed(QString(" \t x y \x01\r")), QString("x y"));
    QCOMPARE(oldimport::pos("abc", 2, 6), QString("bc"));
    QCOMPARE(oldimport::pos("abc", 4, 6), QString());
}

void TstImports::fileEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("read");    // the encoding named, or "" when refused
    QTest::addColumn<QString>("expected"); // the first line, or a piece of the refusal
    const QByteArray utf8 = QString::fromUtf8("00123;Kovács Éva;6720;Fő u. 1.").toUtf8();
    const QByteArray cp1250 = "00123;Kov\xE1" "cs \xC9va;6720;F\xF5 u. 1.";
    const QString text = QString::fromUtf8("00123;Kovács Éva;6720;Fő u. 1.");
    QTest::newRow("Windows-1250") << cp1250 + "\r\n" << "Windows-1250" << text;
    QTest::newRow("plain ASCII") << QByteArray("00123;Kis;6720\r\n") << "Windows-1250"
                                 << "00123;Kis;6720";
    QTest::newRow("UTF-8") << utf8 + "\r\n" << "UTF-8" << text;
    // The mark is no part of the first code.
    QTest::newRow("UTF-8 with BOM") << "\xEF\xBB\xBF" + utf8 << "UTF-8 (BOM)" << text;
    QTest::newRow("BOM, then Windows-1250") << "\xEF\xBB\xBFok\r\n" + cp1250 << ""
                                            << "UTF-8 jelöléssel (BOM) kezdődik, de a(z) 2. sora";
    QTest::newRow("mixed") << "x\n" + utf8 + "\r\n" + cp1250 + "\r\n" << ""
                           << QString("vegyes kódolású: a(z) 2. sor UTF-8, a(z) 3. sor "
                                      "Windows-1250 kódolású szöveg. Mentse a fájlt UTF-8 vagy "
                                      "Windows-1250 kódolású szövegként, és próbálja újra.\n"
                                      "3. sor: „") + text + "”";
    QTest::newRow("no Windows-1250 byte") << QByteArray("ab\r\nc\x81\r\n") << ""
                                          << "a(z) 2. sor 2. bájtja (0x81) sem UTF-8";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE" "a\0b\0", 6) << ""
                            << "0 értékű bájt áll: ez nem szövegfájl";
}

void TstImports::fileEncodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, read);
    QFETCH(QString, expected);
    const imports::Text t = imports::decodeFile(bytes);
    if (read.isEmpty()) {
        QVERIFY2(t.refusal.contains(expected), qPrintable(t.refusal));
        QVERIFY(t.lines.empty());
        return;
    }
    QVERIFY2(t.refusal.isEmpty(), qPrintable(t.refusal));
    QCOMPARE(imports::encodingName(t.encoding), read);
    QCOMPARE(t.lines.at(0).text, expected);
    // Both importers read the decoded text: the CSV's first code is whole and
    // a fixed-width line keeps its later fields in place after accented letters.
    QCOMPARE(csvimport::parseLine(t.lines[0].text).row.values.at(0).toString(), QString("00123"));
    if (t.encoding == imports::Encoding::Win1250)
        return; // the fixed-width tests above read Windows-1250
    const QString name = t.lines[0].text.section(';', 1, 1);
    const QByteArray mark = t.encoding == imports::Encoding::Utf8Bom ? "\xEF\xBB\xBF" : "";
    const imports::Text fw =
        imports::decodeFile(mark + fixed({{2, "0042 "}, {7, name}, {53, "6720"}}).toUtf8());
    QCOMPARE(fw.encoding, t.encoding);
    const oldimport::Parsed p = oldimport::parseProducer(fw.lines.at(0).text);
    QCOMPARE(p.row.values.at(1).toString(), name);
    QCOMPARE(p.row.values.at(2).toString(), QString("6720"));
}

QTEST_GUILESS_MAIN(TstImports)
#include "tst_imports.moc"

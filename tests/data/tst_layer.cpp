// The data layer refuses what a column cannot hold, naming the column, before
// anything is sent; scripts and parameters are read past quotes and comments.
#include "testsupport.h"
#include "values.h"

#include <QTest>
#include <cmath>
#include <limits>

class TstLayer : public QObject {
    Q_OBJECT
private slots:
    void textLongerThanTheColumn();
    void characterOutsideWindows1250();
    void notANumberAndInfinity();
    void numbersOutOfRange();
    void computedColumnsThatWouldOverflow();
    void invalidDates();
    void parametersInsideCommentsAreNotParameters();
    void scriptSplitHonoursQuotesAndComments();
};

namespace {

// The error of running the statement, "" when it ran.
QString refusal(const std::function<void()>& f)
{
    try {
        f();
    } catch (const fb::Error& e) {
        return e.text();
    }
    return {};
}

QString headers(TestDb& db) { return db.scalar("SELECT COUNT(*) FROM fjfej"); }

void insertHeader(TQuery* q, const std::function<void(TQuery*)>& bind)
{
    q->setSql("INSERT INTO fjfej (f_bszam, f_akod, f_megj, f_kelt, f_sumvar, f_szja, f_jarulszaz) "
              "VALUES (:p1, '00001', :p2, :p3, :p4, :p5, :p6)");
    q->setText("p1", "20260001");
    q->setText("p2", "megjegyzés");
    q->setDate("p3", QDate(2026, 3, 1));
    q->setFloat("p4", 1000);
    q->setInteger("p5", 15);
    q->setFloat("p6", 2);
    bind(q);
    Data->execCommitted(q);
}

} // namespace

void TstLayer::textLongerThanTheColumn()
{
    TestDb db;
    TQuery* q = db.data()->ZQ11;
    // F_MEGJ is VARCHAR(200).
    QString e = refusal([&] { insertHeader(q, [](TQuery* q) { q->setText("p2", QString(201, 'x')); }); });
    QVERIFY2(e.contains("F_MEGJ") && e.contains("200") && e.contains("201"), qPrintable(e));
    // 65 536 characters used to be cut to nothing (the length is 16 bits).
    e = refusal([&] { insertHeader(q, [](TQuery* q) { q->setText("p2", QString(65536, 'y')); }); });
    QVERIFY2(e.contains("F_MEGJ"), qPrintable(e));
    QCOMPARE(headers(db), QString("0"));
    // Blanks past the end are not data: stored, trimmed.
    insertHeader(q, [](TQuery* q) { q->setText("p2", QString(200, 'z') + "   "); });
    QCOMPARE(db.scalar("SELECT CHAR_LENGTH(f_megj) FROM fjfej"), QString("200"));
    // An UPDATE names its column as well.
    q->setSql("UPDATE fjfej SET f_bszam = :p1 WHERE f_akod = :p2");
    q->setText("p1", "123456789");
    q->setText("p2", "00001");
    e = refusal([&] { q->execSQL(); });
    QVERIFY2(e.contains("F_BSZAM") && e.contains("8"), qPrintable(e));
}

void TstLayer::characterOutsideWindows1250()
{
    TestDb db;
    TQuery* q = db.data()->ZQ11;
    const QString e = refusal([&] { insertHeader(q, [](TQuery* q) { q->setText("p2", "Kiss Ŵ Ödön"); }); });
    QVERIFY2(e.contains(QString::fromUtf8("Ŵ")) && e.contains("F_MEGJ"), qPrintable(e));
    QCOMPARE(headers(db), QString("0"));
    // Every Hungarian letter is fine.
    insertHeader(q, [](TQuery* q) { q->setText("p2", QString::fromUtf8("árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ")); });
    QCOMPARE(db.scalar("SELECT f_megj FROM fjfej"), QString::fromUtf8("árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ"));
}

// NaN was stored as -922337203685478 in a NUMERIC column, and an infinite
// F_SUMVAR made every SELECT * FROM FJFEJ fail.
void TstLayer::notANumberAndInfinity()
{
    TestDb db;
    TQuery* q = db.data()->ZQ11;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QString e = refusal([&] { insertHeader(q, [&](TQuery* q) { q->setFloat("p6", nan); }); });
    QVERIFY2(e.contains("F_JARULSZAZ") && e.contains("nem szám"), qPrintable(e));
    e = refusal([&] { insertHeader(q, [&](TQuery* q) { q->setFloat("p4", inf); }); });
    QVERIFY2(e.contains("F_SUMVAR") && e.contains("végtelen"), qPrintable(e));
    e = refusal([&] { insertHeader(q, [&](TQuery* q) { q->setFloat("p4", -inf); }); });
    QVERIFY2(e.contains("F_SUMVAR"), qPrintable(e));
    QCOMPARE(headers(db), QString("0"));
    insertHeader(q, [](TQuery*) {});
    TQuery all(&db.data()->ZCon1, "all");
    all.setSql("SELECT * FROM fjfej");
    all.open();
    QCOMPARE(all.recordCount(), 1);
}

void TstLayer::numbersOutOfRange()
{
    TestDb db;
    TQuery* q = db.data()->ZQ11;
    // NUMERIC(18,4) holds up to 922 337 203 685 477.5807.
    QString e = refusal([&] { insertHeader(q, [](TQuery* q) { q->setFloat("p6", 1e15); }); });
    QVERIFY2(e.contains("F_JARULSZAZ") && e.contains("tartomány"), qPrintable(e));
    e = refusal([&] { insertHeader(q, [](TQuery* q) { q->setInteger("p6", 1000000000000000LL); }); });
    QVERIFY2(e.contains("F_JARULSZAZ"), qPrintable(e));
    insertHeader(q, [](TQuery* q) { q->setFloat("p6", 922337203685477.0); });
    QCOMPARE(headers(db), QString("1"));
    // INTEGER: O_FHAT.
    q->setSql("INSERT INTO ostermelo (o_kod, o_fhat) VALUES ('00009', :p1)");
    q->setFloat("p1", 3e9);
    e = refusal([&] { db.data()->execCommitted(q); });
    QVERIFY2(e.contains("O_FHAT"), qPrintable(e));
    q->setInteger("p1", 2147483647);
    db.data()->execCommitted(q);
    QCOMPARE(db.scalar("SELECT o_fhat FROM ostermelo WHERE o_kod = '00009'"), QString("2147483647"));
}

// Inputs that each fit their column, but whose computed column would
// overflow when the row is read: the row would come back negative or not at all.
void TstLayer::computedColumnsThatWouldOverflow()
{
    TestDb db;
    TQuery* q = db.data()->ZQ22;
    auto line = [&](double brutto, double levonszaz, double ear) {
        q->setSql("INSERT INTO fjsor (s_bszam, s_brutto, s_levonszaz, s_ear, s_kompmerteke) "
                  "VALUES ('20260001', :p1, :p2, :p3, :p4)");
        q->setFloat("p1", brutto);
        q->setFloat("p2", levonszaz);
        q->setFloat("p3", ear);
        q->setFloat("p4", 12);
        db.data()->execCommitted(q);
    };
    QString e = refusal([&] { line(9e14, 200, 1); });
    QVERIFY2(e.contains("S_LEVONAS") && e.contains("S_BRUTTO"), qPrintable(e));
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM fjsor"), QString("0"));
    // Large but storable: read back as stored.
    line(2000000, 2, 99999);
    TQuery r(&db.data()->ZCon1, "r");
    r.setSql("SELECT s_levonas, s_netto, s_felvar FROM fjsor");
    r.open();
    QCOMPARE(r.asFloat("S_LEVONAS"), 40000.0);
    QCOMPARE(r.asFloat("S_FELVAR"), 1960000.0 * 99999);

    // F_SZJA × F_SUMVAR / 100 beyond a double.
    TQuery* h = db.data()->ZQ11;
    e = refusal([&] {
        insertHeader(h, [](TQuery* h) {
            h->setFloat("p4", 1e300);
            h->setInteger("p5", 9000000000000000000LL);
        });
    });
    QVERIFY2(e.contains("F_SZJALEVON"), qPrintable(e));
    QCOMPARE(headers(db), QString("0"));
}

// An impossible date used to be stored as NULL with success.
void TstLayer::invalidDates()
{
    TestDb db;
    TQuery* q = db.data()->ZQ11;
    QString e = refusal([&] { insertHeader(q, [](TQuery* q) { q->setDate("p3", QDate(2026, 2, 30)); }); });
    QVERIFY2(e.contains("F_KELT") && e.contains("dátum"), qPrintable(e));
    e = refusal([&] { insertHeader(q, [](TQuery* q) { q->setDate("p3", QDate(10000, 1, 1)); }); });
    QVERIFY2(e.contains("F_KELT"), qPrintable(e));
    QCOMPARE(headers(db), QString("0"));
    // No date at all is said with setNull.
    insertHeader(q, [](TQuery* q) { q->setNull("p3"); });
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM fjfej WHERE f_kelt IS NULL"), QString("1"));
}

void TstLayer::parametersInsideCommentsAreNotParameters()
{
    TestDb db;
    TQuery* q = db.data()->ZQ11;
    q->setSql("SELECT /* :notme, 'it''s' */ v_akod -- :norme\n"
              "FROM atvevo WHERE v_akod = :p1 /* :x */");
    q->setText("p1", "00001");
    q->open(); // only p1 is asked for
    QCOMPARE(q->asString("V_AKOD"), QString("00001"));
}

void TstLayer::scriptSplitHonoursQuotesAndComments()
{
    const QStringList parts = fb::splitScript(
        "-- a comment; with a semicolon\n"
        "INSERT INTO t VALUES ('a;b', 'it''s;');\n"
        "/* block; comment */ UPDATE t SET x = 1; -- trailing; words\n"
        "SET TERM ^ ;\n"
        "CREATE TRIGGER tr FOR t BEFORE INSERT AS BEGIN new.x = ';'; END^\n"
        "SET TERM ; ^\n"
        "SELECT \"a;b\" FROM t;");
    QCOMPARE(parts.size(), 4);
    QCOMPARE(parts[0], QString("INSERT INTO t VALUES ('a;b', 'it''s;')"));
    QCOMPARE(parts[1], QString("UPDATE t SET x = 1"));
    QCOMPARE(parts[2], QString("CREATE TRIGGER tr FOR t BEFORE INSERT AS BEGIN new.x = ';'; END"));
    QCOMPARE(parts[3], QString("SELECT \"a;b\" FROM t"));
}

QTEST_GUILESS_MAIN(TstLayer)
#include "tst_layer.moc"

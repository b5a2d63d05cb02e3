// The 2008M import files: every byte of the files against files written out by
// hand, the shared tax id, the empty month, characters the form program would
// misread, failures while writing, and the screen's month check and print.
#include "../tickets/ticketfixture.h"

#include "reports/engine/Report.h"
#include "taxdata/Unit11.h"
#include "taxdata/m2008.h"

#include "gui/dbwidgets.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

class TstM2008 : public QObject {
    Q_OBJECT
private slots:
    void amounts();
    void splitName();
    void monthFilesByteForByte();
    void sharedTaxId_data();
    void sharedTaxId();
    void emptyMonth();
    void isoUnsafeCharacterStopsBeforeWriting();
    void unwritableFileIsNamed();
    void refusedWithNothingTouched_data();
    void refusedWithNothingTouched();
    void randomMonths();
    void screenMonthCheck();
    void screenCollectsAndPrints();
};

namespace {

void producer(TestDb& db, const QString& kod, const QString& nev, const QString& adoazon,
              const QString& extra = {})
{
    db.exec(QString("INSERT INTO ostermelo (o_kod, o_nev, o_adoazon, o_neme, o_igszam, o_csgazd, "
                    "o_szulnev, o_anyja, o_szulhely, o_szido, o_adoszam) VALUES (%1, %2, %3, %4)")
                .arg(sqlText(kod), sqlText(nev), sqlText(adoazon),
                     extra.isEmpty() ? "NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL" : extra));
}

void paid(TestDb& db, const QString& bszam, const QString& kod, const QString& date, double muvktg,
          double sumvar = 0)
{
    // The payment date selects; the issue and purchase dates lie days before
    // it, often in the month before, so a filter on them would show.
    const QDate d = QDate::fromString(date, "yyyy.MM.dd");
    TicketSpec t;
    t.bszam = bszam;
    t.ostermkod = kod;
    t.fizkelt = date;
    t.kelt = d.addDays(-9).toString("yyyy.MM.dd");
    t.felvkelt = d.addDays(-4).toString("yyyy.MM.dd");
    t.muvktg = muvktg;
    t.sumvar = sumvar;
    addTicket(db, t);
}

rec::Context ctx() { return {&Data->ZCon1, "00001", "1", "4", QDate(2026, 12, 9)}; }

m2008::Period january()
{
    return {"2026.01.01", "2026.01.31", QDate(2026, 1, 1), QDate(2026, 1, 31)};
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void buyerData(TestDb& db)
{
    db.exec("UPDATE atvevo SET v_adoszam = '12345678213', v_adoazon = '8000000001', "
            "v_neve = 'Árpád Kft.' WHERE v_akod = '00001'");
}

} // namespace

void TstM2008::amounts()
{
    QCOMPARE(m2008::formatAmount(1234.5), QString("1235"));
    QCOMPARE(m2008::formatAmount(-1234.5), QString("-1235"));
    QCOMPARE(m2008::formatAmount(1234.49), QString("1234"));
    QCOMPARE(m2008::formatAmount(-0.4), QString("0"));
    QCOMPARE(m2008::formatAmount(0.0), QString("0"));
    QCOMPARE(m2008::formatAmount(12345678901.0), QString("12345678901"));
    // A sum that should be x.5 but lies a hair below it is still rounded up.
    double s = 0;
    for (int i = 0; i < 10; ++i)
        s += 0.15;
    s += 0.0;
    QCOMPARE(m2008::formatAmount(1233 + s), QString("1235"));

    QVERIFY(m2008::sameMonth("2020.01.15", "2021.01.10"));
    QVERIFY(!m2008::sameMonth("2020.01.31", "2020.02.01"));
    QCOMPARE(m2008::monthFolder("/x/VADMO7", "2020.03.01"), QString("/x/VADMO7/03/"));
    QCOMPARE(m2008::listFileName("/f/", "2020.01.01", "2020.01.31"),
             QString("/f/2008M_20200101_0131.txt"));

    QTemporaryDir dir;
    const QString ini = dir.filePath("f9.ini");
    QVERIFY(!m2008::amountFromSumvar(ini)); // missing file
    for (const auto& [text, expected] :
         {std::pair{"[Form9]\r\nEdit15Visible=1\r\n", true}, {"[Form9]\r\nEdit15Visible=2\r\n", false},
          {"[Form9]\r\nEdit14Visible=1\r\n", false}}) {
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        QCOMPARE(m2008::amountFromSumvar(ini), expected);
    }
}

void TstM2008::splitName()
{
    QString a, b;
    m2008::splitName("Alfa Béta Gamma", a, b);
    QCOMPARE(a, QString("Alfa Béta "));
    QCOMPARE(b, QString("Gamma"));
    m2008::splitName("Kovács", a, b);
    QCOMPARE(a, QString(" "));
    QCOMPARE(b, QString("Kovács"));
    m2008::splitName("Kovács  János", a, b);
    QCOMPARE(a, QString("Kovács  "));
    QCOMPARE(b, QString("János"));
    m2008::splitName("Kovács János", a, b);
    QCOMPARE(a, QString("Kovács "));
    QCOMPARE(b, QString("János"));
}

void TstM2008::monthFilesByteForByte()
{
    TestDb db;
    buyerData(db);
    producer(db, "00002", "Alfa Béta", "8123456786",
             "'1', 'AB123456', 'CS1', 'Alfa Betti', 'Kiss Mária', 'Szeged', '1960-05-04', "
             "'11112222333'");
    producer(db, "00003", "Gamma", "8123456794");
    producer(db, "00004", "Delta Ede", "8123456808");
    paid(db, "26000001", "00002", "2026.01.10", 1000);
    paid(db, "26000002", "00002", "2026.01.31", 234.5);
    paid(db, "26000003", "00003", "2026.01.02", -1234.5);
    // A ticket and its voiding document: the producer still gets a file.
    paid(db, "26000004", "00004", "2026.01.05", 777);
    paid(db, "26000005", "00004", "2026.01.06", -777);
    // Outside the month, or another buyer's: not counted.
    paid(db, "26000006", "00002", "2026.02.01", 50000);
    paid(db, "26000007", "00002", "2025.12.31", 50000);
    TicketSpec other;
    other.bszam = "26000008";
    other.ostermkod = "00002";
    other.kelt = "2026.01.15";
    other.muvktg = 9999;
    addTicket(db, other, "00009");

    QTemporaryDir base;
    const QString folder = m2008::monthFolder(base.path(), "2026.01.01");
    // The month folder is missing: it is made.
    const m2008::Result r = m2008::collect(ctx(), Data->ZQ20, january(), folder, false);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.total, QString("0")); // 1234.5 - 1234.5 + 0
    QCOMPARE(Data->ZQ20->recordCount(), 3);

    const QByteArray alfa = "$ny_azon=2008M\r\n"
                            "$sorok_sz\xE1ma=26\r\n"
                            "$d_lapok_sz\xE1ma=0\r\n"
                            "$info=00002_Alfa B\xE9ta_8123456786\r\n"
                            "13841=12345678213\r\n"
                            "13842=8000000001\r\n"
                            "13843=\xC1rp\xE1" "d Kft.\r\n"
                            "17428=\r\n"
                            "17429=\r\n"
                            "17430=\r\n"
                            "13844=8123456786\r\n"
                            "13845=1\r\n"
                            "13846=HU\r\n"
                            "13848=AB123456\r\n"
                            "13849=CS1\r\n"
                            "14807=Alfa \r\n"
                            "14808=B\xE9ta\r\n"
                            "17052=Alfa \r\n"
                            "17053=Betti\r\n"
                            "17054=Kiss \r\n"
                            "17055=M\xE1ria\r\n"
                            "13854=Szeged\r\n"
                            "13855=19600504\r\n"
                            "16697=20260101\r\n"
                            "16698=20260131\r\n"
                            "24804=1235\r\n"
                            "24805=1\r\n"
                            "13847=11112222333\r\n";
    QCOMPARE(readAll(folder + "2008M202601_8123456786.imp"), alfa);

    const QByteArray gamma = "$ny_azon=2008M\r\n"
                             "$sorok_sz\xE1ma=26\r\n"
                             "$d_lapok_sz\xE1ma=0\r\n"
                             "$info=00003_Gamma_8123456794\r\n"
                             "13841=12345678213\r\n"
                             "13842=8000000001\r\n"
                             "13843=\xC1rp\xE1" "d Kft.\r\n"
                             "17428=\r\n"
                             "17429=\r\n"
                             "17430=\r\n"
                             "13844=8123456794\r\n"
                             "13845=\r\n"
                             "13846=HU\r\n"
                             "13848=\r\n"
                             "13849=\r\n"
                             "14807= \r\n"
                             "14808=Gamma\r\n"
                             "17052= \r\n"
                             "17053=\r\n"
                             "17054= \r\n"
                             "17055=\r\n"
                             "13854=\r\n"
                             "13855=18991230\r\n"
                             "16697=20260101\r\n"
                             "16698=20260131\r\n"
                             "24804=-1235\r\n"
                             "24805=1\r\n"
                             "13847=\r\n";
    QCOMPARE(readAll(folder + "2008M202601_8123456794.imp"), gamma);

    const QByteArray delta = readAll(folder + "2008M202601_8123456808.imp");
    QVERIFY(delta.contains("\r\n24804=0\r\n24805=1\r\n"));
    QVERIFY(delta.contains("\r\n14807=Delta \r\n14808=Ede\r\n"));

    const QByteArray list = (folder + "2008M202601_8123456786.imp\r\n" + folder +
                             "2008M202601_8123456794.imp\r\n" + folder +
                             "2008M202601_8123456808.imp\r\n")
                                .toUtf8();
    QCOMPARE(readAll(folder + "2008M_20260101_0131.txt"), list);
    QCOMPARE(filesIn(folder).size(), 4); // no temporary file left behind

    // With the members' contribution in use, F_SUMVAR is the amount.
    db.exec("UPDATE fjfej SET f_sumvar = f_muvktg * 2");
    const m2008::Result r2 = m2008::collect(ctx(), Data->ZQ20, january(), folder, true);
    QVERIFY(r2.ok);
    QVERIFY(readAll(folder + "2008M202601_8123456786.imp").contains("\r\n24804=2469\r\n"));
}

void TstM2008::sharedTaxId_data()
{
    QTest::addColumn<bool>("between");
    QTest::newRow("adjacent codes") << false;
    QTest::newRow("another producer between") << true;
}

void TstM2008::sharedTaxId()
{
    QFETCH(bool, between);
    TestDb db;
    buyerData(db);
    producer(db, "00010", "Régi Név", "8111111118",
             "'2', 'OLD00001', NULL, NULL, 'Anya Régi', 'Pécs', '1950-01-01', NULL");
    producer(db, between ? "00012" : "00011", "Új Név", "8111111118",
             "'2', 'NEW00002', NULL, NULL, 'Anya Új', 'Győr', '1950-01-01', NULL");
    producer(db, between ? "00011" : "00012", "Harmadik", "8222222228");
    paid(db, "26000001", "00010", "2026.01.10", 100);
    paid(db, "26000002", between ? "00012" : "00011", "2026.01.11", 250);
    paid(db, "26000003", between ? "00011" : "00012", "2026.01.12", 7);

    QTemporaryDir base;
    const QString folder = m2008::monthFolder(base.path(), "2026.01.01");
    const m2008::Result r = m2008::collect(ctx(), Data->ZQ20, january(), folder, false);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.total, QString("357"));

    const QByteArray shared = readAll(folder + "2008M202601_8111111118.imp");
    // One person to the authority: both amounts, the later record's personal lines.
    QVERIFY(shared.contains("\r\n24804=350\r\n"));
    QVERIFY(shared.contains(QByteArray("\r\n14807=\xDAj \r\n14808=N\xE9v\r\n")));
    QVERIFY(shared.contains("\r\n13848=NEW00002\r\n"));
    QVERIFY(!shared.contains("OLD00001"));
    QVERIFY(readAll(folder + "2008M202601_8222222228.imp").contains("\r\n24804=7\r\n"));

    const QByteArray list = (folder + "2008M202601_8111111118.imp\r\n" + folder +
                             "2008M202601_8222222228.imp\r\n")
                                .toUtf8();
    QCOMPARE(readAll(folder + "2008M_20260101_0131.txt"), list);
}

void TstM2008::emptyMonth()
{
    TestDb db;
    paid(db, "26000001", "00002", "2026.02.10", 100);
    QTemporaryDir base;
    const QString folder = m2008::monthFolder(base.path(), "2026.01.01");
    QVERIFY(QDir().mkpath(folder));
    // Whatever lies in the month folder goes, the merge's ".old" files too.
    for (const char* n : {"2008M202601_8000000000.old", "regi.imp", ".rejtett"}) {
        QFile f(folder + n);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    const m2008::Result r = m2008::collect(ctx(), Data->ZQ20, january(), folder, false);
    QVERIFY(r.ok);
    QCOMPARE(r.total, QString("0"));
    QCOMPARE(filesIn(folder), QStringList{"2008M_20260101_0131.txt"});
    QCOMPARE(readAll(folder + "2008M_20260101_0131.txt"), QByteArray());
}

void TstM2008::isoUnsafeCharacterStopsBeforeWriting()
{
    QCOMPARE(m2008::isoUnsafeChars("Árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ"), QString());
    QCOMPARE(m2008::isoUnsafeChars("Šándor „Bt” – 5 €"), QString("Š„”–€"));
    QCOMPARE(m2008::isoUnsafeChars("ŚśŠšŹźŤť"), QString("ŚśŠšŹźŤť"));

    TestDb db;
    buyerData(db);
    producer(db, "00002", "Alfa Béta", "8123456786");
    producer(db, "00003", "Šimon Péter", "8123456794",
             "'1', NULL, NULL, NULL, 'Kovács „Anna”', NULL, NULL, NULL");
    paid(db, "26000001", "00002", "2026.01.10", 100);
    paid(db, "26000002", "00003", "2026.01.11", 100);

    QTemporaryDir base;
    const QString folder = m2008::monthFolder(base.path(), "2026.01.01");
    QVERIFY(QDir().mkpath(folder));
    QFile keep(folder + "elozo.imp");
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();

    const m2008::Result r = m2008::collect(ctx(), Data->ZQ20, january(), folder, false);
    QVERIFY(!r.ok);
    QVERIFY(r.message.startsWith("Javitandó!"));
    QVERIFY2(r.message.contains("00003 Šimon Péter: név (Š)"), qPrintable(r.message));
    QVERIFY2(r.message.contains("00003 Šimon Péter: anyja neve („”)"), qPrintable(r.message));
    QVERIFY(!r.message.contains("00002"));
    // Nothing deleted, nothing written.
    QCOMPARE(filesIn(folder), QStringList{"elozo.imp"});
}

void TstM2008::unwritableFileIsNamed()
{
    TestDb db;
    buyerData(db);
    producer(db, "00002", "Alfa Béta", "8123456786");
    producer(db, "00003", "Gamma", "8123456794");
    paid(db, "26000001", "00002", "2026.01.10", 100);
    paid(db, "26000002", "00003", "2026.01.11", 100);
    QTemporaryDir base;
    const QString folder = m2008::monthFolder(base.path(), "2026.01.01");
    // A folder under the second file's name: that file cannot be written.
    QVERIFY(QDir().mkpath(folder + "2008M202601_8123456794.imp"));

    const m2008::Result r = m2008::collect(ctx(), Data->ZQ20, january(), folder, false);
    QVERIFY(!r.ok);
    QVERIFY2(r.message.startsWith("Hiba113!"), qPrintable(r.message));
    QVERIFY(r.message.contains("2008M202601_8123456794.imp"));
    QCOMPARE(r.files, QStringList{folder + "2008M202601_8123456786.imp"});
    // The first file is whole; no list file, no temporary leftovers.
    QVERIFY(readAll(folder + "2008M202601_8123456786.imp").endsWith("13847=\r\n"));
    QCOMPARE(filesIn(folder), QStringList{"2008M202601_8123456786.imp"});
}

void TstM2008::refusedWithNothingTouched_data()
{
    QTest::addColumn<QString>("kod");
    QTest::addColumn<QString>("nev");
    QTest::addColumn<QString>("adoazon");
    QTest::addColumn<QStringList>("expected"); // lines of the message
    QTest::newRow("line break in the name")
        << "00003" << "Gamma\r\n24804=999999" << "8123456794"
        << QStringList{"Őstermelő 00003 Gamma  24804=999999: név (sortörés)"};
    QTest::newRow("tab in the name") << "00003" << "Gam\tma" << "8123456794"
                                     << QStringList{"Őstermelő 00003 Gam ma: név (tabulátor)"};
    QTest::newRow("tax id with a slash")
        << "00003" << "Gamma" << "81/1111111"
        << QStringList{"00003 Gamma: hibás adóazonosító jel (81/1111111)"};
    QTest::newRow("tax id with a wrong check digit")
        << "00003" << "Gamma" << "8111111111"
        << QStringList{"00003 Gamma: hibás adóazonosító jel (8111111111)"};
    QTest::newRow("two producers without a tax id")
        << "00003" << "Gamma" << ""
        << QStringList{"00003 Gamma: hiányzik az adóazonosító jel",
                       "00004 Delta: hiányzik az adóazonosító jel"};
    QTest::newRow("stopped by the user") << "00003" << "Gamma" << "8123456794"
                                         << QStringList{"A kigyűjtés megszakítva."};
}

void TstM2008::refusedWithNothingTouched()
{
    QFETCH(QString, kod);
    QFETCH(QString, nev);
    QFETCH(QString, adoazon);
    QFETCH(QStringList, expected);
    TestDb db;
    buyerData(db);
    producer(db, "00002", "Alfa Béta", "8123456786");
    producer(db, kod, nev, adoazon);
    producer(db, "00004", "Delta", adoazon.isEmpty() ? "" : "8123456808");
    paid(db, "26000001", "00002", "2026.01.10", 100);
    paid(db, "26000002", kod, "2026.01.11", 200);
    paid(db, "26000003", "00004", "2026.01.12", 300);

    // Last run's set stands in the month folder and must stay as it is.
    QTemporaryDir base;
    const QString folder = m2008::monthFolder(base.path(), "2026.01.01");
    QVERIFY(QDir().mkpath(folder));
    const QStringList last{"2008M202601_8123456786.imp", "2008M_20260101_0131.txt"};
    for (const QString& n : last) {
        QFile f(folder + n);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("last month " + n.toUtf8());
    }
    const m2008::Result r =
        m2008::collect(ctx(), Data->ZQ20, january(), folder, false,
                       [&](qint64, qint64) { return expected[0].contains("megszakítva"); });
    QVERIFY(!r.ok);
    QVERIFY(r.files.isEmpty());
    for (const QString& line : expected)
        QVERIFY2(r.message.split('\n').contains(line) || r.message.startsWith(line),
                 qPrintable(r.message));
    QVERIFY2(!r.message.contains("00002"), qPrintable(r.message));
    QCOMPARE(filesIn(folder), last);
    for (const QString& n : last)
        QCOMPARE(readAll(folder + n), "last month " + n.toUtf8());
}

// Generated months: the amount lines over the files add up to the period
// total, one file per distinct tax id, 28 lines each.
void TstM2008::randomMonths()
{
    TestDb db;
    buyerData(db);
    QRandomGenerator rnd(2008);
    // Valid tax ids: the check digit made to fit.
    auto taxId = [&] {
        for (;;) {
            QString id = "8";
            int sum = 8;
            for (int pos = 2; pos <= 9; ++pos) {
                const int d = rnd.bounded(10);
                id += QChar('0' + d);
                sum += pos * d;
            }
            if (sum % 11 < 10)
                return id + QChar('0' + sum % 11);
        }
    };
    QTemporaryDir base;
    const QString folder = m2008::monthFolder(base.path(), "2026.01.01");
    int bszam = 26000000;
    for (int round = 0; round < 12; ++round) {
        // One statement a round: a commit per row would take most of the time.
        QStringList sql{"DELETE FROM fjfej;", "DELETE FROM ostermelo;"};
        auto date = [](const QDate& d) { return "'" + d.toString("yyyy-MM-dd") + "'"; };
        QStringList ids;
        const int producers = 1 + rnd.bounded(12);
        QSet<QString> distinct;
        for (int i = 0; i < producers; ++i) {
            // Now and then a second record of a person already registered.
            const QString id = !ids.isEmpty() && rnd.bounded(5) == 0
                                   ? ids[rnd.bounded(int(ids.size()))]
                                   : taxId();
            ids << id;
            const QString kod = QString("%1").arg(i + 10, 5, 10, QChar('0'));
            sql << QString("INSERT INTO ostermelo (o_kod, o_nev, o_adoazon) VALUES ('%1', "
                           "'Név%2 Teszt', '%3');")
                       .arg(kod)
                       .arg(i)
                       .arg(id);
            bool paidInMonth = false;
            for (int t = rnd.bounded(4); t >= 0; --t) {
                // Whole forints, as tickets store them; voiding documents negative.
                const int amount = rnd.bounded(200000) - 50000;
                const QDate day = QDate(2025, 12, 20).addDays(rnd.bounded(50));
                sql << QString("INSERT INTO fjfej (f_bszam, f_akod, f_ostermkod, f_kelt, "
                               "f_felvkelt, f_fizkelt, f_muvktg) VALUES ('%1', '00001', '%2', "
                               "%3, %4, %5, %6);")
                           .arg(++bszam)
                           .arg(kod, date(day.addDays(-9)), date(day.addDays(-4)), date(day))
                           .arg(amount);
                paidInMonth |= day.month() == 1 && day.year() == 2026;
            }
            if (paidInMonth)
                distinct << id;
        }
        db.exec("EXECUTE BLOCK AS BEGIN\n" + sql.join('\n') + "\nEND");
        const m2008::Result r = m2008::collect(ctx(), Data->ZQ20, january(), folder, false);
        QVERIFY2(r.ok, qPrintable(r.message));
        QCOMPARE(r.files.size(), distinct.size());
        qint64 sum = 0;
        for (const QString& path : r.files) {
            const QList<QByteArray> lines = readAll(path).split('\n');
            QCOMPARE(lines.size(), 29); // 28 lines and the piece after the last CR LF
            for (const QByteArray& l : lines)
                if (l.startsWith("24804="))
                    sum += l.mid(6).trimmed().toLongLong();
        }
        QCOMPARE(QString::number(sum), r.total);
    }
}

void TstM2008::screenMonthCheck()
{
    TestDb db;
    db.selectBuyer();
    UiScope scope;
    scope.ui.todayValue = QDate(2026, 3, 4);
    TForm11 f;
    // The month before is proposed, and passes as it stands.
    QCOMPARE(f.tol()->date(), QDate(2026, 2, 1));
    QCOMPARE(f.ig()->date(), QDate(2026, 2, 28));
    QVERIFY(!f.collectButton()->isEnabled());
    QVERIFY(!f.printButton()->isEnabled());
    f.confirmPeriodClick();
    QVERIFY(scope.ui.log.isEmpty());
    QVERIFY(f.collectButton()->isEnabled());

    f.ig()->setDate(QDate(2026, 12, 31));
    f.tol()->setDate(QDate(2026, 1, 1));
    QVERIFY(!f.collectButton()->isEnabled());
    f.confirmPeriodClick(); // 01 against 12
    QCOMPARE(scope.ui.log, QStringList{"msg:Hiba112! Csak egy hónap intervallum lehet."});
    QCOMPARE(scope.ui.beeps, 1);
    QVERIFY(!f.collectButton()->isEnabled());
    f.endDateLeft();
    QCOMPARE(scope.ui.log.last(), QString("msg:Hiba111! Csak egy hónap intervallum lehet."));
    QCOMPARE(scope.ui.beeps, 2);

    // Leaving the end date warns once the focus has moved, so the user can go
    // and correct the start date instead of being sent back to the end date.
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.ig()->setFocus();
    QTRY_VERIFY(f.ig()->hasFocus());
    scope.ui.clear();
    f.tol()->setFocus();
    QTRY_COMPARE(scope.ui.log, QStringList{"msg:Hiba111! Csak egy hónap intervallum lehet."});
    QVERIFY(f.tol()->hasFocus());
    f.hide();

    // Only the month digits count: a year apart passes.
    QTemporaryDir base;
    f.setBaseFolder(base.path());
    f.tol()->setDate(QDate(2020, 1, 15));
    f.ig()->setDate(QDate(2021, 1, 10));
    scope.ui.clear();
    f.confirmPeriodClick();
    QVERIFY(scope.ui.log.isEmpty());
    QVERIFY(f.collectButton()->isEnabled());
    QCOMPARE(f.folderField()->text(), QDir::toNativeSeparators(base.path() + "/01/"));
    QCOMPARE(TForm11::periodTol(), QString("2020.01.15"));
    QCOMPARE(TForm11::periodIg(), QString("2021.01.10"));

    // Changing the start date takes the collection away again.
    f.tol()->setDate(QDate(2020, 1, 16));
    QVERIFY(!f.collectButton()->isEnabled());
}

void TstM2008::screenCollectsAndPrints()
{
    TestDb db;
    db.selectBuyer();
    buyerData(db);
    producer(db, "00002", "Alfa Béta", "8123456786");
    producer(db, "00003", "Gamma", "8123456794");
    paid(db, "26000001", "00002", "2026.04.10", 1000.4);
    paid(db, "26000002", "00003", "2026.04.11", 2000);
    QFile::copy(QString(VADMO_SOURCE_DIR) + "/src/reports/templates/FjLista3.frf", "FjLista3.frf");

    UiScope scope;
    QTemporaryDir base;
    {
        TForm11 f;
        f.setBaseFolder(base.path());
        f.tol()->setDate(QDate(2026, 4, 1));
        f.ig()->setDate(QDate(2026, 4, 30));
        f.confirmPeriodClick();
        // "Mégsem" on the progress: nothing made, nothing to print.
        scope.ui.cancelAt = 1;
        QTest::mouseClick(f.collectButton(), Qt::LeftButton);
        QVERIFY(!f.printButton()->isEnabled());
        QVERIFY2(scope.ui.log.join('|').contains("megszakítva"), qPrintable(scope.ui.log.join('|')));
        QVERIFY(!QDir(base.path() + "/04").exists());
        scope.ui.clear();
        QTest::mouseClick(f.collectButton(), Qt::LeftButton);
        QVERIFY2(f.printButton()->isEnabled(), qPrintable(scope.ui.log.join('|')));
        QCOMPARE(TForm11::periodTotal(), QString("3000"));
        QCOMPARE(f.grid()->model()->rowCount(), 2);
        QCOMPARE(f.grid()->model()->headerData(1, Qt::Horizontal).toString(), QString("Kifizetett"));
        QVERIFY(QFile::exists(base.path() + "/04/2008M_20260401_0430.txt"));

        QTest::mouseClick(f.printButton(), Qt::LeftButton);
        QVERIFY2(scope.ui.modalNames.size() == 1, qPrintable(scope.ui.log.join('|')));
        QCOMPARE(rep::variable("v_osszesen").toString(), QString("3000"));
        QCOMPARE(rep::variable("v_tol").toString(), QString("2026.04.01"));
        QCOMPARE(rep::variable("v_ig").toString(), QString("2026.04.30"));
        QCOMPARE(Data->frNyomtat->orientation(), QPageLayout::Portrait);
        QCOMPARE(Data->frNyomtat->fileName(), QString("2008M_osszesito_2026-04-01_2026-04-30.pdf"));
        QVERIFY2(Data->frNyomtat->prepare(), qPrintable(Data->frNyomtat->errorText()));
        QString all;
        for (const auto& page : Data->frNyomtat->pages())
            all += page.texts().join('\n') + "\n";
        QVERIFY2(all.contains("Alfa Béta") && all.contains("Gamma") &&
                     all.contains("2026.04.01 - 2026.04.30") && all.contains("3 000 Ft") &&
                     all.contains("1./1. oldal") && all.contains("Adószám: ") &&
                     !all.contains("Adóazonosító: \n"),
                 qPrintable(all));
    }
    // The period texts outlive the screen.
    TForm11 again;
    QCOMPARE(TForm11::periodTol(), QString("2026.04.01"));
}

QTEST_MAIN(TstM2008)
#include "tst_m2008.moc"

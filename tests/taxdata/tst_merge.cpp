// Merging the import files of two computers: the values read, the merged copy
// byte for byte, the files set aside, renames that fail, this program's own
// files carrying "24804=", and a bad file that must change nothing.
#include "testsupport.h"

#include "taxdata/Unit24.h"
#include "taxdata/m2008.h"
#include "taxdata/merge.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

class TstMerge : public QObject {
    Q_OBJECT
private slots:
    void values();
    void exampleOfTwoComputers();
    void ownFilesKeepBothPayments();
    void existingOldFileFailsTheRename();
    void badFileChangesNothing();
    void mergedFigures_data();
    void mergedFigures();
    void refusedWithNothingChanged_data();
    void refusedWithNothingChanged();
    void randomFolders();
    void screen();
};

namespace {

void put(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

QByteArray get(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList names(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

// Every file of both folders with its bytes: "nothing changed" is this equal.
QMap<QString, QByteArray> snapshot(const QString& a, const QString& b)
{
    QMap<QString, QByteArray> m;
    for (const QString& dir : {a, b})
        for (const QString& n : QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name))
            m.insert(dir + "/" + n, get(dir + "/" + n));
    return m;
}

struct Folders {
    QTemporaryDir tmp;
    QString a = tmp.filePath("A");
    QString b = tmp.filePath("B");
    Folders()
    {
        QDir().mkpath(a);
        QDir().mkpath(b);
    }
};

} // namespace

void TstMerge::values()
{
    QCOMPARE(merge::lineValue("23790=", "23790="), std::nullopt);
    QCOMPARE(merge::lineValue("23791=5", "23790="), std::nullopt);
    QCOMPARE(merge::lineValue("23790=  ", "23790="), std::optional<qint64>(0));
    QCOMPARE(merge::lineValue("23790=  70 ", "23790="), std::optional<qint64>(70));
    QCOMPARE(merge::lineValue("23790=\t-12\x01", "23790="), std::optional<qint64>(-12));
    QCOMPARE(merge::lineValue("12456=2147483647", "12456="), std::optional<qint64>(2147483647));
    // Whole numbers beyond 32 bits are amounts like any other.
    QCOMPARE(merge::lineValue("24804=2147483649", "24804="), std::optional<qint64>(2147483649LL));
    QCOMPARE(merge::lineValue("24804=-9223372036854775808", "24804="),
             std::optional<qint64>(std::numeric_limits<qint64>::min()));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                             merge::lineValue("12456=9223372036854775808", "12456="));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, merge::lineValue("12456=12,5", "12456="));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, merge::lineValue("12456=1 2", "12456="));

    const QList<merge::Pair> p = merge::pairs(
        {"2008M202001_8111111110.imp", "2008M202001_8222222220.imp", "x.imp"},
        {"2008M202001_8333333330.imp", "2008M202002_8222222220.imp", "x.imp", "X.imp"});
    QCOMPARE(p.size(), 2);
    QCOMPARE(p[0].b, QString("2008M202002_8222222220.imp"));
    QCOMPARE(p[0].a, QString("2008M202001_8222222220.imp"));
    QCOMPARE(p[1].b, QString("x.imp")); // short names compare whole, case counts
}

void TstMerge::exampleOfTwoComputers()
{
    Folders f;
    const QByteArray a1 = "$ny_azon=2008M\r\n23790=100\r\n12456=20\r\n13844=8111111110\r\n";
    const QByteArray b1 = "$ny_azon=2008M\r\n23790=50\r\n12456=5\r\n13844=8111111110\r\n";
    put(f.a + "/2008M202001_8111111110.imp", a1);
    put(f.b + "/2008M202001_8111111110.imp", b1);
    // Present on one side only: left alone.
    put(f.a + "/2008M202001_8444444440.imp", "23790=  70 \r\n12456=\r\n");
    put(f.b + "/2008M202001_8555555550.imp", "23790=3\r\n");

    const merge::Result r = merge::run(f.a, f.b);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.renameErrors.isEmpty());
    QCOMPARE(r.paired, QStringList{"2008M202001_8111111110.imp"});
    QCOMPARE(r.beforeA.noveny, 170);
    QCOMPARE(r.beforeA.allat, 20);
    QCOMPARE(r.beforeB.noveny, 53);
    QCOMPARE(r.beforeB.allat, 5);

    QCOMPARE(get(f.a + "/2008M202001_8111111110.imp"),
             QByteArray("$ny_azon=2008M\r\n23790=175\r\n12456=0\r\n13844=8111111110\r\n"));
    QCOMPARE(get(f.a + "/2008M202001_8111111110.old"), a1);
    QCOMPARE(get(f.b + "/2008M202001_8111111110.old"), b1);
    QCOMPARE(names(f.a), (QStringList{"2008M202001_8111111110.imp", "2008M202001_8111111110.old",
                                      "2008M202001_8444444440.imp"}));
    QCOMPARE(names(f.b), (QStringList{"2008M202001_8111111110.old", "2008M202001_8555555550.imp"}));

    // The forints before and after agree.
    const auto total = [](const merge::Sums& a, const merge::Sums& b) {
        return a.allat + a.noveny + b.allat + b.noveny;
    };
    QCOMPARE(total(r.beforeA, r.beforeB), 248);
    QCOMPARE(total(r.afterA, r.afterB), 248);
    QCOMPARE(r.afterB.noveny, 3);
}

void TstMerge::ownFilesKeepBothPayments()
{
    Folders f;
    const m2008::Buyer buyer{"12345678213", "8000000001", "Árpád Kft."};
    const m2008::Period jan{"2026.01.01", "2026.01.31", {}, {}};
    m2008::Producer p;
    p.kod = "00002";
    p.nev = "Alfa Béta";
    p.adoazon = "8123456780";
    const QString name = "2008M202601_8123456780.imp";
    m2008::writeFile(f.a + "/" + name, m2008::importLines(buyer, p, "1235", jan));
    m2008::writeFile(f.b + "/" + name, m2008::importLines(buyer, p, "-200", jan));
    const QByteArray before = get(f.a + "/" + name);

    const merge::Result r = merge::run(f.a, f.b);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(r.beforeA.kifizetett + r.beforeB.kifizetett, 1035);
    QCOMPARE(r.afterA.kifizetett + r.afterB.kifizetett, 1035);
    QByteArray expected = before;
    expected.replace("\r\n24804=1235\r\n", "\r\n24804=1035\r\n");
    QCOMPARE(get(f.a + "/" + name), expected); // every other byte as written
    QVERIFY(QFile::exists(f.b + "/2008M202601_8123456780.old"));
}

void TstMerge::existingOldFileFailsTheRename()
{
    Folders f;
    const QString n = "2008M202001_8111111110";
    put(f.a + "/" + n + ".imp", "23790=100\r\n");
    put(f.a + "/" + n + ".old", "earlier merge\r\n");
    put(f.b + "/" + n + ".imp", "23790=50\r\n");

    const merge::Result r = merge::run(f.a, f.b);
    QVERIFY(r.ok);
    QCOMPARE(r.renameErrors,
             (QStringList{QString(" \"old\" Rename1 átnevezési hiba kódja = %1").arg(EEXIST),
                          QString(" \"imp\" Rename11 átnevezési hiba kódja = %1").arg(EEXIST)}));
    // The earlier ".old" is not overwritten; the copy stays beside the A file.
    QCOMPARE(get(f.a + "/" + n + ".old"), QByteArray("earlier merge\r\n"));
    QCOMPARE(get(f.a + "/" + n + ".imp"), QByteArray("23790=100\r\n"));
    QCOMPARE(get(f.a + "/" + n + ".im_"), QByteArray("23790=150\r\n"));
    QCOMPARE(names(f.b), QStringList{n + ".old"});
}

void TstMerge::badFileChangesNothing()
{
    Folders f;
    put(f.a + "/2008M202001_8111111110.imp", "23790=100\r\n");
    put(f.b + "/2008M202001_8111111110.imp", "23790=50\r\n");
    put(f.a + "/2008M202001_8222222220.imp", "23790=1\r\n");
    put(f.b + "/2008M202001_8222222220.imp", "$info=x\r\n23790=12a\r\n");

    const merge::Result r = merge::run(f.a, f.b);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains("2008M202001_8222222220.imp") && r.error.contains("2. sor"),
             qPrintable(r.error));
    QCOMPARE(names(f.a), (QStringList{"2008M202001_8111111110.imp", "2008M202001_8222222220.imp"}));
    QCOMPARE(names(f.b), (QStringList{"2008M202001_8111111110.imp", "2008M202001_8222222220.imp"}));
    QCOMPARE(get(f.a + "/2008M202001_8111111110.imp"), QByteArray("23790=100\r\n"));
}

void TstMerge::mergedFigures_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<QByteArray>("merged");
    QTest::newRow("paid beyond 32 bits")
        << QByteArray("24804=2147483648\r\n") << QByteArray("24804=2147483649\r\n")
        << QByteArray("24804=4294967297\r\n");
    QTest::newRow("A without a paid line keeps B's")
        << QByteArray("13844=8111111118\r\n") << QByteArray("24804=300\r\n")
        << QByteArray("13844=8111111118\r\n24804=300\r\n");
    QTest::newRow("A without a row-455 line keeps B's")
        << QByteArray("24804=1\r\n") << QByteArray("12456=5\r\n23790=-7\r\n")
        << QByteArray("24804=1\r\n23790=-2\r\n");
}

void TstMerge::mergedFigures()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(QByteArray, merged);
    Folders f;
    const QString n = "/2008M202601_8111111118.imp";
    put(f.a + n, a);
    put(f.b + n, b);
    const merge::Result r = merge::run(f.a, f.b);
    QVERIFY2(r.ok && r.afterRead, qPrintable(r.error));
    QCOMPARE(get(f.a + n), merged);
    QCOMPARE(r.afterA.kifizetett, r.beforeA.kifizetett + r.beforeB.kifizetett);
}

void TstMerge::refusedWithNothingChanged_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("B file of another month") << "month" << "nincs ilyen nevű fájl";
    QTest::newRow("same folder") << "same" << "Nem lehet azonos a könyvtár";
    QTest::newRow("same folder through .") << "dot" << "Nem lehet azonos a könyvtár";
    QTest::newRow("same folder through a link") << "link" << "Nem lehet azonos a könyvtár";
    QTest::newRow("sum beyond 64 bits") << "overflow" << "Túl nagy összeg";
    QTest::newRow("stopped by the user") << "cancel" << "megszakítva";
}

void TstMerge::refusedWithNothingChanged()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    Folders f;
    put(f.a + "/2008M202403_8111111118.imp", "24804=1235\r\n");
    put(f.a + "/2008M202403_8222222228.imp", "24804=10\r\n");
    put(f.b + "/2008M202403_8222222228.imp", "24804=20\r\n");
    QString b = f.b;
    if (kind == "month")
        put(f.b + "/2008M202402_8111111118.imp", "24804=500\r\n");
    else if (kind == "same")
        b = f.a;
    else if (kind == "dot")
        b = f.a + "/.";
    else if (kind == "link")
        QVERIFY(QFile::link(f.a, b = f.tmp.filePath("link")));
    else if (kind == "overflow")
        put(f.b + "/2008M202403_8111111118.imp", "24804=9223372036854775807\r\n");
    const QMap<QString, QByteArray> before = snapshot(f.a, f.b);
    const merge::Result r =
        merge::run(f.a, b, [&](qint64, qint64) { return kind == "cancel"; });
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(message), qPrintable(r.error));
    if (kind == "month")
        QVERIFY2(r.error.contains("2008M202402_8111111118.imp"), qPrintable(r.error));
    QCOMPARE(snapshot(f.a, f.b), before);
}

// Generated pairs of folders: the merge either refuses with nothing changed,
// or A's active files hold A + B per producer for each code it merges, and
// every B file is moved to ".old" once or left alone.
void TstMerge::randomFolders()
{
    QRandomGenerator rnd(20260120);
    const QByteArray codes[] = {"24804=", "23790=", "12456="};
    int merged = 0, refused = 0;
    for (int round = 0; round < 200; ++round) {
        Folders f;
        struct Expect {
            qint64 paid = 0, row455 = 0;
        };
        QMap<QString, Expect> a, b; // by file name: the last value of each code
        QSet<QString> otherMonth;
        auto value = [&]() -> std::pair<QByteArray, qint64> {
            switch (rnd.bounded(6)) {
            case 0: return {"", 0};
            case 1: return {"  ", 0};
            case 2: return {"0", 0};
            default: {
                const qint64 v = qint64(rnd.bounded(2000000)) * (rnd.bounded(3) == 0 ? -1 : 1) *
                                 (rnd.bounded(4) == 0 ? 5000 : 1);
                return {" " + QByteArray::number(v), v};
            }
            }
        };
        auto file = [&](const QString& dir, const QString& name, Expect& e) {
            QByteArray data;
            const bool own = rnd.bounded(2) == 0; // this program's 28 lines, else codes only
            if (own)
                data += "$ny_azon=2008M\r\n$info=x\r\n13844=" + name.mid(12, 10).toLatin1() + "\r\n";
            qint64 allat = 0, noveny = 0;
            for (const QByteArray& c : codes) {
                if (rnd.bounded(3) == 0)
                    continue; // the code is missing
                const auto [text, v] = value();
                data += c + text + "\r\n";
                if (c == "24804=")
                    e.paid = v;
                else if (c == "23790=")
                    noveny = v;
                else
                    allat = v;
            }
            e.row455 = allat + noveny;
            if (own)
                data += "24805=1\r\n13847=\r\n";
            put(dir + "/" + name, data);
        };
        const int producers = 1 + rnd.bounded(6);
        for (int i = 0; i < producers; ++i) {
            const QString id = QString("8%1").arg(rnd.bounded(1000000000), 9, 10, QChar('0'));
            const QString name = "2008M202403_" + id + ".imp";
            const int side = rnd.bounded(3); // 0: A, 1: B, 2: both
            if (side != 1 && !a.contains(name))
                file(f.a, name, a[name]);
            if (side != 0 && !b.contains(name)) {
                // Now and then B holds another month's file of the producer.
                QString bn = name;
                if (side == 2 && rnd.bounded(20) == 0) {
                    bn.replace("202403", "202402");
                    otherMonth << bn;
                }
                file(f.b, bn, b[bn]);
            }
        }
        const QMap<QString, QByteArray> before = snapshot(f.a, f.b);
        const merge::Result r = merge::run(f.a, f.b);
        if (!otherMonth.isEmpty()) {
            QVERIFY2(!r.ok, "a B file of another month was merged");
            QCOMPARE(snapshot(f.a, f.b), before);
            ++refused;
            continue;
        }
        QVERIFY2(r.ok && r.afterRead, qPrintable(r.error));
        ++merged;
        for (auto it = b.cbegin(); it != b.cend(); ++it) {
            const bool pairedWithA = a.contains(it.key());
            const QString imp = f.b + "/" + it.key();
            QCOMPARE(QFile::exists(imp), !pairedWithA);
            QCOMPARE(QFile::exists(QString(imp).replace(".imp", ".old")), pairedWithA);
        }
        for (auto it = a.cbegin(); it != a.cend(); ++it) {
            const QList<QByteArray> lines = get(f.a + "/" + it.key()).split('\n');
            qint64 paid = 0, row455 = 0;
            for (QByteArray l : lines) {
                l = l.trimmed();
                if (l.startsWith("24804="))
                    paid += l.mid(6).trimmed().toLongLong();
                else if (l.startsWith("23790=") || l.startsWith("12456="))
                    row455 += l.mid(6).trimmed().toLongLong();
            }
            const Expect bv = b.value(it.key());
            QCOMPARE(paid, it->paid + bv.paid);
            QCOMPARE(row455, it->row455 + bv.row455);
        }
    }
    QVERIFY(merged > 130 && refused > 0);
}

void TstMerge::screen()
{
    Folders f;
    put(f.a + "/2008M202001_8111111110.imp", "23790=100\r\n12456=20\r\n24804=7\r\n");
    put(f.b + "/2008M202001_8111111110.imp", "23790=50\r\n12456=5\r\n24804=3\r\n");
    UiScope scope;
    TForm24 form;
    form.setFolderA(f.a);
    scope.ui.clear();
    form.setFolderB(f.a);
    QCOMPARE(scope.ui.log, QStringList{"msg:Nem lehet azonos a könyvtár "});
    QDir().mkpath(f.tmp.filePath("old"));
    put(f.tmp.filePath("old/x.old"), "");
    scope.ui.clear();
    form.setFolderB(f.tmp.filePath("old"));
    QCOMPARE(scope.ui.log, QStringList{"msg: Csak bevallás újbóli export ismétlés után!  "});
    scope.ui.clear();
    form.setFolderB(f.b);
    QVERIFY(scope.ui.log.isEmpty());
    QCOMPARE(form.filesB()->count(), 1);
    QCOMPARE(form.instructions()->toPlainText().split('\n').size(), 12);

    // Both sides on one folder: refused, no sum shown as a figure.
    form.setFolderB(f.a);
    scope.ui.clear();
    QTest::mouseClick(form.mergeButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY(scope.ui.log[0].startsWith("msg:Nem lehet azonos a könyvtár "));
    QVERIFY(form.mergeButton()->isEnabled());
    for (const char* l : {"lbAElottAllat", "lbOsszesElott", "lbOsszesUtanKifiz", "lbBUtanNoveny"})
        QCOMPARE(form.labelText(l), QString());
    QCOMPARE(get(f.a + "/2008M202001_8111111110.imp"), QByteArray("23790=100\r\n12456=20\r\n24804=7\r\n"));
    form.setFolderB(f.b);
    // "Mégsem" on the progress: nothing moved, the button still there.
    scope.ui.clear();
    scope.ui.cancelAt = 1;
    QTest::mouseClick(form.mergeButton(), Qt::LeftButton);
    QCOMPARE(scope.ui.log.size(), 1);
    QVERIFY2(scope.ui.log[0].contains("megszakítva"), qPrintable(scope.ui.log[0]));
    QCOMPARE(names(f.b), QStringList{"2008M202001_8111111110.imp"});
    QVERIFY(form.mergeButton()->isEnabled());
    scope.ui.clear();

    QTest::mouseClick(form.mergeButton(), Qt::LeftButton);
    QVERIFY2(scope.ui.log.isEmpty(), qPrintable(scope.ui.log.join('|')));
    QVERIFY(!form.mergeButton()->isEnabled());
    QCOMPARE(form.pairedList()->count(), 1);
    QCOMPARE(form.pairedList()->item(0)->checkState(), Qt::Checked);
    QCOMPARE(form.labelText("lbAElottAllat"), QString("Összevonás előtt a 455. sor (állat): 20"));
    QCOMPARE(form.labelText("lbBElottNoveny"), QString("Összevonás előtt a 455. sor (növény): 50"));
    QCOMPARE(form.labelText("lbOsszesElott"), QString("Mindösszesen : 175"));
    QCOMPARE(form.labelText("lbAUtanNoveny"), QString("Összevonás után a 455. sor (növény): 175"));
    QCOMPARE(form.labelText("lbBUtanAllat"), QString("Összevonás után a 455. sor (állat): 0"));
    QCOMPARE(form.labelText("lbOsszesUtan"), QString("Mindösszesen : 175"));
    QCOMPARE(form.labelText("lbOsszesElottKifiz"), QString("401. sor: 10"));
    QCOMPARE(form.labelText("lbOsszesUtanKifiz"), QString("401. sor: 10"));
    QCOMPARE(form.filesB()->count(), 0);
}

QTEST_MAIN(TstMerge)
#include "tst_merge.moc"

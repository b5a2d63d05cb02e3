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
#include <QTemporaryDir>
#include <QTest>

class TstMerge : public QObject {
    Q_OBJECT
private slots:
    void values();
    void exampleOfTwoComputers();
    void ownFilesKeepBothPayments();
    void existingOldFileFailsTheRename();
    void badFileChangesNothing();
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
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, merge::lineValue("12456=2147483648", "12456="));
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

// Every file the program writes, on a full disk or into a folder that is not
// there: the system's reason in Hungarian with the path, the earlier file
// untouched, no working file left behind.
#include "exchange/xlsxwriter.h"
#include "exchange/xlswriter.h"
#include "maintenance/backup.h"
#include "safefile.h"
#include "taxdata/m2008.h"
#include "testsupport.h"
#include "textfile.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <functional>

class TstSafeWrite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void failuresSayWhyAndKeepTheOldFile_data();
    void failuresSayWhyAndKeepTheOldFile();
    void replaceKeepsTheOldFileUntilTheNewIsWhole();

private:
    QTemporaryDir root_;
    QString disk_; // a small memory disk
    bool mounted_ = false;
};

namespace {

using WriteFn = std::function<QString(const QString& path)>; // the failure's text, empty on success

QString bigText() { return QString("Árvíztűrő tükörfúrógép ").repeated(6000); }

std::vector<xls::Column> cols() { return {{"Név", 30}, {"Szám", 10, true, xls::Column::Whole}}; }

QString viaWorkbook(std::unique_ptr<xls::Writer> w, const QString& path)
{
    for (int i = 0; i < 6000; ++i)
        w->addRow({QString("Termelő %1 %2").arg(i).arg(bigText().left(i % 50 + 20)), i});
    QString err;
    return w->save(path, &err) ? QString() : err;
}

QString viaThrow(const std::function<void()>& f)
{
    try {
        f();
        return {};
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
}

QByteArray readAll(const QString& p)
{
    QFile f(p);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<nincs>");
}

} // namespace

void TstSafeWrite::initTestCase()
{
    disk_ = root_.filePath("disk");
    QDir().mkpath(disk_);
    mounted_ = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=384k", "tmpfs", disk_}) == 0;
}

void TstSafeWrite::cleanupTestCase()
{
    if (mounted_)
        QProcess::execute("umount", {disk_});
}

void TstSafeWrite::failuresSayWhyAndKeepTheOldFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("full"); // else: the folder is missing
    const QStringList files = {"szoveg.txt", "2008M.imp", "FJFEJ.xls", "FJFEJ.xlsx", "2026_12_09_10_00.FDB"};
    for (const QString& f : files) {
        QTest::newRow(qPrintable(f + " full disk")) << f << true;
        QTest::newRow(qPrintable(f + " missing folder")) << f << false;
    }
}

void TstSafeWrite::failuresSayWhyAndKeepTheOldFile()
{
    QFETCH(QString, file);
    QFETCH(bool, full);
    if (full && !mounted_)
        QSKIP("a memory disk cannot be mounted here (needs root)");
    TestDb db(true);
    const QString dir = full ? disk_ : db.dir() + "/nincs_ilyen";
    const QString path = dir + "/" + file;
    const QByteArray old = "a korábbi fájl";
    QString filler = disk_ + "/kitolto";
    if (full) {
        // The earlier file is there; the disk has room for a little more only.
        QVERIFY(safefile::writeAll(path, old) == 0);
        QFile f(filler);
        QVERIFY(f.open(QIODevice::WriteOnly));
        while (f.write(QByteArray(4096, 'x')) == 4096 && f.flush()) {
        }
        f.close();
        QVERIFY(f.resize(qMax<qint64>(0, f.size() - 8192)));
    }
    const QMap<QString, WriteFn> writers = {
        {"szoveg.txt", [](const QString& p) { return viaThrow([&] { textfile::writeLines(p, {bigText()}); }); }},
        {"2008M.imp", [](const QString& p) { return viaThrow([&] { m2008::writeFile(p, {bigText()}); }); }},
        {"FJFEJ.xls", [](const QString& p) { return viaWorkbook(std::make_unique<xls::Workbook>("FJFEJ", cols()), p); }},
        {"FJFEJ.xlsx", [](const QString& p) { return viaWorkbook(xlsx::create("FJFEJ", cols()), p); }},
        {"2026_12_09_10_00.FDB", [&](const QString& p) {
             const QString target = full ? p + "2" : p; // a backup is never written over another
             const backup::Result r = backup::run(db.file(), target);
             return r.ok ? QString() : r.message;
         }},
    };
    const QString err = writers[file](path);
    QFile::remove(filler);
    const QString reason = full ? "Betelt a lemez" : "A mappa nem létezik";
    if (file.endsWith(".FDB") && !full) // the backup looks at the folder before it starts
        QVERIFY2(err.contains("a \"Hová\" mappa nem létezik: " + dir), qPrintable(err));
    else
        QVERIFY2(err.contains(reason) && err.contains(dir + "/" + file), qPrintable(err));
    if (full)
        QCOMPARE(readAll(path), old);
    QVERIFY(QDir(dir).entryList({"*.resz", "*.FDB2"}, QDir::Files).isEmpty());
    if (full)
        QFile::remove(path);
}

// The new file takes the old one's place in one step: whoever reads the name
// sees the old contents or the new, and a reader holding the old file keeps it.
void TstSafeWrite::replaceKeepsTheOldFileUntilTheNewIsWhole()
{
    QTemporaryDir dir;
    const QStringList names = {"FJFEJ.xls", "FJFEJ.xlsx", "szoveg.txt"};
    for (const QString& n : names) {
        const QString path = dir.filePath(n);
        QVERIFY(safefile::writeAll(path, "régi") == 0);
        QFile held(path);
        QVERIFY(held.open(QIODevice::ReadOnly));
        QString err;
        if (n == "szoveg.txt")
            textfile::writeLines(path, {"új"});
        else if (n.endsWith(".xlsx"))
            err = viaWorkbook(xlsx::create("FJFEJ", cols()), path);
        else
            err = viaWorkbook(std::make_unique<xls::Workbook>("FJFEJ", cols()), path);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QCOMPARE(held.readAll(), QByteArray("régi")); // not emptied or written into
        QVERIFY(!readAll(path).isEmpty() && readAll(path) != QByteArray("régi"));
        QCOMPARE(QDir(dir.path()).entryList({"*.resz"}, QDir::Files), QStringList());
    }
}

QTEST_MAIN(TstSafeWrite)
#include "tst_safewrite.moc"

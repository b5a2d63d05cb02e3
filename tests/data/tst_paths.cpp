// Where files live: the data folder, the user's copy before the shipped one,
// and the one-time copy of a register from the program folder.
#include "fb.h"
#include "paths.h"
#include "settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstPaths : public QObject {
    Q_OBJECT
private slots:
    void userCopyWinsOverShipped();
    void oldRegisterIsCopiedOnceAndNeverOverwritten();
    void failedCopyLeavesNoRegister();
};

static void writeFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

static QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(nincs)");
}

void TstPaths::userCopyWinsOverShipped()
{
    QTemporaryDir work, share;
    const QString old = QDir::currentPath();
    QDir::setCurrent(work.path());
    paths::setShareDir(share.path());

    writeFile(share.filePath("FjLista2.frf"), "gyári");
    QCOMPARE(paths::find("FjLista2.frf"), share.filePath("FjLista2.frf"));
    writeFile(work.filePath("FjLista2.frf"), "saját");
    QCOMPARE(paths::find("FjLista2.frf"), QDir(work.path()).absoluteFilePath("FjLista2.frf"));
    // Neither has it: the working folder, where a new file would be written.
    QCOMPARE(paths::find("XML.ini"), QDir(work.path()).absoluteFilePath("XML.ini"));

    // Settings files follow the same rule, named after the program file.
    const QString ini = QFileInfo(settings::iniFileName("form9.ini")).fileName();
    QVERIFY(ini.endsWith("form9.ini"));
    writeFile(share.filePath(ini), "[a]");
    QCOMPARE(settings::iniFileName("form9.ini"), share.filePath(ini));
    writeFile(work.filePath(ini), "[b]");
    QCOMPARE(settings::iniFileName("form9.ini"), QDir(work.path()).absoluteFilePath(ini));

    paths::setShareDir({});
    QDir::setCurrent(old);
}

void TstPaths::oldRegisterIsCopiedOnceAndNeverOverwritten()
{
    QTemporaryDir tmp;
    const QString oldDir = tmp.filePath("build/prog");
    const QString data = tmp.filePath("share/vadmo7"); // created by the call
    QVERIFY(QDir().mkpath(oldDir));
    writeFile(oldDir + "/vadmo7.fdb", "régi nyilvántartás");

    paths::Prepared p = paths::prepareDataDir(data, oldDir);
    QVERIFY(p.ok);
    QVERIFY(p.copied);
    QCOMPARE(readFile(data + "/vadmo7.fdb"), QByteArray("régi nyilvántartás"));
    QCOMPARE(readFile(oldDir + "/vadmo7.fdb"), QByteArray("régi nyilvántartás")); // copied, not moved
    QVERIFY(p.notice.contains(data + "/vadmo7.fdb"));
    QVERIFY(!p.created);

    // Work goes on in the new place; the next start copies nothing over it.
    writeFile(data + "/vadmo7.fdb", "új munka");
    p = paths::prepareDataDir(data, oldDir);
    QVERIFY(p.ok);
    QVERIFY(!p.copied);
    QCOMPARE(readFile(data + "/vadmo7.fdb"), QByteArray("új munka"));

    // No old register: just the folder, or a new register on request.
    const QString fresh = tmp.filePath("other/vadmo7");
    p = paths::prepareDataDir(fresh, tmp.filePath("nowhere"), "vadmo7.fdb", false);
    QVERIFY(p.ok && !p.copied && !p.created);
    QVERIFY(QFileInfo(fresh).isDir());
    QVERIFY(!QFileInfo::exists(fresh + "/vadmo7.fdb"));
    p = paths::prepareDataDir(fresh, tmp.filePath("nowhere"));
    QVERIFY(p.ok && !p.copied && p.created);
    QVERIFY(p.notice.startsWith("Új, üres nyilvántartás készült: " + fresh + "/vadmo7.fdb"));
    fb::Connection c;
    c.attach(fresh + "/vadmo7.fdb");
    QCOMPARE(c.execute("select count(*) from atvevo").rows.at(0).at(0).toLongLong(), 1);
    c.detach();
}

void TstPaths::failedCopyLeavesNoRegister()
{
    QTemporaryDir tmp;
    const QString oldDir = tmp.filePath("prog");
    QVERIFY(QDir().mkpath(oldDir));
    // A folder where the old register should be a file is not copied.
    QVERIFY(QDir().mkpath(oldDir + "/vadmo7.fdb"));
    paths::Prepared p = paths::prepareDataDir(tmp.filePath("data"), oldDir, "vadmo7.fdb", false);
    QVERIFY(p.ok && !p.copied);
    // A data folder that cannot be made is an error in Hungarian.
    writeFile(tmp.filePath("file"), "x");
    p = paths::prepareDataDir(tmp.filePath("file/vadmo7"), oldDir, "vadmo7.fdb", false);
    QVERIFY(!p.ok);
    QVERIFY(p.error.startsWith("Nem hozható létre"));
}

QTEST_GUILESS_MAIN(TstPaths)
#include "tst_paths.moc"

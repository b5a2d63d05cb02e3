// The program ends cleanly when the desktop asks it to, and leaves the
// database file usable for the next start.
#include "testsupport.h"
#include "newdb.h"

#include <QProcess>
#include <QTest>

class TstShutdown : public QObject {
    Q_OBJECT
private slots:
    void terminateEndsTheProgramAndReleasesTheFile();
};

static bool fileHeldByAnotherProcess(const QString& path)
{
    fb::Connection c;
    try {
        c.attach(path);
        c.detach();
        return false;
    } catch (const fb::Error&) {
        return true;
    }
}

void TstShutdown::terminateEndsTheProgramAndReleasesTheFile()
{
    QTemporaryDir dir;
    QString db = dir.filePath("vadmo7.fdb");
    newdb::create(db);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VADMO_NO_SPLASH", "1");
    p.setProcessEnvironment(env);
    p.start(QString(VADMO_PROG_DIR) + "/vadmo7", {});
    QVERIFY(p.waitForStarted());
    // Once the program holds the file, it has connected.
    QTRY_VERIFY_WITH_TIMEOUT(fileHeldByAnotherProcess(db), 20000);
    p.terminate();
    QVERIFY2(p.waitForFinished(15000), "the program did not end on SIGTERM");
    QVERIFY(!fileHeldByAnotherProcess(db));
    fb::Connection c;
    c.attach(db);
    fb::Result r = c.execute("select count(*) from atvevo");
    QCOMPARE(r.rows.at(0).at(0).toLongLong(), 1);
}

QTEST_GUILESS_MAIN(TstShutdown)
#include "tst_shutdown.moc"

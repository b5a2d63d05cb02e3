// The program ends cleanly when the desktop asks it to, and leaves the
// database file usable for the next start.
#include "testsupport.h"
#include "newdb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

class TstShutdown : public QObject {
    Q_OBJECT
private slots:
    void terminateEndsTheProgramAndReleasesTheFile();
    void terminateEndsTheStartupFailureMessage_data();
    void terminateEndsTheStartupFailureMessage();
};

// Whether the process has the file open, read from /proc so that the probe
// itself never competes with the program for the file.
static bool processHasOpen(qint64 pid, const QString& path)
{
    QDir fds(QString("/proc/%1/fd").arg(pid));
    const QString target = QFileInfo(path).canonicalFilePath();
    for (const QFileInfo& fi : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (fi.symLinkTarget() == target)
            return true;
    return false;
}

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
    // The program works in $XDG_DATA_HOME/vadmo7.
    QVERIFY(QDir(dir.path()).mkpath("vadmo7"));
    QString db = dir.filePath("vadmo7/vadmo7.fdb");
    newdb::create(db);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VADMO_NO_SPLASH", "1");
    env.insert("XDG_DATA_HOME", dir.path());
    p.setProcessEnvironment(env);
    p.start(QString(VADMO_PROG_DIR) + "/vadmo7", {});
    QVERIFY(p.waitForStarted());
    // Once the program holds the file, it has connected.
    QTRY_VERIFY_WITH_TIMEOUT(processHasOpen(p.processId(), db), 20000);
    QVERIFY(fileHeldByAnotherProcess(db));
    p.terminate();
    QVERIFY2(p.waitForFinished(15000), "the program did not end on SIGTERM");
    QVERIFY(!fileHeldByAnotherProcess(db));
    fb::Connection c;
    c.attach(db);
    fb::Result r = c.execute("select count(*) from atvevo");
    QCOMPARE(r.rows.at(0).at(0).toLongLong(), 1);
}

void TstShutdown::terminateEndsTheStartupFailureMessage_data()
{
    QTest::addColumn<bool>("held");
    QTest::newRow("not a database") << false;
    QTest::newRow("open in another program") << true;
}

void TstShutdown::terminateEndsTheStartupFailureMessage()
{
    QFETCH(bool, held);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("vadmo7"));
    const QString db = dir.filePath("vadmo7/vadmo7.fdb");
    fb::Connection holder;
    if (held) {
        newdb::create(db);
        holder.attach(db);
    } else {
        QFile junk(db);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(50000, 'x'));
    }
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("VADMO_NO_SPLASH", "1");
    env.insert("XDG_DATA_HOME", dir.path());
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QString(VADMO_PROG_DIR) + "/vadmo7", {});
    QVERIFY(p.waitForStarted());
    // The reason is logged as the message opens.
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += p.readAll()).contains("Indítás:"), 20000);
    p.terminate();
    QVERIFY2(p.waitForFinished(15000), "the start-up message kept the program alive");
}

QTEST_GUILESS_MAIN(TstShutdown)
#include "tst_shutdown.moc"

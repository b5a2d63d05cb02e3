// Backups of the register: consistent while open, never over another copy,
// failures said in Hungarian, the copy opened and counted.
#include "maintenance/Unit35.h"
#include "maintenance/backup.h"
#include "testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/stat.h>

class TstBackup : public QObject {
    Q_OBJECT
private slots:
    void copyWhileOpenHoldsTheCommittedRows();
    void refusalsLeaveNothingBehind();
    void copyToAnotherFileSystem();
    void screenDefaultsAndFolderChoice();
    void killedBackupIsCleanedUp_data();
    void killedBackupIsCleanedUp();
    void missingFolderProposedOrTyped();
};

static qint64 count(const QString& file, const QString& table)
{
    fb::Connection c;
    c.attach(file);
    const qint64 n = c.execute("SELECT COUNT(*) FROM " + table).rows.at(0).at(0).toLongLong();
    c.rollback();
    c.detach();
    return n;
}

void TstBackup::copyWhileOpenHoldsTheCommittedRows()
{
    TestDb db(true);
    db.exec("INSERT INTO fjfej (f_bszam, f_akod) VALUES ('20260001', '00001')");
    db.exec("INSERT INTO fjfej (f_bszam, f_akod) VALUES ('20260002', '00001')");
    const qint64 producers = db.scalar("SELECT COUNT(*) FROM ostermelo").toLongLong();
    // Work in progress in the program's own transaction, not committed.
    TQuery* q = db.data()->ZQ10;
    q->setSql("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('99999', 'Félkész Ferenc')");
    db.data()->IBTrans1.startTransaction();
    q->execSQL();
    QVERIFY(db.data()->IBTrans1.inTransaction());

    const QString target = db.dir() + "/ment/" + backup::stampName(QDateTime(QDate(2026, 3, 15), QTime(14, 5)));
    QVERIFY(QDir().mkpath(db.dir() + "/ment"));
    QVERIFY(target.endsWith("/2026_03_15_14_05.FDB"));
    const backup::Result r = backup::run(db.file(), target);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.tickets, 2);
    QVERIFY(r.message.startsWith("Az adatbázis átmásolva a \"Hová\" könyvtárba. Kérem ellenőrizze le."));
    QVERIFY(r.message.contains("2 felvásárlási jegyet"));
    QVERIFY(!QFileInfo::exists(target + ".resz"));

    // The copy opens on its own, passes the engine's validation, and holds
    // what was committed when it was taken.
    QCOMPARE(count(target, "ostermelo"), producers);
    QCOMPARE(count(target, "fjfej"), 2);
    QProcess gfix;
    gfix.start("gfix", {"-v", "-full", "-user", "SYSDBA", target});
    QVERIFY(gfix.waitForFinished(60000));
    QCOMPARE(gfix.exitCode(), 0);
    QVERIFY2(gfix.readAll().trimmed().isEmpty(), "validation reported problems");

    // Backup mode is over when the copy is announced: no delta file takes the
    // register's changes, and the program's own work goes on undisturbed.
    QVERIFY(!QFileInfo::exists(db.file() + ".delta"));
    db.data()->IBTrans1.commit();
    QCOMPARE(db.scalar("SELECT COUNT(*) FROM ostermelo").toLongLong(), producers + 1);
    QVERIFY(!QFileInfo::exists(db.file() + ".delta"));
    // A second backup right after takes the new row.
    const QString second = db.dir() + "/ment/" + backup::stampName(QDateTime(QDate(2026, 3, 15), QTime(14, 6)));
    const backup::Result again = backup::run(db.file(), second);
    QVERIFY2(again.ok, qPrintable(again.message));
    QCOMPARE(count(second, "ostermelo"), producers + 1);
    QCOMPARE(QFileInfo(second).size(), QFileInfo(target).size());
    // A file not in backup mode is left as it is.
    QVERIFY(!backup::clearBackupLock(target));
}

void TstBackup::refusalsLeaveNothingBehind()
{
    TestDb db;
    const QString dir = db.dir() + "/ment";
    QVERIFY(QDir().mkpath(dir));
    const QString target = dir + "/2026_12_09_10_00.FDB";

    backup::Result r = backup::run(db.dir() + "/nincs.fdb", target);
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QString("Hiba! A \"Honnan\" -ban megadott fálj nem létezik."));

    r = backup::run(db.file(), db.dir() + "/nincs_ilyen_mappa/2026_12_09_10_00.FDB");
    QVERIFY(!r.ok);
    QVERIFY2(r.message.startsWith("A mentés nem történt meg: a \"Hová\" mappa nem létezik"),
             qPrintable(r.message));
    QVERIFY(!QFileInfo::exists(db.dir() + "/nincs_ilyen_mappa"));

    // Two backups in the same minute: the second never replaces the first.
    r = backup::run(db.file(), target);
    QVERIFY2(r.ok, qPrintable(r.message));
    const QDateTime first = QFileInfo(target).lastModified();
    const qint64 size = QFileInfo(target).size();
    r = backup::run(db.file(), target);
    QVERIFY(!r.ok);
    QVERIFY(r.message.contains("ilyen nevű mentés már van"));
    QCOMPARE(QFileInfo(target).lastModified(), first);
    QCOMPARE(QFileInfo(target).size(), size);

    // Not a register: nothing is left at the target.
    QFile junk(db.dir() + "/junk.fdb");
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(40000, 'x'));
    junk.close();
    r = backup::run(junk.fileName(), dir + "/masik.FDB");
    QVERIFY(!r.ok);
    QVERIFY(r.message.startsWith("A mentés nem történt meg: az adatbázis nem nyitható meg"));
    QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{"2026_12_09_10_00.FDB"});
}

// A folder on another file system (a memory disk, a stick): the kernel will
// not copy across, so the copy is read and written; it must be whole.
void TstBackup::copyToAnotherFileSystem()
{
    TestDb db(true);
    db.exec("INSERT INTO fjfej (f_bszam, f_akod) VALUES ('20260001', '00001')");
    struct stat a {}, b {};
    if (::stat("/dev/shm", &b) != 0 || ::stat(QFile::encodeName(db.dir()).constData(), &a) != 0 ||
        a.st_dev == b.st_dev || !QFileInfo("/dev/shm").isWritable())
        QSKIP("no second file system at /dev/shm");
    QTemporaryDir other("/dev/shm/vadmo7-ment-XXXXXX");
    QVERIFY(other.isValid());
    const QString target = other.filePath("2026_12_09_10_00.FDB");
    const backup::Result r = backup::run(db.file(), target);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(r.tickets, 1);
    QCOMPARE(count(target, "ostermelo"), db.scalar("SELECT COUNT(*) FROM ostermelo").toLongLong());
    QCOMPARE(QFileInfo(target).size(), QFileInfo(db.file()).size());
}

void TstBackup::screenDefaultsAndFolderChoice()
{
    TestDb db;
    UiScope s;
    TForm35 f;
    QCOMPARE(f.source()->text(), QDir(db.dir()).absoluteFilePath("vadmo7.fdb"));
    const QRegularExpression stamp("/\\d{4}_\\d\\d_\\d\\d_\\d\\d_\\d\\d\\.FDB$");
    QVERIFY(f.target()->text().startsWith(backup::defaultTargetDir()));
    QVERIFY(backup::defaultTargetDir().endsWith("/vadmo7/ment/"));
    QVERIFY(stamp.match(f.target()->text()).hasMatch());

    // "Hová": the chosen folder with a new time-stamped name, whatever name was typed.
    s.ui.files = {db.dir() + "/valami.fdb"};
    f.HovaClick();
    QVERIFY(f.target()->text().startsWith(db.dir() + "/"));
    QVERIFY(stamp.match(f.target()->text()).hasMatch());
    // Cancelled: unchanged.
    const QString before = f.target()->text();
    s.ui.files = {QString()};
    f.HovaClick();
    QCOMPARE(f.target()->text(), before);

    QVERIFY(f.MentesClick());
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].startsWith("info:Az adatbázis átmásolva"));
    QVERIFY(QFileInfo::exists(f.target()->text()));
}

// The child: holds the register open as the program does and backs it up; at
// the named step it commits a row (which goes to the delta file while backup
// mode is on) and is killed.
static int killedChild(const QString& db, const QString& target, const QByteArray& at)
{
    fb::Connection program;
    program.attach(db);
    backup::setStepHook([&](const char* step) {
        if (at != step)
            return;
        program.execute("INSERT INTO fjfej (f_bszam, f_akod) VALUES ('20269999', '00001')");
        program.commit();
        ::raise(SIGKILL);
    });
    backup::run(db, target);
    return 3; // not killed: the step was never reached
}

void TstBackup::killedBackupIsCleanedUp_data()
{
    QTest::addColumn<QByteArray>("step");
    QTest::addColumn<bool>("leftInBackupMode");
    QTest::addColumn<bool>("leftWorkingCopy");
    QTest::newRow("after BEGIN BACKUP") << QByteArray("begun") << true << false;
    QTest::newRow("after the copy") << QByteArray("copied") << true << true;
    QTest::newRow("during the check") << QByteArray("checking") << false << true;
}

void TstBackup::killedBackupIsCleanedUp()
{
    QFETCH(QByteArray, step);
    QFETCH(bool, leftInBackupMode);
    QFETCH(bool, leftWorkingCopy);
    TestDb db(true);
    db.exec("INSERT INTO fjfej (f_bszam, f_akod) VALUES ('20260001', '00001')");
    db.data()->disconnect(); // the child is the program now
    const QString dir = db.dir() + "/ment";
    QVERIFY(QDir().mkpath(dir));
    const QString first = dir + "/2026_12_09_10_00.FDB";

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VADMO_BACKUP_CHILD", db.file() + "|" + first + "|" + step);
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    const auto state = [&] {
        fb::Connection c;
        c.attach(db.file());
        const int s = c.executeFresh("SELECT MON$BACKUP_STATE FROM MON$DATABASE").rows.at(0).at(0).toInt();
        c.detach();
        return s;
    };
    if (leftInBackupMode)
        QCOMPARE(state(), 1); // what the kill leaves: every later backup refused
    QCOMPARE(QFileInfo::exists(first + ".resz"), leftWorkingCopy);

    // The next start cleans up and says so once; the start after has nothing to say.
    const backup::Recovery rec = backup::recoverInterrupted(db.file(), {});
    // Killed during the check, backup mode may or may not have ended by then.
    if (leftInBackupMode) {
        QVERIFY(rec.endedBackupMode);
        QVERIFY(rec.notice().startsWith("Egy korábbi mentés félbeszakadt, és az adatbázis mentési módban maradt. Ezt most rendbe tettem"));
    }
    QVERIFY(rec.error.isEmpty());
    QVERIFY2(rec.removed.contains(first + ".resz") == leftWorkingCopy, qPrintable(rec.removed.join(",")));
    QCOMPARE(rec.notice().contains("A félbemaradt mentés munkafájlját töröltem: " + first + ".resz"),
             leftWorkingCopy);
    QCOMPARE(state(), 0);
    QVERIFY(backup::recoverInterrupted(db.file(), {dir}).notice().isEmpty());
    QVERIFY(!QFileInfo::exists(db.file() + ".mentes"));

    // The next backup works and holds every committed row, the child's too.
    const QString next = dir + "/2026_12_09_10_01.FDB";
    const backup::Result r = backup::run(db.file(), next);
    QVERIFY2(r.ok, qPrintable(r.message));
    QCOMPARE(count(db.file(), "fjfej"), 2);
    QCOMPARE(count(next, "fjfej"), 2);
    QVERIFY(QDir(dir).entryList({"*.resz"}, QDir::Files).isEmpty());
}

// The folder the screen proposes is made on first use and the message says
// so; a typed folder that does not exist is asked about and not made on No.
void TstBackup::missingFolderProposedOrTyped()
{
    TestDb db;
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    UiScope s;
    {
        TForm35 f;
        QVERIFY(f.target()->text().startsWith(home.path() + "/vadmo7/ment/"));
        QVERIFY(f.MentesClick());
        QVERIFY(s.ui.log.last().contains("A mentések mappáját most hoztam létre: " + home.path() + "/vadmo7/ment"));
        QVERIFY(QFileInfo::exists(f.target()->text()));

        const QString typed = db.dir() + "/elgepelt/2026_12_09_10_00.FDB";
        f.target()->setText(typed);
        s.ui.answers = {false};
        QVERIFY(!f.MentesClick());
        QVERIFY(s.ui.log.last().startsWith("ask:A \"Hová\" mappa nem létezik"));
        QVERIFY(!QFileInfo::exists(db.dir() + "/elgepelt"));
        s.ui.answers = {true};
        QVERIFY(f.MentesClick());
        QVERIFY(QFileInfo::exists(typed));
    }
    qputenv("HOME", oldHome);
}

int main(int argc, char** argv)
{
    const QByteArray child = qgetenv("VADMO_BACKUP_CHILD");
    if (!child.isEmpty()) {
        QCoreApplication app(argc, argv);
        const QList<QByteArray> a = child.split('|');
        return killedChild(QString::fromUtf8(a.at(0)), QString::fromUtf8(a.at(1)), a.at(2));
    }
    QApplication app(argc, argv);
    TstBackup t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}
#include "tst_backup.moc"

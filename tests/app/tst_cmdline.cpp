// The programs answer --help, --version and a wrong option on a console with
// no display, and a start without a display ends instead of hanging.
#include "cmdline.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstCmdline : public QObject {
    Q_OBJECT
private slots:
    void withoutDisplay_data();
    void withoutDisplay();
    void qtOptionsAndServiceAreKept();
};

void TstCmdline::withoutDisplay_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out"); // expected in stdout ("" : stdout empty)
    QTest::addColumn<QString>("err"); // expected in stderr ("" : stderr empty)
    const QString usage = "Használat: vadmo7 [--szerviz]";
    QTest::newRow("help") << "vadmo7" << QStringList{"--help"} << 0 << usage << "";
    QTest::newRow("-h after a Qt option") << "vadmo7" << QStringList{"-style", "Fusion", "-h"} << 0
                                          << usage << "";
    QTest::newRow("version") << "vadmo7" << QStringList{"--version"} << 0 << "vadmo7 20.3.0.0" << "";
    QTest::newRow("unknown option") << "vadmo7" << QStringList{"--nincs-ilyen"} << 2 << ""
                                    << "vadmo7: ismeretlen kapcsoló: --nincs-ilyen\n" + usage;
    QTest::newRow("stray argument") << "vadmo7" << QStringList{"x.fdb"} << 2 << ""
                                    << "fölösleges argumentum: x.fdb";
    QTest::newRow("Qt option without its value") << "vadmo7" << QStringList{"-platform"} << 2 << ""
                                                 << "kapcsolóhoz érték kell";
    QTest::newRow("no display") << "vadmo7" << QStringList{} << 1 << ""
                                << "vadmo7: nincs grafikus kijelző";
    QTest::newRow("service, no display") << "vadmo7" << QStringList{"--szerviz"} << 1 << ""
                                         << "nincs grafikus kijelző";
    QTest::newRow("newdb help") << "vadmo7-newdb" << QStringList{"--help"} << 0
                                << "Használat: vadmo7-newdb [--samples] FÁJL.fdb" << "";
    QTest::newRow("newdb version") << "vadmo7-newdb" << QStringList{"--version"} << 0
                                   << "vadmo7-newdb 20.3.0.0" << "";
    QTest::newRow("newdb unknown") << "vadmo7-newdb" << QStringList{"--x", "a.fdb"} << 2 << ""
                                   << "vadmo7-newdb: ismeretlen kapcsoló: --x";
    QTest::newRow("newdb no file") << "vadmo7-newdb" << QStringList{"--samples"} << 2 << ""
                                   << "hiányzik a fájl neve";
    QTest::newRow("server setup help") << "vadmo7-server-setup" << QStringList{"--help"} << 0
                                       << "Használat: vadmo7-server-setup" << "";
    QTest::newRow("server setup version") << "vadmo7-server-setup" << QStringList{"--version"} << 0
                                          << "vadmo7-server-setup 20.3.0.0" << "";
    QTest::newRow("server setup, no server") << "vadmo7-server-setup" << QStringList{} << 2 << ""
                                             << "Használat: vadmo7-server-setup";
}

void TstCmdline::withoutDisplay()
{
    QFETCH(QString, program);
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(v);
    QTemporaryDir home;
    env.insert("XDG_DATA_HOME", home.path()); // a start that went on would stay there
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QString(VADMO_PROG_DIR) + "/" + program, args);
    QVERIFY(p.waitForStarted());
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        QFAIL("the program did not end without a display");
    }
    const QString gotOut = QString::fromUtf8(p.readAllStandardOutput());
    const QString gotErr = QString::fromUtf8(p.readAllStandardError());
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), code);
    QVERIFY2(out.isEmpty() ? gotOut.isEmpty() : gotOut.contains(out), qPrintable(gotOut));
    QVERIFY2(err.isEmpty() ? gotErr.isEmpty() : gotErr.contains(err), qPrintable(gotErr));
    // Nothing is made in the data folder by an answer or a refusal.
    QVERIFY(QDir(home.path()).isEmpty());
}

void TstCmdline::qtOptionsAndServiceAreKept()
{
    const cmdline::Parsed p = cmdline::parseProgram(
        {"-platform", "offscreen", "--szerviz", "-style=Fusion", "-reverse", "--display", ":1"});
    QCOMPARE(int(p.action), int(cmdline::Action::Run));
    QVERIFY(p.service);
    QVERIFY(p.platformGiven);
    QVERIFY(!cmdline::parseProgram({}).service);
    QVERIFY(cmdline::noDisplayReason({}, {}, {}).size() > 0);
    for (const auto& [qpa, x, wl] : {std::tuple{"offscreen", "", ""}, {"", ":0", ""}, {"", "", "wayland-0"}})
        QVERIFY(cmdline::noDisplayReason(qpa, x, wl).isEmpty());
}

QTEST_GUILESS_MAIN(TstCmdline)
#include "tst_cmdline.moc"

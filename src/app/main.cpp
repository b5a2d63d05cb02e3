// vadmo7: purchase-ticket register.
#include "Unit1.h"
#include "gui/QtUi.h"
#include "gui/guard.h"
#include "gui/shutdown.h"

#include "cmdline.h"
#include "dbsettings.h"
#include "paths.h"
#include "seams.h"

#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>

int main(int argc, char** argv)
{
    // Answered before any window system is asked for: --help, --version and
    // a wrong option work on a console without a display.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const cmdline::Parsed cli = cmdline::parseProgram(args);
    if (cli.action != cmdline::Action::Run) {
        const cmdline::Answer a = cmdline::answer(cli, "vadmo7", cmdline::programUsage());
        std::fputs(a.out.toUtf8().constData(), stdout);
        std::fputs(a.err.toUtf8().constData(), stderr);
        return a.code;
    }
    const QString noDisplay = cli.platformGiven
        ? QString()
        : cmdline::noDisplayReason(qEnvironmentVariable("QT_QPA_PLATFORM"),
                                   qEnvironmentVariable("DISPLAY"),
                                   qEnvironmentVariable("WAYLAND_DISPLAY"));
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "vadmo7: %s\n", noDisplay.toUtf8().constData());
        return 1;
    }
    app::blockTerminationSignals();
    app::TApplication app(argc, argv);
    app.setApplicationName("vadmo7");
    // Qt's own dialogs (message box buttons, file and print dialogs) in Hungarian.
    QTranslator qtHu;
    if (qtHu.load(QLocale(QLocale::Hungarian), "qtbase", "_",
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtHu);
    app::installQtUi();
    // Registered for compatibility; the help screen opens sugo.pdf instead.
    app.setProperty("helpFile", "VADMOHELP.HLP");

    // Taken before the database is opened, so that the start-up failure
    // message does not keep the program alive against a logout or a kill.
    app::installShutdownHandlers(&app);
    // The register and the user's own files live in the data folder, which
    // becomes the working folder; a register left in the program folder by an
    // older version is copied there once.
    // A register on a server needs no file here.
    const bool onServer =
        dbsettings::read(dbsettings::settingsPath(paths::dataDir()), "vadmo7.fdb").remote();
    if (onServer)
        QDir().mkpath(paths::dataDir());
    const paths::Prepared prep =
        onServer ? paths::Prepared{}
                 : paths::prepareDataDir(paths::dataDir(), QCoreApplication::applicationDirPath());
    if (!prep.ok) {
        seams::ui().showMessage(prep.error);
        return 1;
    }
    QDir::setCurrent(paths::dataDir());

    TForm1 w;
    if (!w.formCreate())
        return 0;
    app::installExitHook();
    if (cli.service)
        w.showServiceEntries();
    w.addStartupNotice(prep.notice);
    w.show();
    return app.exec();
}

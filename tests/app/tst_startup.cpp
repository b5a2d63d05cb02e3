// Start-up, main window, shell screens and the general error handler.
#include "testsupport.h"

#include "Unit1.h"
#include "Unit16.h"
#include "Unit21.h"
#include "Unit26.h"
#include "gui/guard.h"
#include "gui/screens.h"
#include "settings.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include "paths.h"
#include "startupreason.h"
#include "textfile.h"

#include <QFile>
#include <QPushButton>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include "newdb.h"

static const QString kNoDb = "Az adatbáziskezelöt nem találja.\nA program müködéséhez szükséges.";

class TstStartup : public QObject {
    Q_OBJECT
private slots:
    void missingDatabaseEndsTheProgram();
    void missingTableTakesTheSamePath();
    void failureReasons();
    void dismissedMessageOpensWithoutDatabase();
    void captionFromVersion();
    void menuStatesAtStart();
    void exitCommitsPendingWork();
    void shellScreens();
    void generalErrorHandler();
    void settingsFileNamesAndFolders();
    void everyScreenByKeyboard();
    void noRegisterButBackupsOffersTheRestore();
};

void TstStartup::missingDatabaseEndsTheProgram()
{
    UiScope s;
    QTemporaryDir dir;
    QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        TForm1 w;
        QVERIFY(!w.formCreate(false));
        QCOMPARE(s.ui.log.size(), 1);
        // The fixed lines first, then why, then the engine's own text.
        QVERIFY(s.ui.log[0].startsWith("confirm:" + kNoDb + "\n\n"));
        QVERIFY(s.ui.log[0].contains("nem található"));
        QVERIFY(s.ui.log[0].contains("No such file or directory"));
        QVERIFY(!w.isVisible());
        delete Data;
        Data = nullptr;
    }
    QDir::setCurrent(old);
}

void TstStartup::missingTableTakesTheSamePath()
{
    UiScope s;
    {
        TestDb db;
        db.exec("drop table sorszam");
        db.data()->disconnect();
    }
    TestDb db;
    db.exec("drop table termek");
    db.data()->disconnect();
    TForm1 w;
    Data = db.data();
    QVERIFY(!w.formCreate(false));
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].startsWith("confirm:" + kNoDb));
    QVERIFY(s.ui.log[0].contains("hiányzik a program egyik táblája"));
    QVERIFY(s.ui.log[0].contains("TERMEK"));
}

void TstStartup::failureReasons()
{
    QTemporaryDir dir;
    const auto reasonFor = [&](const QString& path) {
        fb::Connection c;
        try {
            c.attach(path);
        } catch (const fb::Error& e) {
            return startup::failureMessage(e.text());
        }
        return QString("megnyílt");
    };
    // Not a database: random bytes, a one-byte file.
    QFile junk(dir.filePath("junk.fdb"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(100000, '\x5a'));
    junk.close();
    QFile tiny(dir.filePath("tiny.fdb"));
    QVERIFY(tiny.open(QIODevice::WriteOnly));
    tiny.write("x");
    tiny.close();
    for (const char* f : {"junk.fdb", "tiny.fdb"}) {
        const QString m = reasonFor(dir.filePath(f));
        QVERIFY2(m.startsWith(kNoDb), qPrintable(m));
        QVERIFY2(m.contains("nem adatbázis, vagy megsérült"), qPrintable(m));
    }
    QVERIFY(reasonFor(dir.path()).contains("egy mappa van"));
    // A cause the program does not know still shows the engine's text.
    QCOMPARE(startup::failureMessage("valami egészen más"),
             kNoDb + "\n\n(valami egészen más)");
    QVERIFY(startup::reason("I/O error during \"open\" operation for file \"x\"\n"
                            "-Error while trying to open file\n-Permission denied")
                .contains("jogosultsága"));
}

void TstStartup::dismissedMessageOpensWithoutDatabase()
{
    UiScope s;
    s.ui.answers = {false};
    QTemporaryDir dir;
    QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        TForm1 w;
        QVERIFY(w.formCreate(false));
        QVERIFY(!Data->ZCon1.connected());
        // A screen touching the database then fails with the handler's message.
        app::guarded([] { Data->ZQ60->setSql("select * from atvevo"); Data->ZQ60->open(); });
        QCOMPARE(s.ui.log.size(), 2);
        QVERIFY(s.ui.log[1].startsWith("error:"));
        delete Data;
        Data = nullptr;
    }
    QDir::setCurrent(old);
}

void TstStartup::captionFromVersion()
{
    QCOMPARE(settings::versionText(20, 3), QString("Verzió: 20.03 2006-2020"));
    QCOMPARE(settings::versionText(20, 12), QString("Verzió: 20.012 2006-2020"));
    QCOMPARE(settings::versionText(7, 0), QString("Verzió: 7.00 2006-2020"));
    QCOMPARE(settings::versionText(-1, 0), QString());

    UiScope s;
    TestDb db;
    TForm1 w;
    QVERIFY(w.formCreate(false));
    w.show();
    QCOMPARE(w.windowTitle(), QString("Felvásárlási jegy - Verzió: 20.03 2006-2020"));
    // Menus switched off (a restored register): the buyer chosen before leaves the caption.
    w.setWindowTitle("Felvásárlási jegy - Minta Felvásárló Kft. Verzió: 20.03 2006-2020");
    w.setWorkMenusEnabled(false);
    QCOMPARE(w.windowTitle(), QString("Felvásárlási jegy - Verzió: 20.03 2006-2020"));
    w.close();
}

void TstStartup::menuStatesAtStart()
{
    UiScope s;
    TestDb db;
    TForm1 w;
    QVERIFY(w.formCreate(false));
    w.show();
    QVERIFY(w.action("actValasztas")->isEnabled());
    QVERIFY(w.action("actKilepes")->isEnabled());
    const QStringList switched = {"actFelvasarlasiJegy", "actOstermelo", "actTermek"};
    for (const QString& n : switched)
        QVERIFY2(!w.action(n)->isEnabled(), qPrintable(n));
    for (const char* m : {"menuBevallas", "menuListak", "menuSegedlet"})
        QVERIFY2(!w.menu(m)->menuAction()->isEnabled(), m);
    const QStringList hidden = {"actAdohatosagi", "actRegibolImport", "actMagannyTag",
                                "actSzerzodes", "actCsvImport", "actOstermeloEgyesites",
                                "actFelir", "actKeszlet", "actKamarai"};
    for (const QString& n : hidden)
        QVERIFY2(!w.action(n)->isVisible(), qPrintable(n));
    w.setWorkMenusEnabled(true);
    QVERIFY(w.action("actTermek")->isEnabled());
    QVERIFY(w.menu("menuSegedlet")->menuAction()->isEnabled());
    for (const QString& n : hidden)
        QVERIFY2(!w.action(n)->isVisible(), qPrintable(n));
    // Menu order of the Segédlet entries as the users know it.
    QStringList order;
    for (QAction* a : w.menu("menuSegedlet")->actions())
        if (!a->isSeparator())
            order << a->text().remove('&');
    // Alt+letter reaches every entry, each letter once within its menu (the
    // hidden entries counted: the service start shows them).
    auto mnemonics = [](const QList<QAction*>& actions) {
        QStringList letters;
        for (QAction* a : actions) {
            const qsizetype at = a->text().indexOf('&');
            if (!a->isSeparator())
                letters << (at >= 0 ? a->text().mid(at + 1, 1).toLower() : QString("?") + a->text());
        }
        return letters;
    };
    QList<QList<QAction*>> menus = {w.menuBar()->actions()};
    for (QAction* top : w.menuBar()->actions())
        if (top->menu())
            menus << top->menu()->actions();
    for (const QList<QAction*>& m : menus) {
        const QStringList letters = mnemonics(m);
        QVERIFY2(letters.size() == QSet<QString>(letters.begin(), letters.end()).size() &&
                     !letters.join(' ').contains('?'),
                 qPrintable(letters.join(' ')));
    }
    QCOMPARE(order.first(), QString("Ellenörzés"));
    QCOMPARE(order.indexOf("Sugó"), 4);
    QCOMPARE(order.last(), QString("Kamarai szám hossza"));
    // Service start: the hidden entries appear and can be used, inside the
    // menus the buyer selection still switches.
    w.setWorkMenusEnabled(false);
    w.showServiceEntries();
    for (const QString& n : hidden)
        QVERIFY2(w.action(n)->isVisible() && w.action(n)->isEnabled(), qPrintable(n));
    QVERIFY(!w.menu("menuSegedlet")->menuAction()->isEnabled());
    QVERIFY(w.action("actSugo")->isVisible());
    w.close();
}

void TstStartup::exitCommitsPendingWork()
{
    UiScope s;
    TestDb db;
    TForm1 w;
    QVERIFY(w.formCreate(false));
    w.show();
    // A statement left in the shared transaction without a commit of its own.
    Data->ZQ41->setSql("insert into termek (t_kod) values ('77777')");
    Data->ZQ41->execSQL();
    QVERIFY(Data->IBTrans1.inTransaction());
    w.action("actKilepes")->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(!Data->ZCon1.connected());
    Data->connect();
    QCOMPARE(db.scalar("select count(*) from termek where t_kod = '77777'"), QString("1"));
}

void TstStartup::shellScreens()
{
    UiScope s;
    QTemporaryDir work, share;
    const QString old = QDir::currentPath();
    QDir::setCurrent(work.path());
    paths::setShareDir(share.path());
    const auto click = [](QDialog& d) { d.findChild<QPushButton*>("Button1")->click(); };

    // The guide: missing is said; shipped is opened; a failing viewer is said.
    TForm21 help;
    click(help);
    QCOMPARE(s.ui.opened, QStringList{});
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].startsWith("msg:A program leírása (sugo.pdf) nem található"));
    QFile pdf(share.filePath("sugo.pdf"));
    QVERIFY(pdf.open(QIODevice::WriteOnly));
    pdf.close();
    s.ui.clear();
    s.ui.openResult = true;
    click(help);
    QCOMPARE(s.ui.opened, QStringList{share.filePath("sugo.pdf")});
    QVERIFY(s.ui.log.isEmpty());
    s.ui.openResult = false;
    click(help);
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].contains("nincs PDF-megjelenítő"));

    // Remote help: without a setting it explains; with one it starts that program.
    s.ui.clear();
    TForm26 remote;
    click(remote);
    QVERIFY(s.ui.opened.isEmpty());
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].contains("nincs beállítva távsegítő program"));
    QVERIFY(s.ui.log[0].contains(QDir(work.path()).absoluteFilePath("vadmo7.ini")));
    textfile::writeLines(work.filePath("vadmo7.ini"), {"[Tavsegitseg]", "Program=krfb"});
    s.ui.clear();
    s.ui.openResult = true;
    click(remote);
    QCOMPARE(s.ui.opened, QStringList{"krfb"});
    QVERIFY(s.ui.log.isEmpty());
    s.ui.openResult = false;
    click(remote);
    QCOMPARE(s.ui.log.size(), 1);
    QVERIFY(s.ui.log[0].contains("nem indítható el: krfb"));
    paths::setShareDir({});
    QDir::setCurrent(old);

    TForm16 about;
    QCOMPARE(about.windowTitle(), QString("Névjegy"));
}

void TstStartup::generalErrorHandler()
{
    UiScope s;
    bool after = false;
    app::guarded([&] {
        throw std::runtime_error("Cannot open file FjLista2.frf");
        after = true;
    });
    QVERIFY(!after);
    QCOMPARE(s.ui.log, QStringList{"error:Cannot open file FjLista2.frf"});
}

void TstStartup::settingsFileNamesAndFolders()
{
    QCOMPARE(settings::iniFileName("/opt/v/vadmo7", "form9.ini"), QString("/opt/v/vadmo7form9.ini"));
    QCOMPARE(settings::iniFileName("/opt/v/vadmo7.exe", "form10.ini"),
             QString("/opt/v/vadmo7form10.ini"));
    QCOMPARE(settings::winPath("C:\\VADMO7\\"), QDir::homePath() + "/VADMO7/");
    QCOMPARE(settings::winPath("c:\\vadmo7\\ment\\"), QDir::homePath() + "/vadmo7/ment/");
}

// A new computer with the backups on it: the restore is offered before an
// empty register is made; declined, the empty one is made and said.
void TstStartup::noRegisterButBackupsOffersTheRestore()
{
    QTemporaryDir data, home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QVERIFY(QDir().mkpath(data.path() + "/vadmo7"));
    QDir dir(data.path() + "/vadmo7");
    QVERIFY(QDir().mkpath(home.path() + "/vadmo7/ment"));
    newdb::create(home.path() + "/vadmo7/ment/2026_12_01_10_00.FDB");
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        UiScope s;
        s.ui.answers = {false};
        TForm1 w;
        QVERIFY(w.formCreate(false));
        QVERIFY2(s.ui.log.value(0).startsWith("ask:Ezen a gépen még nincs nyilvántartás, de a mentések mappájában (" +
                                              home.path() + "/vadmo7/ment/) vannak mentések."),
                 qPrintable(s.ui.log.value(0)));
        QVERIFY(QFileInfo::exists(dir.filePath("vadmo7.fdb")));
        QVERIFY(Data->ZCon1.connected());
        w.formClose();
        delete Data;
        Data = nullptr;
    }
    QDir::setCurrent(old);
    qputenv("HOME", oldHome);
    qunsetenv("XDG_DATA_HOME");
}

QTEST_MAIN(TstStartup)
// Every screen of the menu: it opens with the focus inside it, every control
// is named, and Esc leaves it.
void TstStartup::everyScreenByKeyboard()
{
    UiScope s;
    TestDb db(true);
    db.selectBuyer();
    QStringList faults;
    int screens = 0;
    for (int n = 1; n <= 44; ++n) {
        std::unique_ptr<QDialog> d(app::createScreen(n, nullptr));
        if (!d)
            continue;
        ++screens;
        d->show();
        d->activateWindow();
        if (!QTest::qWaitForWindowActive(d.get())) {
            faults << QString("Form%1: not active").arg(n);
            continue;
        }
        QWidget* f = QApplication::focusWidget();
        if (!f || !d->isAncestorOf(f))
            faults << QString("Form%1: no focus inside").arg(n);
        for (QWidget* w : d->findChildren<QWidget*>())
            if (w->focusPolicy() & Qt::TabFocus && w->objectName().isEmpty() && w->parentWidget() &&
                !w->parentWidget()->objectName().startsWith("qt_") && w->isVisibleTo(d.get()))
                faults << QString("Form%1: unnamed %2").arg(n).arg(w->metaObject()->className());
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : d.get(),
                        Qt::Key_Escape);
        if (d->isVisible())
            faults << QString("Form%1: Esc does not close").arg(n);
        d->hide();
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    QVERIFY(screens >= 30);
}

#include "tst_startup.moc"

#include "Unit1.h"

#include "applog.h"
#include "dbsettings.h"
#include "startupreason.h"

#include "Unit17.h"
#include "Unit44.h"
#include "buyer.h"
#include "Unit2.h"
#include "Unit3.h"
#include "gui/guard.h"
#include "gui/screens.h"
#include "seams.h"
#include "settings.h"
#include "taxdata/navtables.h"
#include "maintenance/Unit43.h"
#include "maintenance/backup.h"
#include "paths.h"
#include "upgrades.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QWindow>
#include <QLocale>
#include <QMenuBar>
#include <QTimer>
#include <memory>

TForm1* Form1 = nullptr;

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    Form1 = this;
    setObjectName("Form1");
    setWindowTitle(G.captionPrefix);
    buildMenu();
    auto* centre = new QLabel(this);
    centre->setObjectName("Background");
    centre->setAlignment(Qt::AlignCenter);
    setCentralWidget(centre);
    showBackgroundHint(false);
    resize(900, 600);
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

bool TForm1::formCreate(bool splash)
{
    if (splash && qEnvironmentVariableIsEmpty("VADMO_NO_SPLASH")) {
        TAboutBox box(this);
        seams::ui().runModal(&box);
    }
    if (!Data)
        Data = new TData(this);
    // The working folder's register unless vadmo7.ini names a server's.
    const QString ini = dbsettings::settingsPath(QDir::currentPath());
    const dbsettings::Target target = dbsettings::read(ini, TData::DatabaseName);
    // Never logged with the settings: the file holds the password.
    if (const QString why = dbsettings::refusal(ini, target); !why.isEmpty()) {
        applog::write("Indítás: " + why);
        return !seams::ui().confirm(why);
    }
    if (!target.remote())
        prepareLocalRegister(QDir::current().absoluteFilePath(target.path));
    try {
        Data->connect(target);
        bringUpToDate();
        Data->openTables();
        navtables::widen(&Data->ZCon1);
    } catch (const std::exception& e) {
        const QString engine = QString::fromUtf8(e.what());
        applog::write("Indítás: " + target.path + ": " + engine);
        if (seams::ui().confirm(startup::failureMessage(engine, target.server(), target.path)))
            return false;
        // Dismissed otherwise: the window opens without a database.
    }
    return true;
}

void TForm1::prepareLocalRegister(const QString& file)
{
    // No register yet in the program's data folder, but backups where the
    // backup screen puts them: the way back is offered before an empty
    // register is made.
    const bool ownFolder = QFileInfo(file).absolutePath() == QFileInfo(paths::dataDir()).absoluteFilePath();
    if (ownFolder && !QFileInfo::exists(file) && paths::hasBackups(backup::defaultTargetDir())) {
        if (seams::ui().askYesNo("Ezen a gépen még nincs nyilvántartás, de a mentések mappájában (" +
                                 QDir::toNativeSeparators(backup::defaultTargetDir()) +
                                 ") vannak mentések.\n\nVisszatölti az egyiket? (Nem: új, üres "
                                 "nyilvántartás készül.)")) {
            // Without a parent: this window is not placed yet, and a dialog
            // centred on it would open away from the middle of the screen.
            TForm43 f(nullptr, true);
            seams::ui().runModal(&f);
        }
        if (!QFileInfo::exists(file))
            startupNotice_ = paths::createRegister(file);
    }
    // A backup killed half-way leaves the register in backup mode: said once, here.
    addStartupNotice(backup::recoverInterrupted(file, {backup::defaultTargetDir()}).notice());
}

void TForm1::addStartupNotice(const QString& text)
{
    if (!text.isEmpty())
        startupNotice_ += (startupNotice_.isEmpty() ? "" : "\n\n") + text;
}

void TForm1::bringUpToDate()
{
    rec::Outcome o;
    // A note on the screen while a long step runs: the start would otherwise
    // look hung.
    std::unique_ptr<QLabel> note;
    const auto tell = [&](const QString& text) {
        applog::write(text);
        if (!note) {
            note = std::make_unique<QLabel>();
            note->setObjectName("upgradeNote");
            // The caption before the version is known ends in " -".
            QString title = windowTitle().trimmed();
            if (title.endsWith('-'))
                title = title.chopped(1).trimmed();
            note->setWindowTitle(title);
            note->setWordWrap(true);
            note->setMargin(24);
            note->setMinimumWidth(420);
        }
        note->setText(text);
        note->show();
        // The work that follows holds the event loop: the note must be on the
        // screen before it starts, not a blank window until it ends. The window
        // system maps it after a round trip or two; half a second at the most.
        QElapsedTimer waited;
        waited.start();
        while (note->windowHandle() && !note->windowHandle()->isExposed() && waited.elapsed() < 500)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        note->repaint();
        QCoreApplication::processEvents();
    };
    try {
        o = upgrades::bringUpToDate(&Data->ZCon1, tell);
    } catch (const std::exception& e) {
        // The register works as before; the next start tries again.
        applog::write("Adatbázis frissítése: " + QString::fromUtf8(e.what()));
        return;
    }
    try {
        rec::logFailure(upgrades::refreshStatistics(&Data->ZCon1, tell));
    } catch (const std::exception& e) {
        applog::write("Indexek felmérése: " + QString::fromUtf8(e.what()));
    }
    // Duplicates are for the user to put right; a refused change (another
    // computer using the table, no right to change it) only for the log.
    if (o.kind == rec::Outcome::CheckFailed)
        seams::ui().showMessage(o.message);
    else
        rec::logFailure(o);
}

void TForm1::formShow()
{
    // The program formats numbers and dates itself (decimal comma, yyyy.MM.dd);
    // the default locale only serves Qt's own widgets.
    QLocale hu(QLocale::Hungarian, QLocale::Hungary);
    hu.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(hu);
    G.verzioSzoveg = settings::programVersionText();
    setWindowTitle(G.captionPrefix + G.verzioSzoveg);
}

void TForm1::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        formShow();
        // Once the window stands: what start-up found is said first, then a
        // register not yet set up asks for the buyer.
        QTimer::singleShot(0, this, [this] {
            if (!startupNotice_.isEmpty()) {
                seams::ui().information("Felvásárlási jegy", startupNotice_);
                startupNotice_.clear();
            }
            firstStart();
        });
    }
}

void TForm1::firstStart()
{
    app::guarded([this] {
        if (!Data || !Data->ZCon1.connected() || !buyer::needsSetup(&Data->ZCon1))
            return;
        TForm44 f(this);
        if (seams::ui().runModal(&f) == QDialog::Accepted)
            app::runScreen(18, this);
    });
}

void TForm1::formClose()
{
    if (closed_ || !Data)
        return;
    closed_ = true;
    app::guarded([] { Data->finish(); });
}

void TForm1::closeEvent(QCloseEvent* e)
{
    formClose();
    e->accept();
}

QAction* TForm1::entry(QMenu* m, const QString& name, const QString& caption, int formNo,
                       bool hidden, bool enabled)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    a->setVisible(!hidden);
    a->setEnabled(enabled);
    if (hidden)
        hidden_ << a;
    if (m)
        m->addAction(a);
    else
        menuBar()->addAction(a);
    if (formNo > 0)
        connect(a, &QAction::triggered, this, [this, formNo] { open(formNo); });
    return a;
}

void TForm1::open(int formNo)
{
    app::guarded([&] {
        if (formNo == 17) {
            // The profile is loaded with the current buyer before it is shown.
            auto f = std::make_unique<TForm17>(this);
            if (f->load())
                seams::ui().runModal(f.get());
            return;
        }
        if (formNo == 43) {
            // A restored register may not hold the buyer chosen before: choose again.
            TForm43 f(this);
            seams::ui().runModal(&f);
            if (f.restored())
                setWorkMenusEnabled(false);
            return;
        }
        app::runScreen(formNo, this);
    });
}

void TForm1::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    QMenu* atvevo = bar->addMenu("&Átvevö");
    atvevo->setObjectName("menuAtvevo");
    entry(atvevo, "actValasztas", "&Választás", 18);

    QAction* fj = entry(nullptr, "actFelvasarlasiJegy", "&Felvásárlási jegy", 8);
    QAction* ost = entry(nullptr, "actOstermelo", "&Östermelö", 4);
    QAction* term = entry(nullptr, "actTermek", "&Termék", 6);

    QMenu* bev = bar->addMenu("&Bevallás");
    bev->setObjectName("menuBevallas");
    entry(bev, "act2008M", "&2008M-hoz export", 11);
    entry(bev, "actBevallasLista", "&Bevallás lista", 12);
    entry(bev, "actImportOsszevonas", "&Import összevonás", 24);
    entry(bev, "actAdohatosagi", "&Adóhatóági ellenőrzési adatszolgáltatás", 40, true, false);

    QMenu* lis = bar->addMenu("&Listák");
    lis->setObjectName("menuListak");
    entry(lis, "actTermekenkenti", "&Termékenkénti lista", 13);
    entry(lis, "actOstermelonkenti", "&Östermelönkénti lista", 19);
    entry(lis, "actHaviBontas", "Östermelö &havi bontásban", 30);
    entry(lis, "actKpNapi", "&Kp. napi lista", 31);
    entry(lis, "actStatisztika", "&Statisztika", 32);

    QMenu* seg = bar->addMenu("&Segédlet");
    seg->setObjectName("menuSegedlet");
    entry(seg, "actEllenorzes", "&Ellenörzés", 14);
    entry(seg, "actExcel", "&Fjegy excel táblába", 20);
    entry(seg, "actAdatok", "&Adatok", 22);
    entry(seg, "actRegibolImport", "&Régiből import", 25, true, false);
    seg->addSeparator()->setObjectName("sepSegedlet");
    entry(seg, "actSugo", "S&ugó", 21);
    entry(seg, "actNevjegy", "&Névjegy", 16);
    entry(seg, "actTavsegitseg", "&Távsegitség", 26);
    entry(seg, "actAdatokKuldese", "Adatok &küldése", 27);
    entry(seg, "actAdatExport", "Adat e&xport", 29);
    entry(seg, "actMagannyTag", "&Magánny.tag?", 28, true, false);
    entry(seg, "actSzerzodes", "S&zerzödés", 33, true, false);
    entry(seg, "actCsvImport", "&Östermelö import excelböl (*.csv)", 34, true, false);
    entry(seg, "actAdatokMentese", "A&datok mentése", 35);
    entry(seg, "actAdatokVisszatoltese", "Adatok &visszatöltése", 43);
    entry(seg, "actOstermeloEgyesites", "Ostermelo e&gyesites", 36, true, false);
    entry(seg, "actFelir", "FE&LIR azon. felvétele", 37, true, false);
    entry(seg, "actAtvevoBeallitas", "&Átvevő beállítás", 17);
    entry(seg, "actEvnyitas", "&Évnyitás", 38);
    entry(seg, "actKeszlet", "Adatátadás készlet&hez", 41, true, false);
    entry(seg, "actKamarai", "Kamara&i szám hossza", 42, true, true);

    QAction* kilep = entry(nullptr, "actKilepes", "&Kilépés", 0);
    connect(kilep, &QAction::triggered, this, &QWidget::close);

    switched_ = {fj, ost, term, bev->menuAction(), lis->menuAction(), seg->menuAction()};
    setWorkMenusEnabled(false);
}

void TForm1::showServiceEntries()
{
    for (QAction* a : hidden_) {
        a->setVisible(true);
        a->setEnabled(true);
    }
}

void TForm1::setWorkMenusEnabled(bool on)
{
    for (QObject* o : switched_)
        if (auto* a = qobject_cast<QAction*>(o))
            a->setEnabled(on);
    // Without a buyer the caption names none (after a restore it named the one before).
    if (!on)
        setWindowTitle(G.captionPrefix + G.verzioSzoveg);
    showBackgroundHint(on);
}

void TForm1::showBackgroundHint(bool buyerChosen)
{
    // The hint says what to do next: choose the buyer, then work from the menu.
    if (auto* centre = qobject_cast<QLabel*>(centralWidget()))
        centre->setText(QString("<div style='color:#7a8a7a'><h1>Felvásárlási jegy</h1><p>%1</p></div>")
                            .arg(buyerChosen ? "A munkát a menüből kezdheti."
                                             : "Válassza ki az átvevőt: Átvevö / Választás"));
}

bool TForm1::workMenusEnabled() const
{
    auto* a = qobject_cast<QAction*>(switched_.value(0));
    return a && a->isEnabled();
}

QAction* TForm1::action(const QString& objectName) const
{
    return findChild<QAction*>(objectName);
}

QMenu* TForm1::menu(const QString& objectName) const { return findChild<QMenu*>(objectName); }

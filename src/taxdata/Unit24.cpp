#include "Unit24.h"

#include "gui/edits.h"
#include "gui/guard.h"
#include "m2008.h"
#include "merge.h"
#include "seams.h"
#include "settings.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>
#include <memory>

namespace {

const char* const kHelp[] = {
    "1. A meghajtó betüjelének kiválasztása \"A\" és \"B\" import helye.",
    "2. Az összevonandó könyvtárak kiválasztása \"A\" és \"B\" meghajtónál.",
    "         ( pl: \"A\" -nál  a C:\\vadmo5\\01 és a \"B\" nél E:\\vadmo5\\01)",
    "3.Program inditása \"Összevonás\" -ra.",
    "",
    "A Ft összesítésnek egyezni kell az \"A\" és \"B\" gépen lekért felvásárlási jegy bevallási "
    "nyomtatás listával. Kerekitési hiba lehetséges, mivel mennyiség és egységár van csak "
    "letárolva a programban.",
    "Az összevonás után az \"A\" és \"B\" helyen megmaradt import fáljokat kell az 1708 -ba "
    "beolvasni.",
    "",
    "Az \"A\" import kijelölt könytárába kerül a mind két gépen megtalálható östermelö "
    "adóazonositóval rendelkezö bevallás Ft összesítése.",
    "A \"B\" importból ezen tételek megszüntetése (átnevezve \" .old \" -ra).",
    "Az \"A\" importban az összesítés előtti állapot \" .imp \" átnevezve \" .old \" névre.",
    "Összevonás megismétlése előtt mindig végre kell hajtani az 'A\" és \"B\" gépen is a bevallás "
    "kigyűjtés menüpontot és újra rámásolni pl.: a pen drive-ra.",
};

// The folder the merge starts on: the Windows folder mapped here, or, when the
// user never made it, the folder the 2008M collection writes to.
QString startFolder(const QString& windowsPath)
{
    const QString p = settings::winPath(windowsPath);
    if (QDir(p).exists())
        return p;
    const QString base = m2008::baseFolder();
    return QDir(base).exists() ? base : QDir::homePath();
}

} // namespace

TForm24::TForm24(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form24");
    setWindowTitle("Két import összevonása");
    auto* top = new QVBoxLayout(this);
    auto* halves = new QHBoxLayout;
    halves->addWidget(buildSide(a_, "A", "\"A\" importok (winchester)",
                                "Az \"A\" meghajtó betüjelének kiválasztása",
                                "Az adatok helye (pl.:  C:\\vadmo6\\01 azaz  januári hónap)",
                                "Az \"A\" import fáljok listája "));
    halves->addWidget(buildSide(b_, "B", "\"B\"  importok (pen drive)",
                                "Az \"B\" meghajtó betüjelének kiválasztása",
                                "Az adatok helye (pl.:  C:\\vadmo6\\01 azaz  januári hónap azonos "
                                "az \"A\" hónapjával)",
                                QString()));
    top->addLayout(halves, 3);

    auto* totals = new QGridLayout;
    totals->addWidget(form::namedLabel("Mindösszesen:", "lbOsszesElott", this), 0, 0);
    totals->addWidget(form::namedLabel("", "lbOsszesElottKifiz", this), 0, 1);
    totals->addWidget(form::namedLabel("Mindösszesen:", "lbOsszesUtan", this), 1, 0);
    totals->addWidget(form::namedLabel("", "lbOsszesUtanKifiz", this), 1, 1);
    totals->setColumnStretch(2, 1);
    top->addLayout(totals);

    auto* bottom = new QHBoxLayout;
    auto* pv = new QVBoxLayout;
    paired_ = new QListWidget(this);
    paired_->setObjectName("CheckListBox1");
    paired_->setToolTip("Ezen östermelök vannak  \"A\" és \"B\" listában is.");
    auto* pl = form::namedLabel("Mind két listában megtalálhatóak", "Label9", this);
    pl->setBuddy(paired_);
    paired_->setAccessibleName(pl->text());
    pv->addWidget(pl);
    pv->addWidget(paired_);
    bottom->addLayout(pv, 1);
    help_ = new QPlainTextEdit(this);
    help_->setObjectName("Memo1");
    help_->setReadOnly(true);
    help_->setAccessibleName("Útmutató");
    QStringList lines;
    for (const char* h : kHelp)
        lines << QString::fromUtf8(h);
    help_->setPlainText(lines.join('\n'));
    bottom->addWidget(help_, 2);
    top->addLayout(bottom, 2);

    auto* buttons = new QHBoxLayout;
    merge_ = new QPushButton("Összevonás", this);
    merge_->setObjectName("Button1");
    merge_->setToolTip("Azonos adóazonositójú östermelö adatok összeadása egy listára hozása.");
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button2");
    for (QPushButton* b : {merge_, cancel})
        b->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(merge_);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(merge_, &QPushButton::clicked, this, [this] { app::guarded([this] { mergeClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    resize(1000, 720);
    setFolderA(startFolder("c:\\vadmo6\\"));
    setFolderB(startFolder("c:\\"));
    a_.dirs->setFocus();
}

QWidget* TForm24::buildSide(Side& s, const QString& key, const QString& heading,
                            const QString& driveHint, const QString& folderHint,
                            const QString& filesHint)
{
    auto* box = new QWidget(this);
    box->setObjectName("pn" + key);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    auto* h = form::namedLabel(heading, "lbCim" + key, box);
    v->addWidget(h);

    s.drive = new QComboBox(box);
    s.drive->setObjectName("DriveComboBox" + key);
    s.drive->setToolTip(driveHint);
    s.drive->setAccessibleName("Meghajtó " + key);
    QStringList roots{QDir::homePath()};
    for (const QStorageInfo& st : QStorageInfo::mountedVolumes())
        if (st.isValid() && st.isReady() && !roots.contains(st.rootPath()))
            roots << st.rootPath();
    s.drive->addItems(roots);
    v->addWidget(s.drive);

    auto* path = form::namedLabel("", "lbUt" + key, box);
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    v->addWidget(path);

    s.dirs = new QListWidget(box);
    s.dirs->setObjectName("DirectoryListBox" + key);
    s.dirs->setToolTip(folderHint);
    s.dirs->setAccessibleName("Könyvtár " + key);
    v->addWidget(s.dirs, 2);

    s.files = new QListWidget(box);
    s.files->setObjectName("FileListBox" + key);
    s.files->setAccessibleName("Import fájlok " + key);
    if (!filesHint.isEmpty())
        s.files->setToolTip(filesHint);
    v->addWidget(s.files, 2);

    auto* g = new QGridLayout;
    const QString p = "lb" + key;
    // Each pair of labels shows its caption until the merge writes the sums.
    g->addWidget(form::namedLabel("Összevonás előtt:", p + "ElottAllat", box), 0, 0);
    g->addWidget(form::namedLabel("...", p + "ElottNoveny", box), 1, 0);
    g->addWidget(form::namedLabel("", p + "ElottKifiz", box), 2, 0);
    g->addWidget(form::namedLabel("Összevonás után", p + "UtanAllat", box), 3, 0);
    g->addWidget(form::namedLabel("...", p + "UtanNoveny", box), 4, 0);
    g->addWidget(form::namedLabel("", p + "UtanKifiz", box), 5, 0);
    v->addLayout(g);

    Side* sp = &s;
    connect(s.drive, &QComboBox::activated, this, [this, sp](int i) {
        app::guarded([&] { setFolder(*sp, sp->drive->itemText(i)); });
    });
    connect(s.dirs, &QListWidget::itemActivated, this, [this, sp](QListWidgetItem* it) {
        app::guarded([&] {
            setFolder(*sp, QDir::cleanPath(QDir(sp->folder).filePath(it->text())));
        });
    });
    return box;
}

void TForm24::setFolderA(const QString& folder) { setFolder(a_, folder); }
void TForm24::setFolderB(const QString& folder) { setFolder(b_, folder); }

QString TForm24::selected(const Side& s) const
{
    auto* it = s.files->currentItem();
    return it ? it->text() : QString();
}

void TForm24::setFolder(Side& s, const QString& folder, bool warn)
{
    s.folder = QDir::cleanPath(folder);
    s.dirs->clear();
    QDir d(s.folder);
    if (!d.isRoot())
        s.dirs->addItem("..");
    s.dirs->addItems(d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
    s.files->clear();
    s.files->addItems(merge::impFiles(s.folder));
    if (auto* l = findChild<QLabel*>(&s == &a_ ? "lbUtA" : "lbUtB"))
        l->setText(QDir::toNativeSeparators(s.folder));
    if (!warn)
        return;
    if (merge::sameFolder(a_.folder, selected(a_), b_.folder, selected(b_)))
        seams::ui().showMessage("Nem lehet azonos a könyvtár ");
    if (merge::hasOldFiles(s.folder))
        seams::ui().showMessage(" Csak bevallás újbóli export ismétlés után!  ");
}

QString TForm24::labelText(const QString& objectName) const
{
    auto* l = findChild<QLabel*>(objectName);
    return l ? l->text() : QString();
}

void TForm24::mergeClick()
{
    merge::Result r;
    {
        std::unique_ptr<seams::Progress> job = seams::startProgress("Összevonás…", 0);
        r = merge::run(a_.folder, b_.folder, [&job](qint64 done, qint64) {
            job->setValue(done);
            return job->wasCanceled();
        });
    }
    auto set = [this](const QString& name, const QString& text) {
        if (auto* l = findChild<QLabel*>(name))
            l->setText(text);
    };
    // Sums that were not read are shown as nothing: a 0 there would be a figure.
    auto show = [&](const QString& key, const QString& when, const QString& caption,
                    const merge::Sums& s, bool read) {
        set("lb" + key + when + "Allat",
            read ? caption + " a 455. sor (állat): " + QString::number(s.allat) : QString());
        set("lb" + key + when + "Noveny",
            read ? caption + " a 455. sor (növény): " + QString::number(s.noveny) : QString());
        set("lb" + key + when + "Kifiz",
            read ? caption + " a 401. sor (kifizetett, 24804): " + QString::number(s.kifizetett)
                 : QString());
    };
    const auto total = [](const merge::Sums& a, const merge::Sums& b) {
        return a.allat + a.noveny + b.allat + b.noveny;
    };
    auto showTotals = [&](const QString& when, const merge::Sums& a, const merge::Sums& b,
                          bool read) {
        set("lbOsszes" + when, read ? "Mindösszesen : " + QString::number(total(a, b)) : QString());
        set("lbOsszes" + when + "Kifiz",
            read ? "401. sor: " + QString::number(a.kifizetett + b.kifizetett) : QString());
    };
    show("A", "Elott", "Összevonás előtt", r.beforeA, r.beforeRead);
    show("B", "Elott", "Összevonás előtt", r.beforeB, r.beforeRead);
    showTotals("Elott", r.beforeA, r.beforeB, r.beforeRead);
    paired_->clear();
    for (const QString& n : r.paired) {
        auto* it = new QListWidgetItem(n, paired_);
        it->setFlags(Qt::ItemIsEnabled); // shown, not changed
        it->setCheckState(Qt::Checked);
    }
    if (!r.ok) {
        // Nothing was changed: the user may correct the file and try again.
        show("A", "Utan", "Összevonás után", r.afterA, false);
        show("B", "Utan", "Összevonás után", r.afterB, false);
        showTotals("Utan", r.afterA, r.afterB, false);
        seams::ui().showMessage(r.error);
        return;
    }
    for (const QString& m : r.renameErrors)
        seams::ui().showMessage(m);
    show("A", "Utan", "Összevonás után", r.afterA, r.afterRead);
    show("B", "Utan", "Összevonás után", r.afterB, r.afterRead);
    showTotals("Utan", r.afterA, r.afterB, r.afterRead);
    if (!r.afterRead)
        seams::ui().showMessage(r.error);
    // The lists show the files as they are now (the ".old" files are ours).
    setFolder(a_, a_.folder, false);
    setFolder(b_, b_.folder, false);
    merge_->setEnabled(false);
}

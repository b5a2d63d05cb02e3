#include "Unit35.h"

#include "Unit2.h"
#include "backup.h"
#include "folders.h"
#include "servicebackup.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString stampedIn(const QString& dir)
{
    return QDir(dir).absoluteFilePath(backup::stampName(QDateTime::currentDateTime()));
}
} // namespace

TForm35::TForm35(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form35");
    setWindowTitle("Adatok mentése");
    auto* top = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    auto* honnan = new QPushButton("Honnan", this);
    honnan->setObjectName("Button1");
    honnan->setToolTip("Az adatbázis elérésiútvonala");
    source_ = new QLineEdit(this);
    source_->setObjectName("Edit1");
    source_->setAccessibleName("Honnan");
    source_->setMinimumWidth(420);
    auto* hova = new QPushButton("Hová", this);
    hova->setObjectName("Button2");
    hova->setToolTip("Kérem adja meg a mentés helyét");
    target_ = new QLineEdit(this);
    target_->setObjectName("Edit2");
    target_->setAccessibleName("Hová");
    g->addWidget(honnan, 0, 0);
    g->addWidget(source_, 0, 1);
    g->addWidget(hova, 1, 0);
    g->addWidget(target_, 1, 1);
    top->addLayout(g);
    auto* note = new QLabel("A kiválasztott útvonalaknak létezni kell.", this);
    note->setObjectName("Label1");
    top->addWidget(note);
    auto* row = new QHBoxLayout;
    auto* mentes = new QPushButton("Mentés", this);
    mentes->setObjectName("Button3");
    mentes->setToolTip("Mentés végrehajtása.");
    row->addStretch();
    row->addWidget(mentes);
    top->addLayout(row);

    onServer_ = Data && Data->ZCon1.connected() && Data->ZCon1.remote();
    if (onServer_) {
        // The server's disk, not this computer's: the folders cannot be browsed
        // from here, and the default is the database's own folder there.
        source_->setText(Data->ZCon1.path());
        source_->setReadOnly(true);
        QString file;
        try {
            file = servicebackup::serverFile(Data->ZCon1);
        } catch (const std::exception&) {
        }
        target_->setText(servicebackup::defaultTarget(file, QDateTime::currentDateTime()));
        honnan->setEnabled(false);
        hova->setEnabled(false);
        hova->setToolTip("A mentés a kiszolgáló gépén készül; az útvonalat a kiszolgálón "
                         "értve kell megadni.");
        note->setText("A mentés a kiszolgáló gépén készül (" + Data->target().server() +
                      "); a \"Hová\" útvonal ott értendő.");
    } else {
        source_->setText(backup::defaultSource());
        target_->setText(stampedIn(backup::defaultTargetDir()));
    }

    connect(honnan, &QPushButton::clicked, this, [this] { app::guarded([this] { HonnanClick(); }); });
    connect(hova, &QPushButton::clicked, this, [this] { app::guarded([this] { HovaClick(); }); });
    connect(mentes, &QPushButton::clicked, this, [this] { app::guarded([this] { MentesClick(); }); });
    form::enterMovesFocus(this);
    // On a server the source is fixed; the place of the backup is what to type.
    if (onServer_)
        target_->setFocus();
    else
        source_->setFocus();
    setFixedSize(sizeHint());
}

void TForm35::HonnanClick()
{
    const QString f = seams::ui().openFileName("Felvásárlási jegy adatai - innen",
                                               source_->text(), "Vadmo7.fdb (*.fdb)");
    if (!f.isEmpty())
        source_->setText(f);
}

void TForm35::HovaClick()
{
    const QString f = seams::ui().saveFileName("Felvásárlási jegy adatai - ide", target_->text(),
                                               "*.fdb (*.fdb)");
    // Only the folder counts: the copy always gets a time-stamped name.
    if (!f.isEmpty())
        target_->setText(stampedIn(QFileInfo(f).absolutePath()));
}

bool TForm35::MentesClick()
{
    if (onServer_) {
        const backup::Result r = servicebackup::run(Data->target(), target_->text().trimmed());
        seams::ui().information("Adatok mentése", r.message);
        return r.ok;
    }
    const QString target = target_->text().trimmed();
    const QString dir = QFileInfo(target).absolutePath();
    QString made;
    if (!target.isEmpty() && QFileInfo::exists(source_->text().trimmed())) {
        // The folder this screen proposes is made on first use; one the user
        // typed is asked about first (a typo should not become a folder).
        const folders::Result f = folders::ensure(dir, backup::defaultTargetDir(), [&](const QString&) {
            return seams::ui().askYesNo("A \"Hová\" mappa nem létezik:\n" +
                                        QDir::toNativeSeparators(dir) + "\n\nLétrehozzam?");
        });
        if (f.state == folders::State::Declined) {
            target_->setFocus();
            return false;
        }
        if (f.state == folders::State::Failed) {
            seams::ui().information("Adatok mentése", "A mentés nem történt meg: a \"Hová\" mappa "
                                                      "nem hozható létre: " +
                                                          QDir::toNativeSeparators(dir));
            return false;
        }
        if (f.state == folders::State::Created)
            made = dir;
    }
    backup::Result r = backup::run(source_->text().trimmed(), target);
    if (!made.isEmpty() && r.ok)
        r.message += "\n\nA mentések mappáját most hoztam létre: " + QDir::toNativeSeparators(made);
    seams::ui().information("Adatok mentése", r.message);
    return r.ok;
}

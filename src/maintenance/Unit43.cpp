#include "Unit43.h"

#include "Unit2.h"
#include "backup.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"
#include "servicebackup.h"
#include "values.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QString mb(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1).replace('.', ',') + " MB";
}
QString currentRegister() { return QDir::current().absoluteFilePath(TData::DatabaseName); }
} // namespace

TForm43::TForm43(QWidget* parent, bool firstStart) : QDialog(parent), firstStart_(firstStart)
{
    setObjectName("Form43");
    setWindowTitle("Adatok visszatöltése");
    auto* top = new QVBoxLayout(this);

    auto* row = new QHBoxLayout;
    folder_ = new QLineEdit(backup::defaultTargetDir(), this);
    folder_->setObjectName("Edit1");
    folder_->setMinimumWidth(380);
    row->addWidget(form::label("Mentések mappája:", folder_, this));
    row->addWidget(folder_, 1);
    auto* tallozas = new QPushButton("Tallózás", this);
    tallozas->setObjectName("Button1");
    tallozas->setToolTip("Mentés választása másik helyről");
    row->addWidget(tallozas);
    top->addLayout(row);

    list_ = new QTreeWidget(this);
    list_->setObjectName("Grid1");
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({"Név", "Dátum", "Méret", "Jegyek", "Utolsó jegy"});
    list_->setMinimumSize(640, 220);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    top->addWidget(form::label("Mentések (a legújabb felül):", list_, this));
    top->addWidget(list_, 1);

    current_ = new QLabel(this);
    current_->setObjectName("Label2");
    current_->setWordWrap(true);
    current_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(current_);

    auto* buttons = new QHBoxLayout;
    restoreBtn_ = new QPushButton("Visszatöltés", this);
    restoreBtn_->setObjectName("Button2");
    restoreBtn_->setToolTip("A kiválasztott mentés visszatöltése; a jelenlegi nyilvántartás félre lesz téve.");
    auto* megsem = new QPushButton("Mégsem", this);
    megsem->setObjectName("Button3");
    buttons->addStretch();
    buttons->addWidget(restoreBtn_);
    buttons->addWidget(megsem);
    top->addLayout(buttons);

    onServer_ = !firstStart_ && Data && Data->ZCon1.connected() && Data->ZCon1.remote();
    if (onServer_) {
        QString file;
        try {
            file = servicebackup::serverFile(Data->ZCon1);
        } catch (const std::exception&) {
        }
        if (file.isEmpty())
            file = Data->target().path.mid(Data->target().path.indexOf(':') + 1);
        current_->setText(restore::serverExplanation(
            Data->target().server(), file,
            servicebackup::defaultTarget(file, QDateTime::currentDateTime())));
        folder_->setEnabled(false);
        tallozas->setEnabled(false);
        list_->setEnabled(false);
        restoreBtn_->setEnabled(false);
        megsem->setFocus();
    } else {
        frissit();
        if (firstStart_) {
            current_->setText("Nincs nyilvántartás ezen a gépen. Válassza ki a visszatöltendő "
                              "mentést; az lesz a nyilvántartás: " +
                              QDir::toNativeSeparators(currentRegister()));
        } else {
            const restore::Info cur = restore::readInfo(currentRegister());
            current_->setText("A jelenlegi nyilvántartás: " + QDir::toNativeSeparators(cur.path) +
                              " (" + cur.summary() + ")");
        }
        folder_->setFocus();
    }

    connect(folder_, &QLineEdit::editingFinished, this, [this] { app::guarded([this] { frissit(); }); });
    connect(tallozas, &QPushButton::clicked, this, [this] { app::guarded([this] { TallozasClick(); }); });
    connect(restoreBtn_, &QPushButton::clicked, this,
            [this] { app::guarded([this] { VisszatoltesClick(); }); });
    connect(list_, &QTreeWidget::itemActivated, this,
            [this] { app::guarded([this] { VisszatoltesClick(); }); });
    connect(megsem, &QPushButton::clicked, this, &QDialog::reject);
    form::enterMovesFocus(this);
}

void TForm43::frissit()
{
    browsed_.clear();
    backups_ = restore::list(folder_->text().trimmed());
    list_->clear();
    for (const restore::Info& b : backups_) {
        auto* it = new QTreeWidgetItem(list_);
        it->setText(0, QFileInfo(b.path).fileName());
        it->setText(1, val::fmtDate(b.made.date()) + " " + b.made.toString("HH:mm"));
        it->setText(2, mb(b.size));
        it->setText(3, b.ok() ? QString::number(b.tickets) : QString("nem olvasható"));
        it->setText(4, b.last.isValid() ? val::fmtDate(b.last) : QString());
        it->setToolTip(0, b.ok() ? b.path : b.path + "\n" + b.error);
        it->setData(0, Qt::UserRole, b.path);
    }
    if (list_->topLevelItemCount() > 0)
        list_->setCurrentItem(list_->topLevelItem(0));
}

void TForm43::TallozasClick()
{
    const QString f = seams::ui().openFileName("Visszatöltendő mentés", folder_->text(),
                                               "Mentés (*.fdb *.FDB)");
    if (f.isEmpty())
        return;
    folder_->setText(QFileInfo(f).absolutePath());
    frissit();
    browsed_ = QFileInfo(f).absoluteFilePath();
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->data(0, Qt::UserRole).toString() == browsed_)
            list_->setCurrentItem(list_->topLevelItem(i));
}

QString TForm43::chosenFile() const
{
    if (!browsed_.isEmpty())
        return browsed_;
    const QTreeWidgetItem* it = list_->currentItem();
    return it ? it->data(0, Qt::UserRole).toString() : QString();
}

bool TForm43::VisszatoltesClick()
{
    if (onServer_)
        return false;
    const QString file = chosenFile();
    if (file.isEmpty()) {
        seams::ui().showMessage("Válassza ki a visszatöltendő mentést.");
        list_->setFocus();
        return false;
    }
    const restore::Info b = restore::readInfo(file);
    if (!b.ok()) {
        seams::ui().showMessage("A visszatöltés nem történt meg: a mentés nem nyitható meg:\n" +
                                QDir::toNativeSeparators(file) + "\n" + b.error);
        return false;
    }
    const QString cur = currentRegister();
    const QDateTime now = QDateTime::currentDateTime();
    const bool hadCurrent = !firstStart_ && QFileInfo::exists(cur);
    const QString question =
        hadCurrent ? restore::confirmation(restore::readInfo(cur), restore::asideName(cur, now), b)
                   : restore::confirmationNew(cur, b);
    if (!seams::ui().askYesNo(question + "\n\nVisszatölti?"))
        return false;

    const dbsettings::Target target = Data ? Data->target() : dbsettings::Target{};
    const bool attached = !firstStart_ && Data && Data->ZCon1.connected();
    const auto closeCurrent = [&] {
        if (attached && Data->ZCon1.connected())
            Data->finish();
    };
    const auto reopen = [&]() -> QString {
        if (!attached)
            return {};
        try {
            Data->connect(target);
            Data->openTables();
            return {};
        } catch (const std::exception& e) {
            return QString::fromUtf8(e.what());
        }
    };
    const restore::Outcome o = restore::run(file, cur, now, closeCurrent, reopen);
    seams::ui().information("Adatok visszatöltése", o.message);
    if (o.ok) {
        restored_ = true;
        accept();
    }
    return o.ok;
}

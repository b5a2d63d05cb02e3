#include "Unit27.h"

#include "gui/guard.h"
#include "mailto.h"
#include "seams.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

TForm27::TForm27(QWidget* parent, const QString& folder) : QDialog(parent)
{
    setObjectName("Form27");
    setWindowTitle("Adatok elküldése  emailben");
    auto* top = new QHBoxLayout(this);

    // The drive box: the mounted file systems, the folder list under it.
    auto* left = new QVBoxLayout;
    drives_ = new QComboBox(this);
    drives_->setObjectName("DriveComboBox1");
    drives_->setAccessibleName("Meghajtó");
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !v.rootPath().startsWith("/proc") &&
            !v.rootPath().startsWith("/sys") && !v.rootPath().startsWith("/run"))
            drives_->addItem(v.rootPath());
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model_->setRootPath("/");
    folders_ = new QTreeView(this);
    folders_->setObjectName("DirectoryListBox1");
    folders_->setAccessibleName("Mappa");
    folders_->setModel(model_);
    for (int c = 1; c < model_->columnCount(); ++c)
        folders_->hideColumn(c);
    folders_->header()->hide();
    folders_->setMinimumSize(260, 300);
    left->addWidget(drives_);
    left->addWidget(folders_);
    top->addLayout(left);

    auto* right = new QVBoxLayout;
    for (const char* t :
         {"A program megkisérli a  levelező programmal elküldeni  vagy a postázandókhoz berakni. ",
          "A \"Küldés1\" program gomb feltételezi, hogy a számítógépre telepítve van az Outlook program.",
          "A levélhez csatolt fáljként  mellékeli a felső sorban megjelenitett fáljt.",
          "Ha sikeres volt akkor a levelezései között megtalálható.",
          "Vagy: a küldendő fálj  nevét másolja vágólapra és  a \"Küldés2\" levelező programjában ",
          "CTRL +  V  billentyüvel  tegye be a  csatolt fájl nevéhez"}) {
        auto* l = new QLabel(QString::fromUtf8(t), this);
        l->setWordWrap(true);
        right->addWidget(l);
    }
    file_ = new QLineEdit(this);
    file_->setObjectName("Edit1");
    auto* fl = new QLabel("A küldendő fálj neve :", this);
    fl->setBuddy(file_);
    file_->setAccessibleName(fl->text());
    file_->setMinimumWidth(380);
    right->addWidget(fl);
    right->addWidget(file_);
    auto* row = new QHBoxLayout;
    auto* k1 = new QPushButton("Küldés1", this);
    k1->setObjectName("Button1");
    // There is no Outlook here to drive; "Küldés2" opens the desktop's mail program.
    k1->setEnabled(false);
    k1->setToolTip("Ezen a gépen a \"Küldés2\" nyitja meg a levelezőprogramot.");
    auto* clip = new QPushButton("Vágólapra másolás", this);
    clip->setObjectName("Button2");
    auto* k2 = new QPushButton("Küldés2", this);
    k2->setObjectName("Button3");
    auto* close = new QPushButton("Mégsem", this);
    close->setObjectName("Button4");
    for (auto* b : {k1, clip, k2, close})
        row->addWidget(b);
    right->addLayout(row);
    right->addStretch();
    top->addLayout(right);

    connect(drives_, &QComboBox::textActivated, this, [this](const QString& root) {
        folders_->setCurrentIndex(model_->index(root));
        folderChanged(root);
    });
    connect(folders_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& i) { folderChanged(model_->filePath(i)); });
    connect(clip, &QPushButton::clicked, this, [this] { VagolapraClick(); });
    connect(k2, &QPushButton::clicked, this, [this] { app::guarded([this] { sendMailClick(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    // Browsing here never changes the program's own folder.
    const QString start = folder.isEmpty() ? QDir::currentPath() : folder;
    // The start folder opened, chosen and in view; again as the model, which
    // reads folders in the background, gets to its parents.
    const auto showStart = [this, start] {
        if (folder_ != start)
            return; // the user has moved on
        const QModelIndex si = model_->index(start);
        for (QModelIndex p = si.parent(); p.isValid(); p = p.parent())
            folders_->expand(p);
        folders_->setCurrentIndex(si);
        folders_->scrollTo(si, QAbstractItemView::PositionAtCenter);
    };
    folder_ = start;
    showStart();
    folderChanged(start);
    connect(model_, &QFileSystemModel::directoryLoaded, this, showStart);
    for (int i = 0; i < drives_->count(); ++i)
        if (start.startsWith(drives_->itemText(i)) &&
            drives_->itemText(i).size() >= drives_->currentText().size())
            drives_->setCurrentIndex(i);
    folders_->setFocus();
    setFixedSize(sizeHint());
}

void TForm27::folderChanged(const QString& folder)
{
    folder_ = folder;
    file_->setText(mailto::registerIn(folder));
}

void TForm27::sendMailClick()
{
    if (!seams::ui().openExternal(mailto::supportAddress()))
        seams::ui().showMessage("Nincs levelezőprogram beállítva ezen a gépen. Írjon a " +
                                QString(mailto::Support) + " címre, és csatolja ezt a fájlt:\n" +
                                file_->text());
}

void TForm27::VagolapraClick()
{
    QGuiApplication::clipboard()->setText(file_->text());
}

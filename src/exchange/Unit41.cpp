#include "Unit41.h"

#include "folders.h"


#include "Unit2.h"
#include "columntitles.h"
#include "exchange/inventory.h"
#include "exchange/tabletext.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"
#include "settings.h"

#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

TForm41::TForm41(QWidget* parent)
    : QDialog(parent), q_(std::make_unique<TQuery>(&Data->ZCon1, "inventory"))
{
    setObjectName("Form41");
    setWindowTitle("Adatátadás a készlethez");
    auto* top = new QVBoxLayout(this);
    auto* dates = new QHBoxLayout;
    auto* title = new QLabel("Teljesités dátuma:", this);
    title->setObjectName("Label1");
    dates->addWidget(title);
    const QDate today = seams::ui().today();
    from_ = new QDateEdit(today, this);
    from_->setObjectName("DateTimePicker1");
    to_ = new QDateEdit(today, this);
    to_->setObjectName("DateTimePicker2");
    for (QDateEdit* d : {from_, to_}) {
        d->setDisplayFormat("yyyy.MM.dd");
        d->setCalendarPopup(true);
        d->setMinimumDate(QDate(1900, 1, 1));
    }
    dates->addWidget(from_);
    dates->addWidget(form::label("-tól", from_, this));
    dates->addWidget(to_);
    dates->addWidget(form::label("-ig", to_, this));
    dates->addStretch();
    top->addLayout(dates);
    auto* again = new QLabel("Kigyüjtés ismételhetö. Az előző felülírásra kerül.", this);
    again->setObjectName("Label2");
    top->addWidget(again);
    nav_ = new DBNavigator(this);
    nav_->setObjectName("DBNavigator1");
    top->addWidget(nav_);
    grid_ = new DBGrid(this);
    grid_->setObjectName("DBGrid1");
    grid_->setTitles(columntitles::all());
    grid_->setAccessibleName("Kigyűjtött tételek");
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setMinimumHeight(200);
    top->addWidget(grid_, 1);
    target_ = new QLineEdit(settings::winPath("C:\\holtu5\\fjegy_keszlethez.xml"), this);
    target_->setObjectName("Edit1");
    target_->setToolTip("A könyvelö programban ezt a  utvonalat kell beállítani.");
    auto* row = new QHBoxLayout;
    row->addWidget(form::label("Adatátadás helye :", target_, this));
    row->addWidget(target_, 1);
    top->addLayout(row);
    auto* must = new QLabel("( Könytárnak létezni kell )", this);
    must->setObjectName("Label4");
    top->addWidget(must);
    auto* made = new QLabel("(Ezen a gépen a javasolt mappát a program létrehozza; másik, nem "
                            "létező mappa előtt rákérdez.)",
                            this);
    made->setObjectName("Label5");
    top->addWidget(made);
    auto* buttons = new QHBoxLayout;
    collect_ = new QPushButton("Kigyüjtés", this);
    collect_->setObjectName("Button1");
    handOver_ = new QPushButton("Adatátadás", this);
    handOver_->setObjectName("Button2");
    handOver_->setToolTip("Átmásolás az adatátadás helyére.");
    handOver_->setEnabled(false);
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button3");
    buttons->addStretch();
    buttons->addWidget(collect_);
    buttons->addWidget(handOver_);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(collect_, &QPushButton::clicked, this, [this] { app::guarded([this] { KigyujtesClick(); }); });
    connect(handOver_, &QPushButton::clicked, this,
            [this] { app::guarded([this] { AdatatadasClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    form::enterMovesFocus(this);
    grid_->setQuery(q_.get());
    nav_->setQuery(q_.get());
    resize(900, 600);
    from_->setFocus();
}

TForm41::~TForm41()
{
    grid_->setQuery(nullptr);
    nav_->setQuery(nullptr);
}

void TForm41::KigyujtesClick()
{
    // Only a document written just now is handed over, never an earlier one.
    handOver_->setEnabled(false);
    // A database error ends the collection here, before any document.
    inventory::openWindow(q_.get(), from_->date(), to_->date(), G.akod);
    QList<GridColumn> columns;
    for (const QString& f : q_->fieldNames())
        if (f != "ID_FJSOR")
            columns << GridColumn{f, f, 0};
    grid_->setQuery(q_.get(), columns);
    const qint64 total = inventory::count(&Data->ZCon1, from_->date(), to_->date(), G.akod);
    // The progress lets events through so that "Mégsem" can be pressed: a
    // second press of this button meanwhile must not start the job again.
    collect_->setEnabled(false);
    const auto again = qScopeGuard([this] { collect_->setEnabled(true); });
    std::unique_ptr<seams::Progress> job =
        seams::startProgress("A készlethez átadott tételek kigyűjtése…", total);
    QString error;
    const QString path = QDir::current().filePath(inventory::FileName);
    const bool written = inventory::writeDocument(
        &Data->ZCon1, inventory::statement(from_->date(), to_->date(), G.akod, &Data->ZCon1), path, &error,
        [&job](qint64 n) {
            if (n % 200 == 0)
                job->setValue(n);
        },
        [&job] { return job->wasCanceled(); });
    job.reset(); // gone before the message
    collect_->setEnabled(true);
    if (!written) {
        seams::ui().showMessage(error);
        from_->setFocus();
        return;
    }
    handOver_->setEnabled(true);
    handOver_->setFocus();
}

void TForm41::AdatatadasClick()
{
    QString error;
    const QString source = QDir::current().filePath(inventory::FileName);
    const QString target = tabletext::localPath(target_->text());
    // The proposed folder is made on first use; a typed one only when the user says so.
    const folders::Result folder = folders::ensure(
        QFileInfo(target).absolutePath(),
        QFileInfo(settings::winPath("C:\\holtu5\\fjegy_keszlethez.xml")).absolutePath(),
        [](const QString& q) { return seams::ui().askYesNo(q); });
    if (!folder.ok()) {
        if (!folder.message.isEmpty())
            seams::ui().showMessage(folder.message);
        target_->setFocus();
        return;
    }
    if (!inventory::handOver(source, target, &error)) {
        seams::ui().showMessage(error);
        target_->setFocus();
        return;
    }
    QString done = QString::fromUtf8(inventory::Copied) + "\n" + QDir::toNativeSeparators(target);
    if (!folder.message.isEmpty())
        done += "\n" + folder.message;
    seams::ui().showMessage(done);
    accept();
}

#include "Unit20.h"

#include "Unit2.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

TForm20::TForm20(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form20");
    setWindowTitle("Excel  táblába");
    auto* top = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    top->addWidget(pages_);
    pages_->addTab(buildTab(0, "Felvásárlási jegy exportálása"), "Fjegy");
    pages_->addTab(buildTab(1, "Östermelö exportálása"), "Östermelö");
    form::enterMovesFocus(this);
    resize(900, 620);
    from_->setFocus();
}

QWidget* TForm20::buildTab(int i, const QString& title)
{
    Tab& t = tabs_[i];
    const QString n = QString::number(i + 1);
    auto* page = new QWidget;
    page->setObjectName("TabSheet" + n);
    auto* l = new QVBoxLayout(page);
    auto* head = new QLabel(title, page);
    head->setObjectName("lbTitle" + n);
    QFont f = head->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    head->setFont(f);
    l->addWidget(head);

    auto* options = new QHBoxLayout;
    if (i == 0) {
        const QDate today = seams::ui().today();
        auto* dates = new QGroupBox("Dátum: ", page);
        dates->setObjectName("GroupBox1");
        auto* dl = new QHBoxLayout(dates);
        from_ = new QDateEdit(QDate(today.year(), 1, 1), dates);
        from_->setObjectName("DateTimePicker1");
        to_ = new QDateEdit(QDate(today.year(), 12, 31), dates);
        to_->setObjectName("DateTimePicker2");
        for (QDateEdit* d : {from_, to_}) {
            d->setDisplayFormat("yyyy.MM.dd");
            d->setCalendarPopup(true);
            d->setMinimumDate(QDate(1900, 1, 1));
        }
        dl->addWidget(from_);
        dl->addWidget(form::label("-tól", from_, dates));
        dl->addWidget(to_);
        dl->addWidget(form::label("-ig", to_, dates));
        options->addWidget(dates);
        auto* which = new QGroupBox("Dátum ?", page);
        which->setObjectName("RadioGroup1");
        auto* wl = new QVBoxLayout(which);
        byFiz_ = new QRadioButton("Fizetési dátum", which);
        byFiz_->setObjectName("rbFizetesi");
        byFelv_ = new QRadioButton("Felvásárlási dátum", which);
        byFelv_->setObjectName("rbFelvasarlasi");
        byFiz_->setChecked(true);
        wl->addWidget(byFiz_);
        wl->addWidget(byFelv_);
        options->addWidget(which);
    }
    auto* kind = new QGroupBox("Fájl", page);
    kind->setObjectName("RadioGroupFormat" + n);
    auto* kl = new QVBoxLayout(kind);
    t.xls = new QRadioButton("Excel 95 (.xls)", kind);
    t.xls->setObjectName("rbXls" + n);
    t.xlsx = new QRadioButton("Excel 2007+ (.xlsx)", kind);
    t.xlsx->setObjectName("rbXlsx" + n);
    t.xls->setChecked(true);
    kl->addWidget(t.xls);
    kl->addWidget(t.xlsx);
    options->addWidget(kind);
    t.show = new QCheckBox(" excel táblát megjelenít", page);
    t.show->setObjectName("CheckBox" + n);
    t.show->setChecked(true);
    options->addWidget(t.show);
    options->addStretch();
    l->addLayout(options);

    t.progress = new QProgressBar(page);
    t.progress->setObjectName("ProgressBar" + n);
    t.progress->setValue(0);
    l->addWidget(t.progress);
    t.nav = new DBNavigator(page);
    t.nav->setObjectName("DBNavigator" + n);
    l->addWidget(t.nav);
    t.grid = new DBGrid(page);
    t.grid->setObjectName("DBGrid" + n);
    t.grid->setAccessibleName(i == 0 ? "Kigyűjtött jegysorok" : "Östermelők");
    t.grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    l->addWidget(t.grid, 1);

    auto* buttons = new QHBoxLayout;
    t.collect = new QPushButton("Kigyüjtés", page);
    t.collect->setObjectName("btKigyujtes" + n);
    t.exportButton = new QPushButton("Exportálás ", page);
    t.exportButton->setObjectName("btExport" + n);
    auto* cancel = new QPushButton("Mégsem", page);
    cancel->setObjectName("btMegsem" + n);
    buttons->addStretch();
    buttons->addWidget(t.collect);
    buttons->addWidget(t.exportButton);
    buttons->addWidget(cancel);
    l->addLayout(buttons);
    connect(t.collect, &QPushButton::clicked, this,
            [this, i] { app::guarded([this, i] { KigyujtesClick(i); }); });
    connect(t.exportButton, &QPushButton::clicked, this,
            [this, i] { app::guarded([this, i] { ExportalasClick(i); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return page;
}

TQuery* TForm20::query(int tab) const { return tab == 0 ? Data->ZQ20 : Data->ZQ30; }

void TForm20::KigyujtesClick(int i)
{
    Tab& t = tabs_[i];
    if (i == 0) {
        const excelexport::DateKind kind = byFelv_->isChecked() ? excelexport::DateKind::Purchase
                                                                : excelexport::DateKind::Payment;
        excelexport::openTicketWindow(Data->ZQ20, from_->date(), to_->date(), kind, G.akod);
        t.statement = excelexport::ticketStatement(from_->date(), to_->date(), kind, G.akod, &Data->ZCon1);
        t.countStatement = excelexport::ticketCount(from_->date(), to_->date(), kind, G.akod);
        t.grid->setQuery(Data->ZQ20, {{"S_MEGNEVEZES", "Megnevezés", 0}});
    } else {
        excelexport::openProducerWindow(Data->ZQ30);
        t.statement = excelexport::producerStatement();
        t.countStatement = excelexport::producerCount();
        QList<GridColumn> columns;
        for (const xls::Column& c : excelexport::producerColumns())
            columns << GridColumn{c.header, c.header, 0};
        t.grid->setQuery(Data->ZQ30, columns);
    }
    t.nav->setQuery(query(i));
    t.collected = true;
    t.exportButton->setFocus();
}

void TForm20::ExportalasClick(int i)
{
    Tab& t = tabs_[i];
    // Another screen may have left other rows in the shared query, and the
    // export reads its own cursor: it writes what this tab collected.
    if (!t.collected)
        KigyujtesClick(i);
    const excelexport::Format format =
        t.xlsx->isChecked() ? excelexport::Format::Xlsx : excelexport::Format::Xls;
    const QString table = i == 0 ? "FJFEJ" : "OSTERMELO";
    const QString path = QDir(excelexport::exportFolder()).filePath(excelexport::fileName(table, format));
    const qint64 total = excelexport::count(&Data->ZCon1, t.countStatement);
    t.progress->setRange(0, int(std::clamp<qint64>(total, 1, INT_MAX)));
    t.progress->setValue(0);
    // The progress lets events through so that "Mégsem" can be pressed: a
    // second press of this button meanwhile must not start the job again.
    for (QPushButton* b : {t.collect, t.exportButton})
        b->setEnabled(false);
    const auto again = qScopeGuard([&t] {
        for (QPushButton* b : {t.collect, t.exportButton})
            b->setEnabled(true);
        t.exportButton->setFocus();
    });
    std::unique_ptr<seams::Progress> job = seams::startProgress(
        i == 0 ? "A jegysorok exportálása…" : "Az östermelők exportálása…", total);
    const excelexport::Result r = excelexport::write(
        &Data->ZCon1, t.statement, table,
        i == 0 ? excelexport::ticketColumns() : excelexport::producerColumns(),
        i == 0 ? excelexport::TicketBoldTo : excelexport::ProducerBoldTo, format, path,
        [&](qint64 n) {
            if (n % 200 == 0) {
                t.progress->setValue(int(std::min<qint64>(n, t.progress->maximum())));
                job->setValue(n);
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            }
        },
        [&job] { return job->wasCanceled(); });
    // The progress goes before any message, so none stays behind it.
    job.reset();
    if (r.cancelled) {
        t.progress->setValue(0);
        seams::ui().showMessage(QString::fromUtf8(excelexport::Cancelled));
        return;
    }
    t.progress->setValue(t.progress->maximum());
    if (!r.saved) {
        // Nothing was saved: no completion is announced.
        seams::ui().showMessage(QString::fromUtf8(excelexport::NotSaved) + "\n" + r.error);
        return;
    }
    lastPath_ = path;
    const QString done = i == 0 ? "A fjegy konvertálás befejeződött!"
                                : "AZ östermelö konvertálás befejeződött!";
    seams::ui().information("Kész!", excelexport::doneText(done, r, table) + "\n" +
                                         QDir::toNativeSeparators(path));
    if (t.show->isChecked() && !seams::ui().openExternal(path))
        seams::ui().showMessage("A táblázatkezelő nem indítható: " + QDir::toNativeSeparators(path));
}

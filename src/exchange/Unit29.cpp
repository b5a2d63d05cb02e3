#include "Unit29.h"

#include "Unit2.h"
#include "exchange/tabletext.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"
#include "settings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

TForm29::TForm29(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form29");
    setWindowTitle("Adat export");
    auto* top = new QVBoxLayout(this);
    auto* l = new QLabel("Exportálásra kerülö adatok:", this);
    l->setObjectName("Label1");
    top->addWidget(l);
    auto* grid = new QGridLayout;
    int i = 0;
    for (const tabletext::Table& t : tabletext::tables()) {
        auto* c = new QCheckBox(t.box, this);
        c->setObjectName(QString("CheckBox%1").arg(i + 1));
        c->setChecked(true);
        grid->addWidget(c, i % 3, i / 3);
        boxes_.push_back(c);
        ++i;
    }
    top->addLayout(grid);
    folder_ = new QLineEdit(settings::winPath("c:\\"), this);
    folder_->setObjectName("Edit1");
    folder_->setToolTip("A mappa elválasztóval a végén; a fájlnevek közvetlenül utána kerülnek.");
    auto* row = new QHBoxLayout;
    row->addWidget(form::label("Hová:", folder_, this));
    row->addWidget(folder_, 1);
    top->addLayout(row);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("ProgressBar1");
    progress_->setVisible(false);
    top->addWidget(progress_);
    // The room the window has beyond its fields goes below them, not between them.
    top->addStretch(1);
    auto* buttons = new QHBoxLayout;
    auto* exp = export_ = new QPushButton("Export", this);
    exp->setObjectName("Button1");
    auto* close = new QPushButton("Bezárás", this);
    close->setObjectName("Button2");
    buttons->addStretch();
    buttons->addWidget(exp);
    buttons->addWidget(close);
    top->addLayout(buttons);
    connect(exp, &QPushButton::clicked, this, [this] { app::guarded([this] { ExportClick(); }); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    resize(520, 260);
    boxes_.front()->setFocus();
}

void TForm29::ExportClick()
{
    const auto& tables = tabletext::tables();
    std::vector<size_t> chosen;
    qint64 total = 0;
    for (size_t i = 0; i < tables.size(); ++i) {
        if (boxes_[i]->isChecked()) {
            chosen.push_back(i);
            total += tabletext::rowCount(&Data->ZCon1, tables[i]);
        }
    }
    struct Hide {
        QProgressBar* p;
        ~Hide() { p->setVisible(false); }
    } hide{progress_};
    progress_->setRange(0, int(std::clamp<qint64>(total, 1, INT_MAX)));
    progress_->setValue(0);
    progress_->setVisible(true);
    // The progress lets events through so that "Mégsem" can be pressed: a
    // second press of this button meanwhile must not start the job again.
    export_->setEnabled(false);
    const auto again = qScopeGuard([this] { export_->setEnabled(true); });
    std::unique_ptr<seams::Progress> job = seams::startProgress("Exportálás…", total);
    // Both go before a closing message, so that none stays behind it.
    auto finish = [&] {
        job.reset();
        progress_->setVisible(false);
    };
    qint64 before = 0;
    QStringList written;
    std::vector<tabletext::Replaced> replaced;
    for (size_t i : chosen) {
        // A file that cannot be written stops the export here with its reason.
        const qint64 n = tabletext::exportTable(
            &Data->ZCon1, tables[i], folder_->text(),
            [&](qint64 n) {
                if (n % 500 == 0) {
                    progress_->setValue(int(std::min<qint64>(before + n, progress_->maximum())));
                    job->setValue(before + n);
                    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                }
            },
            [&job] { return job->wasCanceled(); }, &replaced);
        if (n < 0) {
            finish();
            QString text = "Az exportálás megszakítva: " + tables[i].file + " nem készült el.";
            if (!written.isEmpty())
                text += "\nElkészült: " + written.join(", ") + ".";
            seams::ui().showMessage(text);
            return; // the screen stays open
        }
        before += n;
        written << tables[i].file;
    }
    progress_->setValue(progress_->maximum());
    finish();
    // Values that the code page could not hold are named, not lost unseen.
    const QString lost = tabletext::describe(replaced);
    seams::ui().confirm(lost.isEmpty() ? QString("Exportálás vége. ") : "Exportálás vége. \n\n" + lost);
    accept();
}

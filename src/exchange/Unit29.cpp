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
#include <QVBoxLayout>

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
    auto* buttons = new QHBoxLayout;
    auto* exp = new QPushButton("Export", this);
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
    struct Hide {
        QProgressBar* p;
        ~Hide() { p->setVisible(false); }
    } hide{progress_};
    progress_->setVisible(true);
    progress_->setRange(0, 0);
    for (size_t i = 0; i < tables.size(); ++i) {
        if (!boxes_[i]->isChecked())
            continue;
        // A file that cannot be written stops the export here with its reason.
        tabletext::exportTable(&Data->ZCon1, tables[i], folder_->text(), [this](qint64 n) {
            if (n % 500 == 0)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    }
    seams::ui().confirm("Exportálás vége. ");
    accept();
}

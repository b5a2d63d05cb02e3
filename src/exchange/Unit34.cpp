#include "Unit34.h"

#include "Unit2.h"
#include "columntitles.h"
#include "context.h"
#include "exchange/csvimport.h"
#include "gui/dbwidgets.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

TForm34::TForm34(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form34");
    setWindowTitle("Import excel (csv) -böl");
    auto* top = new QVBoxLayout(this);
    top->addWidget(form::namedLabel("Excelből készített \"csv\" -s file -t kell megadni", "Label1", this));
    top->addWidget(form::namedLabel("Feldolgozás vége üzenet ablakig kell várni.", "Label2", this));
    top->addWidget(form::namedLabel("Excelben a mező szélességet a leghosszabb mezőszélessségre beállítani.",
                        "Label3", this));
    top->addWidget(form::namedLabel("Excelben a szül.dat -ot \"dátum\" mezőre á a többi \"szöveg\" mező",
                        "Label4", this));
    auto* progress = new QHBoxLayout;
    index_ = form::namedLabel("", "Label5", this);
    field_ = form::namedLabel("", "Label6", this);
    progress->addWidget(index_);
    progress->addWidget(field_, 1);
    top->addLayout(progress);

    auto* middle = new QHBoxLayout;
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("Memo1");
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setAccessibleName("Betöltött fájl");
    list_ = new QListWidget(this);
    list_->setObjectName("ListBox1");
    list_->setAccessibleName("A fájl sorai");
    middle->addWidget(memo_, 1);
    middle->addWidget(list_, 1);
    top->addLayout(middle, 1);

    grid_ = new DBGrid(this);
    grid_->setObjectName("DBGrid1");
    grid_->setTitles(columntitles::all());
    grid_->setAccessibleName("Östermelők");
    grid_->setMinimumHeight(160);
    top->addWidget(grid_, 1);

    auto* buttons = new QHBoxLayout;
    open_ = form::namedButton("Megnyitás", "Button1", this);
    run_ = form::namedButton("Feldolgozás", "Button2", this);
    auto* cancel = form::namedButton("Mégsem", "Button3", this);
    buttons->addStretch();
    buttons->addWidget(open_);
    buttons->addWidget(run_);
    buttons->addWidget(cancel);
    top->addLayout(buttons);

    connect(open_, &QPushButton::clicked, this, [this] { app::guarded([this] { MegnyitasClick(); }); });
    connect(run_, &QPushButton::clicked, this, [this] { app::guarded([this] { FeldolgozasClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    open_->setDefault(true);
    resize(900, 640);
    open_->setFocus();
}

void TForm34::MegnyitasClick()
{
    const QString path = seams::ui().openFileName("Megnyitás", QString(), "CSV (*.csv);;Minden fájl (*)");
    if (!path.isEmpty())
        loadFile(path);
}

void TForm34::loadFile(const QString& path)
{
    // A file that cannot be read, or whose text is neither UTF-8 nor
    // Windows-1250, is reported and leaves the list as it was.
    imports::Text text = imports::readText(path);
    fileName_ = QFileInfo(path).fileName();
    encoding_ = imports::encodingName(text.encoding);
    lines_ = std::move(text.lines);
    QStringList texts;
    for (const auto& l : lines_)
        texts << l.text;
    memo_->setPlainText(texts.join('\n'));
    list_->clear();
    list_->addItems(texts);
    run_->setFocus();
}

void TForm34::FeldolgozasClick()
{
    // The progress lets events through so that "Mégsem" can be pressed: a
    // second press of this button meanwhile must not start the job again.
    for (QPushButton* b : {open_, run_})
        b->setEnabled(false);
    const auto again = qScopeGuard([this] {
        for (QPushButton* b : {open_, run_})
            b->setEnabled(true);
    });
    std::unique_ptr<seams::Progress> job =
        seams::startProgress("Feldolgozás: " + fileName_, qint64(lines_.size()));
    imports::Result r = csvimport::importLines(
        app::currentContext(), fileName_, lines_,
        [this, &job](int i) {
            index_->setText(QString::number(i));
            field_->setText(lines_[size_t(i)].text.section(';', 0, 1));
            job->setValue(i);
            if (i % 50 == 0)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        [&job] { return job->wasCanceled(); });
    job.reset(); // gone before the message
    r.encoding = encoding_;
    seams::ui().showMessage(imports::report("A lista feldolgozva", r));
    csvimport::showAll(Data->ZQ30);
    grid_->setQuery(Data->ZQ30);
    Data->ZQ30->last();
}

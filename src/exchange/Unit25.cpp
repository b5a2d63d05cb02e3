#include "Unit25.h"

#include "context.h"
#include "exchange/oldimport.h"
#include "exchange/tabletext.h"
#include "gui/edits.h"
#include "gui/guard.h"
#include "seams.h"
#include "settings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

TForm25::TForm25(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form25");
    setWindowTitle("Régiből import");
    auto* top = new QVBoxLayout(this);
    folder_ = new QLineEdit(settings::winPath("c:\\vadmo5\\"), this);
    folder_->setObjectName("Edit1");
    folder_->setToolTip("A mappa, amelyben a régi verzió exportált fájljai vannak "
                        "(elválasztóval a végén).");
    auto* row = new QHBoxLayout;
    row->addWidget(form::label("Honnan:", folder_, this));
    row->addWidget(folder_, 1);
    top->addLayout(row);
    auto* l = new QLabel("A régi verzióból átemeli a  termék, östermelö és vevö adatait", this);
    l->setObjectName("Label1");
    top->addWidget(l);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("Memo1");
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setAccessibleName("Az importált fájl");
    top->addWidget(memo_, 1);
    auto* which = new QGroupBox("Melyik?", this);
    which->setObjectName("GroupBox1");
    auto* wl = new QHBoxLayout(which);
    producers_ = new QCheckBox("Östermelő", which);
    producers_->setObjectName("CheckBox1");
    products_ = new QCheckBox("Termék", which);
    products_->setObjectName("CheckBox2");
    buyers_ = new QCheckBox("Átvevő", which);
    buyers_->setObjectName("CheckBox3");
    for (QCheckBox* c : {producers_, products_, buyers_}) {
        c->setChecked(true);
        wl->addWidget(c);
    }
    top->addWidget(which);
    auto* buttons = new QHBoxLayout;
    auto* import = import_ = new QPushButton("Import", this);
    import->setObjectName("Button1");
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button2");
    buttons->addStretch();
    buttons->addWidget(import);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(import, &QPushButton::clicked, this, [this] { app::guarded([this] { ImportClick(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    form::enterMovesFocus(this);
    resize(760, 520);
    folder_->setFocus();
}

void TForm25::ImportClick()
{
    using oldimport::Kind;
    const std::pair<QCheckBox*, Kind> kinds[] = {
        {producers_, Kind::Producers}, {products_, Kind::Products}, {buyers_, Kind::Buyers}};
    // The progress lets events through so that "Mégsem" can be pressed: a
    // second press of this button meanwhile must not start the import again.
    import_->setEnabled(false);
    const auto again = qScopeGuard([this] { import_->setEnabled(true); });
    for (const auto& [box, kind] : kinds) {
        if (!box->isChecked())
            continue;
        // The folder field is followed directly by the file name.
        const QString path = tabletext::target(folder_->text(), oldimport::fileName(kind));
        // Stops here when missing, or when its text is neither UTF-8 nor Windows-1250.
        const imports::Text text = imports::readText(path);
        const auto& lines = text.lines;
        QStringList texts;
        for (const auto& line : lines)
            texts << line.text;
        memo_->setPlainText(texts.join('\n'));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        std::unique_ptr<seams::Progress> job =
            seams::startProgress("Import: " + oldimport::fileName(kind), qint64(lines.size()));
        imports::Result r = oldimport::importLines(
            app::currentContext(), kind, lines, [&job](int i) { job->setValue(i); },
            [&job] { return job->wasCanceled(); });
        job.reset(); // gone before the message
        r.encoding = imports::encodingName(text.encoding);
        seams::ui().showMessage(
            imports::report(r.stopped ? r.stopMessage : oldimport::doneMessage(kind), r));
        if (r.stopped || r.cancelled())
            return; // the screen stays open; the kinds after it are not imported
    }
    accept();
}

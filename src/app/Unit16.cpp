#include "Unit16.h"

#include "Unit3.h"
#include "settings.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TForm16::TForm16(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form16");
    setWindowTitle("Névjegy");
    auto* lay = new QVBoxLayout(this);
    auto* text = new QPlainTextEdit(this);
    text->setObjectName("Memo1");
    text->setReadOnly(true);
    text->setAccessibleName("Névjegy");
    text->setPlainText(productTitle() + "\n2006-2020\n" + settings::programVersionText() + "\n\n" +
                       makerContacts());
    // Centre every line of the read-only text.
    QTextCursor c(text->document());
    c.select(QTextCursor::Document);
    QTextBlockFormat bf;
    bf.setAlignment(Qt::AlignHCenter);
    c.mergeBlockFormat(bf);
    text->setMinimumSize(380, 160);
    lay->addWidget(text);
    auto* close = new QPushButton("Mégsem", this);
    close->setObjectName("BitBtn1");
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    lay->addWidget(close, 0, Qt::AlignRight);
    setFixedSize(sizeHint());
}

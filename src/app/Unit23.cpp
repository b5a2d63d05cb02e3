#include "Unit23.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("PasswordDlg");
    setWindowTitle("Jelszó");
    auto* lay = new QVBoxLayout(this);
    auto* label = new QLabel("Kérem adja meg a jelszót", this);
    label->setObjectName("Label1");
    lay->addWidget(label);
    Password = new QLineEdit(this);
    Password->setObjectName("Password");
    Password->setEchoMode(QLineEdit::Password);
    Password->setStyleSheet("lineedit-password-character: 42"); // "*" for each character
    Password->setAccessibleName(label->text());
    label->setBuddy(Password);
    lay->addWidget(Password);
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKBtn");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("CancelBtn");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject); // Esc too
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    lay->addLayout(row);
    Password->setFocus();
}

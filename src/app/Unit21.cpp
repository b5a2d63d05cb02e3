#include "Unit21.h"

#include "seams.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm21::TForm21(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form21");
    setWindowTitle("Sugó");
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel("A program leírása a sugo.pdf fájlban olvasható.", this));
    auto* row = new QHBoxLayout;
    auto* help = new QPushButton("Segitség", this);
    help->setObjectName("Button1");
    auto* close = new QPushButton("Mégsem", this);
    close->setObjectName("Button2");
    row->addWidget(help);
    row->addWidget(close);
    lay->addLayout(row);
    // A missing help file is not reported.
    connect(help, &QPushButton::clicked, this, [] { seams::ui().openExternal("sugo.pdf"); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());
}

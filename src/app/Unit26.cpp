#include "Unit26.h"

#include "seams.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm26::TForm26(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form26");
    setWindowTitle("Távsegítség");
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel("A távsegítség programja a program mappájából indul.", this));
    auto* row = new QHBoxLayout;
    auto* start = new QPushButton("Távsegítség indítása", this);
    start->setObjectName("Button1");
    auto* close = new QPushButton("Mégsem", this);
    close->setObjectName("Button2");
    row->addWidget(start);
    row->addWidget(close);
    lay->addLayout(row);
    // Nothing is reported when the program is not there.
    connect(start, &QPushButton::clicked, this,
            [] { seams::ui().startProgram("TeamViewerQS.exe"); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());
}

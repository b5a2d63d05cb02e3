#include "Unit26.h"

#include "paths.h"
#include "remotehelp.h"
#include "seams.h"
#include "settings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm26::TForm26(QWidget* parent) : QDialog(parent)
{
    setObjectName("Form26");
    setWindowTitle("Távsegítség");
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel("A távsegítség programja a beállított távsegítő program.", this));
    auto* row = new QHBoxLayout;
    auto* start = new QPushButton("Távsegítség indítása", this);
    start->setObjectName("Button1");
    auto* close = new QPushButton("Mégsem", this);
    close->setObjectName("Button2");
    row->addWidget(start);
    row->addWidget(close);
    lay->addLayout(row);
    connect(start, &QPushButton::clicked, this, [] {
        const QString msg = remotehelp::start(settings::IniFile(paths::find(remotehelp::SettingsFile)));
        if (!msg.isEmpty())
            seams::ui().showMessage(msg);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());
}

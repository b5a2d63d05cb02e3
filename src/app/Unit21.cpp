#include "Unit21.h"

#include "paths.h"
#include "seams.h"

#include <QFileInfo>

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
    // The guide ships with the program; a user's own copy in the working folder
    // wins. A missing guide or viewer is said, not passed over in silence.
    connect(help, &QPushButton::clicked, this, [] {
        const QString guide = paths::find("sugo.pdf");
        if (!QFileInfo::exists(guide))
            seams::ui().showMessage("A program leírása (sugo.pdf) nem található:\n" + guide);
        else if (!seams::ui().openExternal(guide))
            seams::ui().showMessage("A program leírását nem sikerült megnyitni, mert nincs "
                                    "PDF-megjelenítő beállítva:\n" + guide);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());
}

#include "Unit3.h"

#include "settings.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

QString productTitle() { return "Felvásárlási jegy 2020"; }

QString makerContacts()
{
    return "Felvásárlási jegy nyilvántartó program\n"
           "Támogatás: a program forgalmazójánál\n"
           "E-mail: tamogatas@vadmo.hu";
}

TAboutBox::TAboutBox(QWidget* parent, int closeAfterMs) : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle("Betöltés...");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(30, 24, 30, 24);
    auto* title = new QLabel(productTitle(), this);
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 8);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    auto* ver = new QLabel(settings::programVersionText(), this);
    ver->setAlignment(Qt::AlignCenter);
    auto* contacts = new QLabel(makerContacts(), this);
    contacts->setAlignment(Qt::AlignCenter);
    auto* loading = new QLabel("Betöltés...", this);
    loading->setAlignment(Qt::AlignCenter);
    lay->addWidget(title);
    lay->addWidget(ver);
    lay->addSpacing(12);
    lay->addWidget(contacts);
    lay->addSpacing(12);
    lay->addWidget(loading);
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, &QDialog::accept);
    timer->start(closeAfterMs);
    // The main window is not shown yet, so centring on it would put the splash
    // where that window has not been placed: the middle of the screen instead.
    adjustSize();
    if (QScreen* sc = QGuiApplication::primaryScreen())
        move(sc->availableGeometry().center() - rect().center());
}

#pragma once
// The start-up splash ("Betöltés...") shown while the register opens.

#include <QDialog>

// Splash shown while the program loads; closes itself after three seconds.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr, int closeAfterMs = 3000);
};

// The product title and the maker's contact details, shared with the about screen.
QString productTitle();
QString makerContacts();

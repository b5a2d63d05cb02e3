#pragma once
// Schema upgrade: the FELIR id column added to the producers.

#include <QDialog>

class TForm37 : public QDialog {
    Q_OBJECT
public:
    explicit TForm37(QWidget* parent = nullptr);
    void runClick();
};

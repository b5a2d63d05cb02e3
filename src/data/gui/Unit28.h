#pragma once
// The schema upgrade and producer correction screens: TForm28 (O_MNYPTAG),
// TForm37 (O_FELIR), TForm42 (D_KAMARA length), TForm36 (shared tax ids).

#include <QDialog>

class TForm28 : public QDialog {
    Q_OBJECT
public:
    explicit TForm28(QWidget* parent = nullptr);
    void runClick();
};

#pragma once
// "Sugó": opens the user guide (sugo.pdf) beside the program.

#include <QDialog>

class TForm21 : public QDialog {
    Q_OBJECT
public:
    explicit TForm21(QWidget* parent = nullptr);
};

#pragma once
// "Névjegy": the program's title, version and its makers' contacts.

#include <QDialog>

class TForm16 : public QDialog {
    Q_OBJECT
public:
    explicit TForm16(QWidget* parent = nullptr);
};

#pragma once
// Schema upgrade: the chamber id column widened.

#include <QDialog>

class TForm42 : public QDialog {
    Q_OBJECT
public:
    explicit TForm42(QWidget* parent = nullptr);
    void runClick();
};

#pragma once
// Schema upgrade: producers sharing a tax id get szja = 1 but the first.

#include <QDialog>

class TForm36 : public QDialog {
    Q_OBJECT
public:
    explicit TForm36(QWidget* parent = nullptr);
    void runClick();
    static QString question();
};

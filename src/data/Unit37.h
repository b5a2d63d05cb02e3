#pragma once
#include <QDialog>

class TForm37 : public QDialog {
    Q_OBJECT
public:
    explicit TForm37(QWidget* parent = nullptr);
    void Button1Click();
};

#pragma once
// The previous edition's producers, products and buyers, read from its three
// fixed-width files in one folder through oldimport.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TForm25 : public QDialog {
    Q_OBJECT
public:
    explicit TForm25(QWidget* parent = nullptr);

    void ImportClick();

    QLineEdit* folder() const { return folder_; }
    QCheckBox* producers() const { return producers_; }
    QCheckBox* products() const { return products_; }
    QCheckBox* buyers() const { return buyers_; }
    QPlainTextEdit* memo() const { return memo_; }

private:
    QLineEdit* folder_;
    QPlainTextEdit* memo_;
    QCheckBox* producers_;
    QCheckBox* products_;
    QCheckBox* buyers_;
    QPushButton* import_;
};

#pragma once
// The six tables written to delimited text files through tabletext.

#include <QDialog>
#include <vector>

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

class TForm29 : public QDialog {
    Q_OBJECT
public:
    explicit TForm29(QWidget* parent = nullptr);

    void ExportClick();

    QLineEdit* folder() const { return folder_; }
    const std::vector<QCheckBox*>& boxes() const { return boxes_; }

private:
    std::vector<QCheckBox*> boxes_;
    QLineEdit* folder_;
    QProgressBar* progress_;
    QPushButton* export_;
};

#pragma once
#include <QDialog>

class QLineEdit;

// The access code dialog of the raw table view.
class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);
    QLineEdit* Password;
};

#pragma once
// "Jelszó": the access code asked before cells of the raw table view can be edited.

#include <QDialog>

class QLineEdit;

// The access code dialog of the raw table view.
class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);
    QLineEdit* Password;
};

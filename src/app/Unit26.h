#pragma once
// "Távsegítség": starts the remote-support program.

#include <QDialog>

class TForm26 : public QDialog {
    Q_OBJECT
public:
    explicit TForm26(QWidget* parent = nullptr);
};

#pragma once
// "Adatok elküldése emailben": the register's path for the attachment and a
// new message to the support in the desktop's mail program.

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QTreeView;

class TForm27 : public QDialog {
    Q_OBJECT
public:
    // The folder list starts at `folder` (the working folder by default).
    explicit TForm27(QWidget* parent = nullptr, const QString& folder = {});

    // The folder list's folder changed.
    void folderChanged(const QString& folder);
    // "Küldés2": a new message to the support in the desktop's mail program.
    void sendMailClick();
    // "Vágólapra másolás": the register's path to the clipboard.
    void VagolapraClick();

    QLineEdit* fileField() const { return file_; }
    QString folder() const { return folder_; }

private:
    QComboBox* drives_;
    QTreeView* folders_;
    QFileSystemModel* model_;
    QLineEdit* file_;
    QString folder_;
};

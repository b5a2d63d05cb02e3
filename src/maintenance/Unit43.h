#pragma once
// "Adatok visszatöltése": a backup copy put back as the register; the current
// one is moved aside, never deleted.

#include "restore.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class TForm43 : public QDialog {
    Q_OBJECT
public:
    // `firstStart`: the program found no register; nothing is open and nothing
    // goes aside.
    explicit TForm43(QWidget* parent = nullptr, bool firstStart = false);

    // Reads the backups of the folder in the folder field into the list.
    void frissit();
    // Browses to a backup file elsewhere and takes it as the choice.
    void TallozasClick();
    // Checks the chosen backup, asks, restores and shows the outcome; true
    // when the register was replaced.
    bool VisszatoltesClick();

    QLineEdit* folder() const { return folder_; }
    QTreeWidget* list() const { return list_; }
    bool onServer() const { return onServer_; }
    bool restored() const { return restored_; }
    const QList<restore::Info>& backups() const { return backups_; }

private:
    QString chosenFile() const;
    bool firstStart_;
    bool onServer_ = false;
    bool restored_ = false;
    QString browsed_;
    QList<restore::Info> backups_;
    QLineEdit* folder_;
    QTreeWidget* list_;
    QLabel* current_;
    QPushButton* restoreBtn_;
};

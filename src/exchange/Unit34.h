#pragma once
// Producers from a ";" file: the file is shown, its lines listed, and
// "Feldolgozás" imports them through csvimport.

#include "exchange/importlines.h"

#include <QDialog>

class DBGrid;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TForm34 : public QDialog {
    Q_OBJECT
public:
    explicit TForm34(QWidget* parent = nullptr);

    void MegnyitasClick();
    void FeldolgozasClick();
    // Loads a file as "Megnyitás" does after the dialog.
    void loadFile(const QString& path);

    QListWidget* list() const { return list_; }
    QPlainTextEdit* memo() const { return memo_; }
    DBGrid* grid() const { return grid_; }
    QPushButton* openButton() const { return open_; }
    QPushButton* runButton() const { return run_; }

private:
    QLabel* index_;
    QLabel* field_;
    QPlainTextEdit* memo_;
    QListWidget* list_;
    DBGrid* grid_;
    QPushButton* open_;
    QPushButton* run_;
    QString fileName_;
    QString encoding_; // how the file was read, told in the end message
    std::vector<imports::Line> lines_;
};

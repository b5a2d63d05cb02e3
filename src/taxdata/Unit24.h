#pragma once
// Merging the 2008M import files of two computers: two folders, their ".imp"
// files, the producers found in both, and one merge per opening. The files
// are handled in merge.

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

class TForm24 : public QDialog {
    Q_OBJECT
public:
    explicit TForm24(QWidget* parent = nullptr);

    // Points side A (or B) at the folder, as choosing it in the folder list does.
    void setFolderA(const QString& folder);
    void setFolderB(const QString& folder);
    QString folderA() const { return a_.folder; }
    QString folderB() const { return b_.folder; }
    // "Összevonás".
    void mergeClick();

    QPushButton* mergeButton() const { return merge_; }
    QListWidget* pairedList() const { return paired_; }
    QListWidget* filesA() const { return a_.files; }
    QListWidget* filesB() const { return b_.files; }
    QPlainTextEdit* instructions() const { return help_; }
    // The result labels by object name ("lbAElottAllat", "lbOsszesUtan", ...).
    QString labelText(const QString& objectName) const;

private:
    struct Side {
        QComboBox* drive = nullptr;
        QListWidget* dirs = nullptr;
        QListWidget* files = nullptr;
        QString folder;
    };
    QWidget* buildSide(Side& s, const QString& key, const QString& heading, const QString& driveHint,
                       const QString& folderHint, const QString& filesHint);
    void setFolder(Side& s, const QString& folder, bool warn = true);
    QString selected(const Side& s) const;
    Side a_, b_;
    QListWidget* paired_;
    QPlainTextEdit* help_;
    QPushButton* merge_;
};

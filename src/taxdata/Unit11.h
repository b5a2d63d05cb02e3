#pragma once
// The 2008M return screen: the month, the collection of the import files and
// the summary list. The rules and the files are in m2008.

#include "m2008.h"

#include <QDialog>

class DBGrid;
class QDateEdit;
class QLineEdit;
class QPushButton;

class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);

    // OK and leaving the end date: take the period texts and check the month.
    void confirmPeriodClick();
    void endDateLeft();
    // A new start date: collect and print wait for the month's check.
    void startDateChanged();
    // "Kigyüjtés" and "Nyomtatás".
    void collectClick();
    void printClick();

    // The period texts and the period total live for the whole run.
    static QString periodTol();
    static QString periodIg();
    static QString periodTotal();

    QDateEdit* tol() const { return tol_; }
    QDateEdit* ig() const { return ig_; }
    QLineEdit* folderField() const { return folder_; }
    QPushButton* collectButton() const { return collect_; }
    QPushButton* printButton() const { return print_; }
    DBGrid* grid() const { return grid_; }

    // The base folder of the month folders (tests point it elsewhere).
    void setBaseFolder(const QString& base) { base_ = base; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void checkPeriod(const char* message);
    m2008::Period period() const;
    QDateEdit* tol_;
    QDateEdit* ig_;
    QLineEdit* folder_;
    DBGrid* grid_;
    QPushButton* ok_;
    QPushButton* collect_;
    QPushButton* print_;
    QString base_;
    bool sumvar_ = false;
};

#pragma once
// The frame of the two grouped period lists (per product, per producer): the
// period, "Dátum ?", the grid over ZQ20 with its navigator and the three
// buttons. Changing an input closes the grid's rows and disables printing
// until the next collection.

#include "reports/lists.h"

#include <QDialog>

class DBGrid;
class QDateEdit;
class QPushButton;
class QRadioButton;

class GroupListScreen : public QDialog {
    Q_OBJECT
public:
    void collectClick(); // "Kigyüjtés"
    void printClick(); // "Nyomtatás"

    QDateEdit* tol() const { return tol_; }
    QDateEdit* ig() const { return ig_; }
    QRadioButton* fizetesi() const { return fizetesi_; }
    QRadioButton* felvasarlasi() const { return felvasarlasi_; }
    QPushButton* collectButton() const { return collect_; }
    QPushButton* printButton() const { return print_; }
    DBGrid* grid() const { return grid_; }
    QString total() const { return total_; }
    lists::Period period() const;

protected:
    GroupListScreen(const char* name, const QString& caption, QWidget* parent);
    // The screen's own queries; return the grand total text.
    virtual QString collect(const lists::Period& p) = 0;
    virtual bool print(const lists::Period& p, const QString& total) = 0;

private:
    void inputChanged();
    QDateEdit* tol_;
    QDateEdit* ig_;
    QRadioButton* fizetesi_;
    QRadioButton* felvasarlasi_;
    DBGrid* grid_;
    QPushButton* collect_;
    QPushButton* print_;
    QString total_ = "0";
};

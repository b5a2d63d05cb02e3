#pragma once
// "Kp. napilista": what was paid out in cash on each payment day, optionally
// by product; "FjLista10.frf" / "FjLista11.frf". The queries are in lists.

#include <QDialog>

class DBGrid;
class QCheckBox;
class QPushButton;

class TForm31 : public QDialog {
    Q_OBJECT
public:
    explicit TForm31(QWidget* parent = nullptr);

    void Button1Click(); // "Kigyüjtés"
    void Button2Click(); // "Nyomtatás"

    QCheckBox* byProduct() const { return byProduct_; }
    QPushButton* collectButton() const { return collect_; }
    QPushButton* printButton() const { return print_; }
    DBGrid* grid() const { return grid_; }

private:
    QCheckBox* byProduct_;
    DBGrid* grid_;
    QPushButton* collect_;
    QPushButton* print_;
};

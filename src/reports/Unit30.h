#pragma once
// One producer's purchases by month and product over the whole data, with
// the totals; "FjLista9.frf". The queries are in lists.

#include <QDialog>

class DBGrid;
class QCheckBox;
class QLineEdit;
class QPushButton;

class TForm30 : public QDialog {
    Q_OBJECT
public:
    explicit TForm30(QWidget* parent = nullptr);

    void chooseProducerClick(); // "Őstermelő": choose the producer in the producer list
    void collectClick(); // "Kigyüjtés"
    void printClick(); // "Nyomtatás"

    QLineEdit* search() const { return search_; }
    QLineEdit* address() const { return cim_; }
    QLineEdit* birth() const { return szido_; }
    QLineEdit* code() const { return kod_; }
    QLineEdit* felvar() const { return felvar_; }
    QLineEdit* kompfelar() const { return kompfelar_; }
    QLineEdit* vetelar() const { return vetelar_; }
    QCheckBox* detailed() const { return detailed_; }
    QPushButton* collectButton() const { return collect_; }
    QPushButton* printButton() const { return print_; }
    DBGrid* grid() const { return grid_; }

private:
    QLineEdit* search_;
    QLineEdit* cim_;
    QLineEdit* szido_;
    QLineEdit* kod_;
    QLineEdit* felvar_;
    QLineEdit* kompfelar_;
    QLineEdit* vetelar_;
    QCheckBox* detailed_;
    DBGrid* grid_;
    QPushButton* choose_;
    QPushButton* collect_;
    QPushButton* print_;
};

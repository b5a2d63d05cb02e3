#pragma once
// "Szerzödés nyomtatás": a contract with one producer, from the particulars
// typed here, printed with "FjSzerzodes.frf". Nothing is stored.

#include <QDialog>
#include <QMap>

class QLabel;
class QLineEdit;
class QPushButton;

class TForm33 : public QDialog {
    Q_OBJECT
public:
    explicit TForm33(QWidget* parent = nullptr);

    void chooseProducerClick(); // "Őstermelő"
    void printClick(); // "Nyomtatás"

    // The particular's field by its variable name ("v_szam", "v_hrsz", ...).
    QLineEdit* field(const QString& variable) const { return fields_.value(variable); }
    QString producerCode() const { return kod_; }
    QLabel* producerName() const { return nev_; }
    QLabel* producerAddress() const { return cim_; }
    QPushButton* printButton() const { return print_; }

private:
    void showProducer();
    QMap<QString, QLineEdit*> fields_;
    QString kod_;
    QLabel* nev_;
    QLabel* cim_;
    QPushButton* choose_;
    QPushButton* print_;
};

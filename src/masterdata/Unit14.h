#pragma once
// The check screen. Its "Adatok" tab tests one number by hand: tax number,
// tax identifier, TAJ number, and the birth date hidden in the tax identifier.

#include <QDialog>

class QDateEdit;
class QLabel;
class QLineEdit;
class QTabWidget;

class TForm14 : public QDialog {
    Q_OBJECT
public:
    explicit TForm14(QWidget* parent = nullptr);

    void adoszamCheck();
    void adoazonCheck();
    void tajCheck();
    void napokCheck();

    QTabWidget* tabs() const { return tabs_; }
    QTabWidget* adatTabs() const { return adatTabs_; }
    QLineEdit* adoszamEdit() const { return adoszam_; }
    QLineEdit* adoazonEdit() const { return adoazon_; }
    QLineEdit* tajEdit() const { return taj_; }
    QLineEdit* napokEdit() const { return napokAdoazon_; }
    QDateEdit* szuletesiIdo() const { return szulIdo_; }
    QLabel* adoszamUzenet() const { return adoszamMsg_; }
    QLabel* adoazonUzenet() const { return adoazonMsg_; }
    QLabel* tajUzenet() const { return tajMsg_; }
    QLabel* napokUzenet() const { return napokMsg_; }
    QLabel* elteltNapok() const { return eltelt_; }
    QLabel* adoazonNapok() const { return napResz_; }

private:
    QWidget* adatokTab();
    QWidget* subTab(const QString& name, const QString& label, QLineEdit*& edit,
                    QLabel*& msg, const QString& msgText, void (TForm14::*check)());
    void hiba(QLabel* msg, const QString& text);
    // Runs a check digit test; a character that is not a digit is reported and
    // leaves the label as it was.
    bool run(bool (*test)(const QString&), const QString& text, bool& valid);

    QTabWidget* tabs_;
    QTabWidget* adatTabs_;
    QLineEdit* adoszam_;
    QLineEdit* adoazon_;
    QLineEdit* taj_;
    QLineEdit* napokAdoazon_;
    QDateEdit* szulIdo_;
    QLabel* adoszamMsg_;
    QLabel* adoazonMsg_;
    QLabel* tajMsg_;
    QLabel* napokMsg_;
    QLabel* eltelt_;
    QLabel* napResz_;
};

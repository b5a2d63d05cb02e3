#pragma once
// The check screen. "Felvásárlási jegy" and "Östermelö" collect ticket lines
// or producers and run the data check over them (datacheck). Its "Adatok" tab tests one number by hand: tax number,
// tax identifier, TAJ number, and the birth date hidden in the tax identifier.

#include "datacheck.h"

#include <QDialog>

class DBGrid;
class QPlainTextEdit;
class QPushButton;
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

    // The ticket tab's and the producer tab's "Kigyüjtés" and "Ellenörzés".
    void jegyKigyujtes();
    void jegyEllenorzes();
    void ostKigyujtes();
    void ostEllenorzes();

    QDateEdit* jegyTol() const { return jegyTol_; }
    QDateEdit* jegyIg() const { return jegyIg_; }
    QPlainTextEdit* jegyNaplo() const { return jegyLog_; }
    QPlainTextEdit* ostNaplo() const { return ostLog_; }
    QPushButton* jegyEllenorzesButton() const { return jegyCheck_; }
    QPushButton* ostEllenorzesButton() const { return ostCheck_; }

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
    QWidget* jegyTab();
    QWidget* ostTab();
    QPlainTextEdit* logView(const char* name, QWidget* parent);
    void runCheck(datacheck::Collection wanted, QPlainTextEdit* log);
    void showCollection();
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
    QDateEdit* jegyTol_;
    QDateEdit* jegyIg_;
    QPlainTextEdit* jegyLog_;
    QPlainTextEdit* ostLog_;
    QPushButton* jegyCheck_;
    QPushButton* ostCheck_;
    DBGrid* jegyGrid_;
    DBGrid* ostGrid_;
    datacheck::Collection collected_ = datacheck::Collection::None;
};

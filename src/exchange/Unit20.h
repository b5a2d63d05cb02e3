#pragma once
// The workbook exports: the ticket lines of a period ("Fjegy") and every
// producer ("Östermelö"). "Kigyüjtés" shows the collection in its shared
// query as a window (a year of lines is never held); "Exportálás " reads the
// same collection a row at a time into FJFEJ.xls / OSTERMELO.xls (or .xlsx)
// in the user's documents folder.

#include "exchange/excelexport.h"

#include <QDialog>

class DBGrid;
class DBNavigator;
class QCheckBox;
class QDateEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TQuery;

class TForm20 : public QDialog {
    Q_OBJECT
public:
    explicit TForm20(QWidget* parent = nullptr);

    // The two tabs' buttons: 0 "Fjegy", 1 "Östermelö".
    void KigyujtesClick(int tab);
    void ExportalasClick(int tab);

    struct Tab {
        QCheckBox* show = nullptr;   // " excel táblát megjelenít"
        QRadioButton* xls = nullptr;
        QRadioButton* xlsx = nullptr;
        QProgressBar* progress = nullptr;
        DBGrid* grid = nullptr;
        DBNavigator* nav = nullptr;
        QPushButton* collect = nullptr;
        QPushButton* exportButton = nullptr;
        bool collected = false;
        // What "Kigyüjtés" collected, for the export and its row count.
        excelexport::Statement statement;
        excelexport::Statement countStatement;
    };
    const Tab& tab(int i) const { return tabs_[i]; }
    QTabWidget* pages() const { return pages_; }
    QDateEdit* dateFrom() const { return from_; }
    QDateEdit* dateTo() const { return to_; }
    QRadioButton* byPurchase() const { return byFelv_; }
    // Where the last export was saved.
    QString lastPath() const { return lastPath_; }

private:
    QWidget* buildTab(int i, const QString& title);
    TQuery* query(int tab) const;
    QTabWidget* pages_;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    QRadioButton* byFiz_ = nullptr;
    QRadioButton* byFelv_ = nullptr;
    Tab tabs_[2];
    QString lastPath_;
};

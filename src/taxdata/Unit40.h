#pragma once
// The audit data supply screen: the range, the collection into the work
// table, the export with its checks and the schema's verdict, the settings,
// and viewers for the file and the schema. The work is done in auditxml.

#include "auditxml.h"

#include <QDialog>

class DBGrid;
class DBNavigator;
class FilteredEdit;
class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTabWidget;

class TForm40 : public QDialog {
    Q_OBJECT
public:
    explicit TForm40(QWidget* parent = nullptr);

    void KigyujtesClick();
    void ExportClick();
    void TallozClick();
    void MentesClick();
    void XmlBetoltesClick();
    void XsdBetoltesClick();

    // Where the schema is read from: the current folder, else the program's.
    static QString xsdPath();

    QTabWidget* tabs() const { return tabs_; }
    QDateEdit* dateFrom() const { return from_; }
    QDateEdit* dateTo() const { return to_; }
    FilteredEdit* numFrom() const { return numFrom_; }
    FilteredEdit* numTo() const { return numTo_; }
    QLineEdit* pathField() const { return hova_; }
    QLineEdit* onszlaField() const { return onszla_; }
    QLineEdit* papirField() const { return papir_; }
    QCheckBox* onszlaBox() const { return onszlaBox_; }
    QCheckBox* nemKotelezoBox() const { return nemKot_; }
    QRadioButton* byNumber() const { return bySzam_; }
    QRadioButton* byPurchaseDate() const { return byFelv_; }
    QPushButton* exportButton() const { return export_; }
    QPushButton* collectButton() const { return collect_; }
    QPlainTextEdit* xmlViewer() const { return xmlView_; }
    QPlainTextEdit* xsdViewer() const { return xsdView_; }
    DBGrid* grid() const { return grid_; }
    QProgressBar* progress() const { return progress_; }

private:
    auditxml::Range range() const;
    auditxml::Settings currentSettings() const;
    rec::Context context() const;
    QTabWidget* tabs_;
    QRadioButton* byKelt_;
    QRadioButton* byFelv_;
    QRadioButton* byDatum_;
    QRadioButton* bySzam_;
    QDateEdit* from_;
    QDateEdit* to_;
    FilteredEdit* numFrom_;
    FilteredEdit* numTo_;
    QLineEdit* hova_;
    QLineEdit* onszla_;
    QLineEdit* papir_;
    QCheckBox* onszlaBox_;
    QCheckBox* nemKot_;
    DBGrid* grid_;
    DBNavigator* nav_;
    QProgressBar* progress_;
    QPushButton* collect_;
    QPushButton* export_;
    QPlainTextEdit* xmlView_;
    QPlainTextEdit* xsdView_;
};

#pragma once
// Ticket entry: header, lines and totals of a new or an unprinted ticket.

#include "ticketentry.h"

#include <QDialog>
#include <QMap>

class DBGrid;
class DBNavigator;
class FilteredEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TForm9 : public QDialog {
    Q_OBJECT
public:
    enum class Mode { New, Modify };
    static QString modeText(Mode m); // "Új felvásárlási jegy" / "Felvásárlási jegy módositás"

    explicit TForm9(Mode mode, QWidget* parent = nullptr);
    Mode mode() const { return mode_; }
    // Modification: loads the ticket on which the list (ZQ10) stands; call before showing.
    bool load();
    // New ticket: number, orphan lines, dates, declaration. False (after the
    // message) when the buyer's counter cannot give a number.
    bool prepareNew();

    // "Őstermelő": the producer list as a picker, then its current producer.
    void chooseProducer();
    // Takes the producer with the given code as the ticket's producer.
    void takeProducer(const QString& kod);
    // Payment date := purchase date + the producer's bank days (8 when none), for transfers.
    void paymentDateRule();
    // f_mindosszes: ticket sums, payable amount and the producer's totals to date.
    void f_mindosszes();
    // "OK": the checks, then the save. True when the ticket was written.
    bool save();
    // Line buttons.
    void newLine();
    void changeLine();
    void deleteLine();

    QString bszam() const { return bszam_; }
    // Where this ticket's lines are stored: the key of an unsaved new ticket,
    // else its number.
    QString linesKey() const { return lineKey_.isEmpty() ? bszam_ : lineKey_; }
    QString ostKod() const { return ostKod_; }
    FilteredEdit* edit(const QString& name) const { return edits_.value(name); }
    QCheckBox* utal() const { return utal_; }
    QCheckBox* nyilatkBox() const { return nyilatkBox_; }
    QPlainTextEdit* nyilatk() const { return nyilatk_; }
    QLineEdit* total(const QString& name) const { return totals_.value(name); }
    DBGrid* lines() const { return grid_; }
    QPushButton* producerButton() const { return ostButton_; }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void buildUi();
    void applyOptionalFields();
    void requeryLines(qint64 positionOnId = -1);
    void showProducer();
    std::optional<double> number(FilteredEdit* e, const QString& label) const;
    // The ticket's rates as typed, for the line's check of the totals.
    payable::Input rates() const;
    // After a line entry: lines, totals and producer re-read.
    void afterLineEntry(qint64 positionOnId);

    Mode mode_;
    QString bszam_;
    QString lineKey_; // a new ticket's lines wait under it until the save numbers them
    qint64 id_ = 0;
    bool printed_ = false; // printed when opened (the list's service shortcut)
    QString ostKod_;
    int ostFhat_ = 0;
    QMap<QString, FilteredEdit*> edits_;  // kelt, felvkelt, fizkelt, szja, levonszaz, jarul, levonas, megj
    QMap<QString, QLabel*> labels_;
    QMap<QString, QLineEdit*> totals_;    // far, kfelar, var, fizetendo, far1, kfelar1, var1
    QMap<QString, QLineEdit*> producer_;  // producer panel fields by column
    QLineEdit* sorszam_;
    QCheckBox* utal_;
    QCheckBox* nyilatkBox_;
    QPlainTextEdit* nyilatk_;
    QPushButton* ostButton_;
    QTabWidget* tabs_;
    DBGrid* grid_;
    DBNavigator* nav_;
    payable::Result pay_;
    double var_ = 0;
    bool shown_ = false;
};

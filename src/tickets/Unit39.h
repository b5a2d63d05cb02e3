#pragma once
// The voiding document screen: the new number, the voiding date, OK.

#include <QDate>
#include <QDialog>

class FilteredEdit;
class QLineEdit;
class QPushButton;

class TForm39 : public QDialog {
    Q_OBJECT
public:
    // voidedNumber and voidedIssueDate come from the list's current row.
    TForm39(const QString& voidedNumber, const QDate& voidedIssueDate, QWidget* parent = nullptr);

    // Date := today, the next number, orphan lines removed. False (after the
    // message) when the buyer's counter gives no number: the screen must not open.
    bool prepare();
    // "OK": the date checks, then the voiding. True when the document was stored.
    // After a failed step the message is shown and the screen stays open.
    bool okClick();

    QString newNumber() const { return newNumber_; }
    QLineEdit* szam() const { return number_; }
    FilteredEdit* kelt() const { return date_; }
    QPushButton* okButton() const { return ok_; }

private:
    QString voided_;
    QDate voidedIssue_;
    QString newNumber_;
    QLineEdit* number_;
    FilteredEdit* date_;
    QPushButton* ok_;
};

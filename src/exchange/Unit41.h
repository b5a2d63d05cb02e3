#pragma once
// The inventory hand-over: a period's ticket lines collected into the
// document "fjegy_keszlethez.xml" of the working folder, then copied to where
// the inventory program reads it (inventory).

#include <QDialog>
#include <memory>

class DBGrid;
class DBNavigator;
class QDateEdit;
class QLineEdit;
class QPushButton;
class TQuery;

class TForm41 : public QDialog {
    Q_OBJECT
public:
    explicit TForm41(QWidget* parent = nullptr);
    ~TForm41() override;

    void KigyujtesClick();
    void AdatatadasClick();

    QDateEdit* dateFrom() const { return from_; }
    QDateEdit* dateTo() const { return to_; }
    QLineEdit* target() const { return target_; }
    QPushButton* handOverButton() const { return handOver_; }
    TQuery* query() const { return q_.get(); }

private:
    std::unique_ptr<TQuery> q_;
    QDateEdit* from_;
    QDateEdit* to_;
    DBGrid* grid_;
    DBNavigator* nav_;
    QLineEdit* target_;
    QPushButton* collect_;
    QPushButton* handOver_;
};

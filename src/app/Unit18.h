#pragma once
// Choosing the current buyer.

#include <QDialog>

class QComboBox;
class QPushButton;

class TForm18 : public QDialog {
    Q_OBJECT
public:
    explicit TForm18(QWidget* parent = nullptr);
    QComboBox* list() const { return list_; }

    // Applies the buyer the list stands on: values, menus, caption.
    void applySelection();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void loadBuyers();
    void setBuyerFromRow(int row);
    QComboBox* list_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool loaded_ = false;
};

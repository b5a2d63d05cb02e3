#pragma once
// Year opening: the buyer's ticket number counter, settable while the buyer has
// no ticket, and a read-only view of the ticket entry options.

#include <QDialog>
#include <QMap>

class FilteredEdit;
class QLineEdit;
class QPushButton;
class QTabWidget;

class TForm38 : public QDialog {
    Q_OBJECT
public:
    explicit TForm38(QWidget* parent = nullptr);

    // The lock and the current counter (runs once, when first shown).
    void FormShow();
    // "Letárol": checks, then insert or update of the counter. True when stored.
    bool storeClick();

    bool locked() const { return locked_; }
    QLineEdit* jelenlegi() const { return current_; }
    FilteredEdit* uj() const { return new_; }
    QPushButton* letarol() const { return store_; }
    QTabWidget* tabs() const { return tabs_; }
    // The settings tab's field of a key ("Edit14Visible", "Edit8Text", ...).
    QLineEdit* setting(const QString& key) const { return settings_.value(key); }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void fillSettings();
    QTabWidget* tabs_;
    QLineEdit* current_;
    FilteredEdit* new_;
    QWidget* newLabel_;
    QPushButton* store_;
    QMap<QString, QLineEdit*> settings_;
    bool locked_ = false;
    bool shownOnce_ = false;
};

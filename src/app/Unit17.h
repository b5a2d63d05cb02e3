#pragma once
// The current buyer's profile.

#include <QDialog>
#include <QMap>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TForm17 : public QDialog {
    Q_OBJECT
public:
    explicit TForm17(QWidget* parent = nullptr);

    // Reads the current buyer into the fields; false (after the message) when it fails.
    bool load();
    // The ticket lock: "Letárol" only while the buyer has no ticket.
    void applyTicketLock();
    // "Letárol": checks, then the save. Returns true when the row was written.
    bool save();

    QLineEdit* field(const QString& column) const { return fields_.value(column); }
    QPlainTextEdit* nyilatk() const { return nyilatk_; }
    QCheckBox* ev() const { return ev_; }
    QCheckBox* kisado() const { return kisado_; }
    QPushButton* letarol() const { return save_; }
    QPushButton* megsem() const { return cancel_; }

    // The letter that unlocks "Letárol" while "Mégsem" has the focus.
    static constexpr char UnlockKey = 'X';

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    bool readBuyer();
    void refreshGlobals();
    QMap<QString, QLineEdit*> fields_;
    QPlainTextEdit* nyilatk_;
    QCheckBox* ev_;
    QCheckBox* kisado_;
    QPushButton* save_;
    QPushButton* cancel_;
    bool shownOnce_ = false;
};

#pragma once
// The current buyer's profile.

#include "gui/entryscreen.h"

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class TForm17 : public EntryScreen {
    Q_OBJECT
public:
    explicit TForm17(QWidget* parent = nullptr);

    // Reads the current buyer into the fields; false (after the message) when it fails.
    bool load() override;
    // The ticket lock: "Letárol" only while the buyer has no ticket.
    void applyTicketLock();

    QPlainTextEdit* nyilatk() const { return nyilatk_; }
    QCheckBox* ev() const { return ev_; }
    QCheckBox* kisado() const { return kisado_; }
    QPushButton* letarol() const { return okButton(); }
    QPushButton* megsem() const { return cancel_; }

    // The letter that unlocks "Letárol" while "Mégsem" has the focus.
    static constexpr char UnlockKey = 'X';

protected:
    rec::Outcome saveRecord() override;
    void afterWrite() override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QPlainTextEdit* nyilatk_;
    QCheckBox* ev_;
    QCheckBox* kisado_;
    QPushButton* cancel_;
    bool shownOnce_ = false;
};

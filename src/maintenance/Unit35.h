#pragma once
// "Adatok mentése": a time-stamped copy of the register.

#include <QDateTime>
#include <QDialog>

class QLineEdit;

class TForm35 : public QDialog {
    Q_OBJECT
public:
    explicit TForm35(QWidget* parent = nullptr);

    void HonnanClick();
    void HovaClick();
    // Copies and shows the outcome; true when the copy was made.
    bool MentesClick();

    QLineEdit* source() const { return source_; }
    QLineEdit* target() const { return target_; }
    // The register is on a Firebird server: the server's own backup, written
    // on the server's disk.
    bool onServer() const { return onServer_; }

private:
    bool onServer_ = false;
    QLineEdit* source_;
    QLineEdit* target_;
};

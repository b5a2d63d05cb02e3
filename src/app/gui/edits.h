#pragma once
// Entry fields with the key filters of the entry screens, the Enter and
// Shift+Enter focus moves, and labels that name their fields.

#include <QLineEdit>

class QFormLayout;
class QGridLayout;
class QDateEdit;
class QLabel;

class FilteredEdit : public QLineEdit {
    Q_OBJECT
public:
    enum Mode {
        Any,      // every character
        Digits,   // 0-9
        Decimal,  // 0-9 and the decimal comma
        Signed,   // 0-9, the decimal comma and a leading minus
        DateText, // 0-9 and "."
        Sex,      // "1" or "2"
    };
    explicit FilteredEdit(Mode mode = Any, int maxLength = 32767, QWidget* parent = nullptr);
    Mode mode() const { return mode_; }
    void setMode(Mode m) { mode_ = m; }
    bool accepts(QChar c) const;
    bool acceptsText(const QString& text) const;
    // Pastes the text if every character passes the filter; otherwise tells the
    // user and leaves the field as it was.
    void pasteText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    Mode mode_;
};

class QBoxLayout;
class QPushButton;

namespace form {

// Enter moves to the next field, Shift+Enter to the previous one, in every
// entry field below root (buttons keep their own Enter).
// Date fields below root also select the part clicked into (selectDatePartOnClick).
void enterMovesFocus(QWidget* root);
// A click into the date field selects the year, month or day under the
// pointer, so typed digits replace it.
void selectDatePartOnClick(QDateEdit* edit);

// A label for the field: buddy and accessible name, so that screen readers
// know the field by its label.
QLabel* label(const QString& text, QWidget* field, QWidget* parent = nullptr);
void addRow(QFormLayout* lay, const QString& text, QWidget* field);

// A label or a button with its objectName (the tests and the guide find
// controls by it). A button that is not autoDefault is never pressed by Enter
// in a field of its dialog.
QLabel* namedLabel(const QString& text, const QString& name, QWidget* parent);
QPushButton* namedButton(const QString& text, const QString& name, QWidget* parent,
                         bool autoDefault = true);
// A named button at the end of a row of buttons, never pressed by Enter in a field.
QPushButton* addButton(QBoxLayout* row, const QString& text, const QString& name, QWidget* parent);

// A field that shows a value without letting it be changed.
void setReadOnly(QLineEdit* e);

} // namespace form

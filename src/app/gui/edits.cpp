#include "edits.h"

#include "seams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QMouseEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

FilteredEdit::FilteredEdit(Mode mode, int maxLength, QWidget* parent)
    : QLineEdit(parent), mode_(mode)
{
    setMaxLength(maxLength);
}

bool FilteredEdit::accepts(QChar c) const
{
    switch (mode_) {
    case Any:
        return true;
    case Digits:
        return c.isDigit() && c.unicode() < 128;
    case Decimal:
        return (c.isDigit() && c.unicode() < 128) || c == ',';
    case Signed:
        return (c.isDigit() && c.unicode() < 128) || c == ',' || c == '-';
    case DateText:
        return (c.isDigit() && c.unicode() < 128) || c == '.';
    case Sex:
        return c == '1' || c == '2';
    }
    return true;
}

bool FilteredEdit::acceptsText(const QString& text) const
{
    for (QChar c : text)
        if (!accepts(c))
            return false;
    return true;
}

static QString filterMessage(FilteredEdit::Mode m)
{
    switch (m) {
    case FilteredEdit::Digits:
        return "Ebbe a mezőbe csak számjegy írható!";
    case FilteredEdit::Decimal:
    case FilteredEdit::Signed:
        return "Ebbe a mezőbe csak szám írható (tizedesvesszővel)!";
    case FilteredEdit::DateText:
        return "Ebbe a mezőbe csak dátum írható (éééé.hh.nn)!";
    case FilteredEdit::Sex:
        return "Ebbe a mezőbe csak 1 vagy 2 írható!";
    case FilteredEdit::Any:
        break;
    }
    return {};
}

void FilteredEdit::pasteText(const QString& raw)
{
    QString text = raw;
    text.remove('\r');
    text.remove('\n');
    if (mode_ != Any)
        text = text.trimmed();
    if (!acceptsText(text)) {
        seams::ui().showMessage(filterMessage(mode_));
        return;
    }
    insert(text); // QLineEdit keeps maxLength
}

void FilteredEdit::keyPressEvent(QKeyEvent* e)
{
    if (e->matches(QKeySequence::Paste)) {
        if (!isReadOnly())
            pasteText(QApplication::clipboard()->text());
        return;
    }
    const QString t = e->text();
    bool printable = !t.isEmpty() && t[0].isPrint() &&
                     !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (printable && !acceptsText(t))
        return; // filtered key: nothing happens
    QLineEdit::keyPressEvent(e);
}

void FilteredEdit::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu* menu = createStandardContextMenu();
    // Route the menu's paste through the same check as Ctrl+V.
    for (QAction* a : menu->actions()) {
        if (a->objectName() == "edit-paste") {
            disconnect(a, nullptr, this, nullptr);
            connect(a, &QAction::triggered, this,
                    [this] { pasteText(QApplication::clipboard()->text()); });
        }
    }
    menu->exec(e->globalPos());
    delete menu;
}

namespace form {
namespace {

// The key event of Enter or Return (either Enter key), or nullptr.
const QKeyEvent* enterKey(QEvent* ev)
{
    if (ev->type() != QEvent::KeyPress)
        return nullptr;
    auto* ke = static_cast<QKeyEvent*>(ev);
    return ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter ? ke : nullptr;
}

class EnterFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        const QKeyEvent* ke = enterKey(ev);
        if (!ke)
            return false;
        auto* w = qobject_cast<QWidget*>(obj);
        if (!w)
            return false;
        QWidget* win = w->window();
        bool back = ke->modifiers() & Qt::ShiftModifier;
        // focusNextPrevChild is protected; ask the window through the focus chain.
        QWidget* target = back ? w->previousInFocusChain() : w->nextInFocusChain();
        int guard = 0;
        while (target && target != w && guard++ < 500) {
            if (target->isVisibleTo(win) && target->isEnabled() &&
                (target->focusPolicy() & Qt::TabFocus) && target->window() == win)
                break;
            target = back ? target->previousInFocusChain() : target->nextInFocusChain();
        }
        if (target && target != w)
            target->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        return true;
    }
};

// Enter on a focused button presses it, as Space does: the buttons of an
// entry screen are no default buttons (Enter moves between the fields), so
// without this Enter on "OK" would do nothing.
class ButtonEnterFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        const QKeyEvent* ke = enterKey(ev);
        if (!ke || (ke->modifiers() & ~Qt::KeypadModifier))
            return false;
        auto* b = qobject_cast<QAbstractButton*>(obj);
        if (!b || !b->isEnabled())
            return false;
        b->click();
        return true;
    }
};

// A click into a date field selects the part under the pointer (year,
// month or day), so that the digits typed next replace it. Qt only places
// the cursor there, and a digit typed into the middle of "2026" makes no
// valid date, so the field seemed not to take typing at all.
class DateClickFilter : public QObject {
public:
    DateClickFilter(QDateEdit* edit, QObject* parent) : QObject(parent), edit_(edit) {}
    bool eventFilter(QObject* obj, QEvent* ev) override
    {
        if (ev->type() != QEvent::MouseButtonRelease)
            return false;
        const auto* me = static_cast<QMouseEvent*>(ev);
        auto* le = qobject_cast<QLineEdit*>(obj);
        if (me->button() != Qt::LeftButton || !le || le->hasSelectedText())
            return false; // a drag keeps its own selection
        edit_->setSelectedSection(edit_->currentSection());
        return false;
    }

private:
    QDateEdit* edit_;
};

} // namespace

void selectDatePartOnClick(QDateEdit* edit)
{
    if (auto* le = edit->findChild<QLineEdit*>())
        le->installEventFilter(new DateClickFilter(edit, edit));
}

void enterMovesFocus(QWidget* root)
{
    auto* f = new EnterFilter(root);
    auto* pressOnEnter = new ButtonEnterFilter(root);
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
            qobject_cast<QCheckBox*>(w) || qobject_cast<QDateEdit*>(w))
            w->installEventFilter(f);
        if (auto* d = qobject_cast<QDateEdit*>(w))
            selectDatePartOnClick(d);
    }
    // Enter must not press a default button while it moves between fields.
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>()) {
        if (auto* pb = qobject_cast<QPushButton*>(b)) {
            pb->setAutoDefault(false);
            pb->setDefault(false);
            pb->installEventFilter(pressOnEnter);
        }
    }
}

QLabel* label(const QString& text, QWidget* field, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(field);
    QString plain = text;
    plain.remove('&');
    field->setAccessibleName(plain.trimmed());
    return l;
}

void addRow(QFormLayout* lay, const QString& text, QWidget* field)
{
    lay->addRow(label(text, field), field);
}

void setReadOnly(QLineEdit* e)
{
    e->setReadOnly(true);
    // Out of the Tab and Enter order and never the first focus; a click still
    // lets the text be selected and copied.
    e->setFocusPolicy(Qt::ClickFocus);
    QPalette p = e->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    e->setPalette(p);
}

QLabel* namedLabel(const QString& text, const QString& name, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton* namedButton(const QString& text, const QString& name, QWidget* parent,
                         bool autoDefault)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(autoDefault);
    return b;
}

QPushButton* addButton(QBoxLayout* row, const QString& text, const QString& name, QWidget* parent)
{
    QPushButton* b = namedButton(text, name, parent, false);
    row->addWidget(b);
    return b;
}

} // namespace form

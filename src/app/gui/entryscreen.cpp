#include "entryscreen.h"

#include "Unit2.h"
#include "edits.h"
#include "guard.h"
#include "outcome.h"
#include "seams.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

EntryScreen::EntryScreen(Mode mode, const char* newText, const char* modifyText, QWidget* parent)
    : QDialog(parent), mode_(mode), newText_(newText), modifyText_(modifyText)
{
}

QString EntryScreen::modeText() const
{
    return QString::fromUtf8(mode_ == Mode::Uj ? newText_ : modifyText_);
}

void EntryScreen::finishFields(const QString& codeColumn, QString (*nextCode)())
{
    form::enterMovesFocus(this);
    if (mode_ == Mode::Uj && nextCode)
        app::guarded([&] {
            offered_ = nextCode();
            fields_.value(codeColumn)->setText(offered_);
        });
}

FilteredEdit* EntryScreen::addField(const QString& column, FilteredEdit* e)
{
    e->setObjectName("ed_" + column);
    fields_[column] = e;
    return e;
}

void EntryScreen::addButtons(QBoxLayout* top, const QString& okText)
{
    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(okText, this);
    ok_->setObjectName("Button1");
    auto* cancel = new QPushButton("Mégsem", this);
    cancel->setObjectName("Button2");
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    app::wireOk(ok_, this, [this] { return save(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QHash<QString, QString> EntryScreen::fieldTexts() const
{
    QHash<QString, QString> out;
    for (auto it = fields_.begin(); it != fields_.end(); ++it)
        out[it.key()] = it.value()->text();
    return out;
}

bool EntryScreen::loadRow(TQuery* q, const QString& failMessage)
{
    try {
        if (q->isEmpty() || q->recNo() < 0)
            throw std::runtime_error("no current row");
        for (auto it = fields_.begin(); it != fields_.end(); ++it) {
            if (!q->hasField(it.key()))
                continue;
            it.value()->setText(q->asString(it.key()));
            it.value()->setCursorPosition(0);
        }
    } catch (const std::exception&) {
        seams::ui().showMessage(failMessage);
        return false;
    }
    return true;
}

bool EntryScreen::save()
{
    rec::Outcome o = saveRecord();
    if (o.kind != rec::Outcome::CheckFailed)
        app::guarded([this] { afterWrite(); });
    if (o.ok())
        return true;
    QWidget* at = fields_.value(o.field);
    if (!at && !o.field.isEmpty())
        at = findChild<QWidget*>("ed_" + o.field);
    if (at)
        revealField(at);
    o.field = at ? at->objectName() : QString();
    if (o.message.isEmpty()) { // a question answered "no": only back to the field
        if (at)
            at->setFocus();
        return false;
    }
    return app::showOutcome(o, this);
}

void EntryScreen::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    // The first field that takes typing, in tab order (not a tab header, not
    // a read-only field).
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        auto* le = qobject_cast<QLineEdit*>(w);
        if (le && !le->isReadOnly() && le->isVisible() && le->isEnabled() &&
            (le->focusPolicy() & Qt::TabFocus)) {
            le->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}


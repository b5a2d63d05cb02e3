#include "outcome.h"

#include "guard.h"
#include "seams.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QWidget>

namespace app {

bool showOutcome(const rec::Outcome& outcome, QWidget* form)
{
    if (outcome.ok())
        return true;
    seams::ui().showMessage(outcome.message);
    if (!outcome.field.isEmpty() && form) {
        if (auto* w = form->findChild<QWidget*>(outcome.field)) {
            w->setFocus();
            if (auto* e = qobject_cast<QLineEdit*>(w))
                e->selectAll();
        }
    }
    return false;
}

void wireOk(QAbstractButton* ok, QDialog* dialog, std::function<bool()> save)
{
    QObject::connect(ok, &QAbstractButton::clicked, dialog, [dialog, save = std::move(save)] {
        bool saved = false;
        guarded([&] { saved = save(); });
        if (saved)
            dialog->accept();
    });
}

} // namespace app

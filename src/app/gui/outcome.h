#pragma once
// How an entry screen shows what its check-and-save unit returned, and the one
// wiring of its OK button: save, and close only when the save succeeded.

#include "records.h"

#include <functional>

class QAbstractButton;
class QDialog;
class QWidget;

namespace app {

// Shows the outcome's message (nothing when saved) and, after a failed check,
// puts the focus on the field named by the outcome, looked up under `form`.
// Returns outcome.ok().
bool showOutcome(const rec::Outcome& outcome, QWidget* form);

// OK runs `save` under the general error handler; the dialog is accepted only
// when `save` returns true, so after a failure it stays open with what was typed.
void wireOk(QAbstractButton* ok, QDialog* dialog, std::function<bool()> save);

} // namespace app

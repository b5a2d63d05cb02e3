#pragma once
// The common frame of the four upgrade screens: texts, "Módosítás végrehajtása"
// and "Mégsem"; the outcome shown as the screens of this kind show it.

#include "records.h"

#include <QStringList>
#include <functional>

class QDialog;

namespace upgradescreen {

// Lays out the texts and buttons; `run` is the first button's action.
void build(QDialog* d, const QString& name, const QString& caption, const QStringList& texts,
           const QString& buttonText, bool withCancel, std::function<void()> run);

// "Már létezik…" as a confirmation, a step failure as its numbered message,
// success as "Módositás végrehajtva.". True after success.
bool show(const rec::Outcome& o);

} // namespace upgradescreen

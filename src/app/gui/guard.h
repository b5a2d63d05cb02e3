#pragma once
// The general error handler: an error that escapes a screen's action ends that
// action and is shown with its own text; the program goes on.

#include "seams.h"

#include <QApplication>
#include <exception>
#include <utility>

namespace app {

void reportError(const std::exception& e);

template <class F>
void guarded(F&& f)
{
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        reportError(e);
    }
}

// Catches what escapes an event handler, as a last resort.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace app

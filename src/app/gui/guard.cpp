#include "guard.h"

namespace app {

void reportError(const std::exception& e)
{
    try {
        seams::ui().showError(QString::fromUtf8(e.what()));
    } catch (...) {
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportError(e);
    }
    return false;
}

} // namespace app

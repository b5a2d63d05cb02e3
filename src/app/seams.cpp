#include "seams.h"

#include <stdexcept>

namespace seams {
namespace {
Ui* g_default = nullptr;
Ui* g_current = nullptr;
}

Ui& ui()
{
    if (g_current)
        return *g_current;
    if (g_default)
        return *g_default;
    throw std::logic_error("no user interface installed");
}

namespace {
class NoProgress : public Progress {
public:
    void setValue(qint64) override {}
    bool wasCanceled() const override { return false; }
};
} // namespace

std::unique_ptr<Progress> Ui::startProgress(const QString&, qint64)
{
    return std::make_unique<NoProgress>();
}

std::unique_ptr<Progress> startProgress(const QString& text, qint64 maximum)
{
    if (Ui* u = g_current ? g_current : g_default)
        return u->startProgress(text, maximum);
    return std::make_unique<NoProgress>();
}

QDate today()
{
    if (Ui* u = g_current ? g_current : g_default)
        return u->today();
    return QDate::currentDate();
}

void setUi(Ui* u) { g_current = u; }
void setDefaultUi(Ui* u) { g_default = u; }

} // namespace seams

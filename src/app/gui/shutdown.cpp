#include "shutdown.h"

#include "Unit2.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <pthread.h>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace app {
namespace {

int g_sig[2] = {-1, -1};

void onSignal(int)
{
    char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_sig[0], &c, 1);
}

// Commits what the user finished, then leaves at once. Detaching from here
// is not safe: the engine's shutdown then waits forever on its own shared
// memory, holding the database file. Forced writes make the commit durable.
[[noreturn]] void commitAndLeave(int code)
{
    if (Data && Data->IBTrans1.inTransaction()) {
        try {
            Data->IBTrans1.commit();
        } catch (...) {
        }
    }
    std::_Exit(code);
}

void leaveAtExit() { commitAndLeave(1); }

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

void blockTerminationSignals()
{
    sigset_t set = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void installExitHook()
{
    // Registered after the engine's own handlers, so it runs before them.
    std::atexit(leaveAtExit);
}

void installShutdownHandlers(QObject* owner)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_sig) != 0)
        return;
    auto* sn = new QSocketNotifier(g_sig[1], QSocketNotifier::Read, owner);
    QObject::connect(sn, &QSocketNotifier::activated, owner, [sn] {
        sn->setEnabled(false);
        char c;
        [[maybe_unused]] ssize_t n = ::read(g_sig[1], &c, 1);
        commitAndLeave(0);
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    sigset_t set = terminationSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

} // namespace app

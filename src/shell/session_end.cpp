#include "session_end.h"

#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace ruzez {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// A signal handler may do next to nothing: it writes the signal into a
// pipe, and the event loop reads it there (the self-pipe).
int g_pipe[2] = {-1, -1};
SessionEnd *g_current = nullptr;

void setHandler(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    // One signal at a time, and a call interrupted by one goes on.
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        sigaddset(&action.sa_mask, signal);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
}

extern "C" void onSessionSignal(int signal)
{
    // The closing handlers run once: from now on each of these signals ends
    // the program at once, as if nobody had caught it.
    setHandler(SIG_DFL);
    const int saved = errno;
    const char number = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = saved;
}

} // namespace

SessionEnd::SessionEnd(std::function<void()> closeWindow, QObject *parent)
    : QObject(parent)
    , m_closeWindow(std::move(closeWindow))
{
    Q_ASSERT(!g_current);
    g_current = this;
    if (g_pipe[0] < 0 && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_pipe[0] = g_pipe[1] = -1;
    if (g_pipe[0] >= 0) {
        m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::onSignal);
        catchSignals();
    }
    static const bool registered = std::atexit(&SessionEnd::atExit) == 0;
    Q_UNUSED(registered);
}

SessionEnd::~SessionEnd()
{
    // Whatever closeWindow reaches may be gone after us: a signal now ends
    // the program as it would without us.
    if (m_notifier && !m_ended)
        setHandler(SIG_DFL);
    g_current = nullptr;
}

void SessionEnd::catchSignals()
{
    if (m_notifier && !m_ended)
        setHandler(&onSessionSignal);
}

void SessionEnd::onSignal()
{
    char number = 0;
    while (::read(g_pipe[0], &number, 1) == 1) {
    }
    end();
}

void SessionEnd::end()
{
    if (m_ended)
        return;
    m_ended = true;
    if (m_notifier)
        m_notifier->setEnabled(false);
    if (m_closeWindow)
        m_closeWindow();
}

void SessionEnd::atExit()
{
    // exit() called while the window is still up: the display has gone
    // (Qt's X11 platform ends the program so) or a library gave up. The
    // window's handlers can only run on the window's own thread.
    if (g_current && !g_current->m_ended && QThread::currentThread() == g_current->thread())
        g_current->end();
}

} // namespace ruzez

#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace ruzez {

// The session ending under the program rather than through its window:
// SIGTERM, SIGHUP and SIGINT (logout, shutdown, kill, Ctrl+C) and the loss
// of the display. Each runs closeWindow once, which is to run the window's
// closing handlers and end the program, so that the main course program
// reads "NON" afterwards. A second signal ends the program at once.
//
// The display: when its connection breaks, Qt's X11 platform calls exit()
// from the event loop, so closeWindow runs from an exit handler, on the
// window's thread, before the process goes. SIGKILL cannot be caught.
//
// One at a time per process; it stops watching when it ends, so it must
// end before whatever closeWindow reaches. At exit(), the static objects
// made after this one's construction are gone already (exit handlers run
// newest first): closeWindow must not need them.
class SessionEnd : public QObject
{
    Q_OBJECT

public:
    explicit SessionEnd(std::function<void()> closeWindow, QObject *parent = nullptr);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd &) = delete;
    SessionEnd &operator=(const SessionEnd &) = delete;

private:
    void catchSignals();
    void onSignal();
    void end();
    static void atExit();

    std::function<void()> m_closeWindow;
    QSocketNotifier *m_notifier = nullptr;
    bool m_ended = false;
};

} // namespace ruzez

#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <vector>

class QWebEnginePage;

namespace ruzez {

// Keeps the buttons acting on a page whose script never gives the hand back
// (an endless loop): the engine would wait for the script before it leaves
// the page. The page is asked every second for a sign of life, in a script
// world of its own; a page that has not answered for kHung counts as hung,
// and an action on it first ends its renderer process (the engine starts a
// new one for what comes next).
class RendererWatchdog : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kHung{5000};

    explicit RendererWatchdog(QWebEnginePage *page);

    // Runs `action` at once, or, on a hung page, once its renderer has
    // ended (actions asked for meanwhile follow in order).
    void act(std::function<void()> action);
    bool hung() const;

signals:
    // The renderer of a hung page was ended.
    void rendererEnded();

private:
    void probe();
    void runPending();

    QWebEnginePage *m_page = nullptr;
    QTimer m_probe;
    QElapsedTimer m_lastAnswer;
    std::vector<std::function<void()>> m_pending;
    // The engine reports the end of the process it was told nothing about
    // within milliseconds; should it not, the actions go ahead anyway.
    QTimer m_ending;
};

} // namespace ruzez

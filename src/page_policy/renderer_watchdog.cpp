#include "page_policy/renderer_watchdog.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <signal.h>

namespace ruzez {

namespace {

constexpr std::chrono::milliseconds kProbeInterval{1000};
constexpr std::chrono::milliseconds kEndingGrace{1000};

} // namespace

RendererWatchdog::RendererWatchdog(QWebEnginePage *page)
    : QObject(page)
    , m_page(page)
{
    m_lastAnswer.start();
    m_probe.setInterval(kProbeInterval);
    connect(&m_probe, &QTimer::timeout, this, &RendererWatchdog::probe);
    m_probe.start();

    m_ending.setSingleShot(true);
    m_ending.setInterval(kEndingGrace);
    connect(&m_ending, &QTimer::timeout, this, &RendererWatchdog::runPending);

    // A new process has had no chance to answer yet.
    connect(m_page, &QWebEnginePage::renderProcessPidChanged, this, [this] { m_lastAnswer.restart(); });
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, &RendererWatchdog::runPending,
            Qt::QueuedConnection);
}

void RendererWatchdog::probe()
{
    m_page->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                          [self = QPointer<RendererWatchdog>(this)](const QVariant &) {
                              if (self)
                                  self->m_lastAnswer.restart();
                          });
}

bool RendererWatchdog::hung() const
{
    const qint64 pid = m_page->renderProcessPid();
    return pid > 0 && pid != QCoreApplication::applicationPid()
        && m_lastAnswer.elapsed() > kHung.count();
}

void RendererWatchdog::act(std::function<void()> action)
{
    if (!m_pending.empty()) {
        m_pending.push_back(std::move(action));
        return;
    }
    if (!hung()) {
        action();
        return;
    }
    m_pending.push_back(std::move(action));
    m_ending.start();
    ::kill(pid_t(m_page->renderProcessPid()), SIGKILL);
    emit rendererEnded();
}

void RendererWatchdog::runPending()
{
    m_ending.stop();
    m_lastAnswer.restart();
    auto pending = std::exchange(m_pending, {});
    for (auto &action : pending)
        action();
}

} // namespace ruzez

#include "browser/engine_page.h"

namespace ruzez {

EnginePage::EnginePage(NavigationSeen navigationSeen, WindowFactory windowFactory, QObject *parent)
    : JavaScriptDialogPage(parent)
    , m_navigationSeen(std::move(navigationSeen))
    , m_windowFactory(std::move(windowFactory))
{
}

void EnginePage::detach()
{
    m_navigationSeen = nullptr;
    m_windowFactory = nullptr;
    m_takeOver = nullptr;
}

bool EnginePage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    if (m_takeOver && m_takeOver(url, type, isMainFrame))
        return false;
    if (isMainFrame && m_navigationSeen)
        m_navigationSeen(url);
    return true;
}

QWebEnginePage *EnginePage::createWindow(WebWindowType type)
{
    return m_windowFactory ? m_windowFactory(type) : nullptr;
}

} // namespace ruzez

#include "browser/engine_page.h"

#include "page_compat/drive_letters.h"

#include <QTimer>

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
    // A link written with the disc's drive letter: the course file it means.
    if (const QUrl onDrive = driveLetterAddress(url); isMainFrame && !onDrive.isEmpty()) {
        QTimer::singleShot(0, this, [this, onDrive] { load(onDrive); });
        return false;
    }
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

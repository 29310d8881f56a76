#pragma once

#include "browser/javascript_dialogs.h"

#include <functional>

namespace ruzez {

// The engine's page with the two decisions the component takes over: it
// reports each main-frame navigation before it starts, and it hands
// requests for a new window to the component. Its JavaScript dialogs are
// French and can be stopped (JavaScriptDialogPage).
class EnginePage : public JavaScriptDialogPage
{
public:
    using NavigationSeen = std::function<void(const QUrl &url)>;
    using WindowFactory = std::function<QWebEnginePage *(WebWindowType type)>;

    EnginePage(NavigationSeen navigationSeen, WindowFactory windowFactory, QObject *parent = nullptr);

    // From now on navigations go unreported and new windows are refused.
    void detach();
    // Addresses this takes (true) never reach the engine.
    using TakeOver = std::function<bool(const QUrl &url, NavigationType type, bool isMainFrame)>;
    void setOutsideContent(TakeOver takeOver) { m_takeOver = std::move(takeOver); }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;

private:
    NavigationSeen m_navigationSeen;
    WindowFactory m_windowFactory;
    TakeOver m_takeOver;
};

} // namespace ruzez

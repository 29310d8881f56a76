#pragma once

#include <QWebEngineView>

#include <functional>

namespace ruzez {

// A plain browser window of its own, for a page that asked for a new window
// and was let through: the page, its title in the caption, and nothing
// else. It closes when the page asks to, and deletes itself when closed.
// The windows its page opens in turn count with the others of the limit.
class SeparateBrowserWindow : public QWebEngineView
{
    Q_OBJECT

public:
    // Gives the page where a window the page opens in turn goes.
    using OpenWindow = std::function<QWebEnginePage *()>;

    // Whoever opens the window keeps the count of such windows and owns
    // them; the window has no parent, so that no window manager keeps it
    // above the main one.
    explicit SeparateBrowserWindow(OpenWindow openWindow);
};

} // namespace ruzez

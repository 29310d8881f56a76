#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QMenu;
class QWebEngineContextMenuRequest;
class QWebEngineView;

namespace ruzez {

// The right-click menu of a page, in French and holding only what a pupil
// needs: going back and forward, reloading, printing, copying. Nothing that
// shows the page's source, saves it or opens a window outside the course's
// own window rules.
class PageContextMenu : public QObject
{
    Q_OBJECT

public:
    using PrintCommand = std::function<void()>;

    // Replaces the engine's own menu on `view` (which owns this object);
    // without a print command the menu offers no printing.
    PageContextMenu(QWebEngineView *view, PrintCommand print);

    // The menu for one request, as it is shown.
    std::unique_ptr<QMenu> menuFor(const QWebEngineContextMenuRequest &request) const;

private:
    void show(const QPoint &position);

    QWebEngineView *m_view;
    PrintCommand m_print;
};

} // namespace ruzez

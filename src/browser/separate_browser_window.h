#pragma once

#include <QWebEngineView>

namespace ruzez {

// A plain browser window of its own, for a page that asked for a new window
// and was let through: the page, its title in the caption, and nothing
// else. It closes when the page asks to, and deletes itself when closed.
class SeparateBrowserWindow : public QWebEngineView
{
    Q_OBJECT

public:
    // parent owns the window; the window stays a top-level window.
    explicit SeparateBrowserWindow(QWidget *parent);

protected:
    QWebEngineView *createWindow(QWebEnginePage::WebWindowType type) override;
};

} // namespace ruzez

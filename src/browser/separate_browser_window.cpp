#include "browser/separate_browser_window.h"

#include "browser/context_menu.h"
#include "browser/javascript_dialogs.h"

namespace ruzez {

SeparateBrowserWindow::SeparateBrowserWindow(QWidget *parent)
    : QWebEngineView(parent)
{
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(800, 600);
    setPage(new JavaScriptDialogPage(this));
    new PageContextMenu(this, nullptr);
    connect(this, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
    connect(page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

// A page opened here may open further windows of its own: they belong to the
// same owner, so closing the main window closes them all.
QWebEngineView *SeparateBrowserWindow::createWindow(QWebEnginePage::WebWindowType)
{
    auto *window = new SeparateBrowserWindow(parentWidget());
    window->show();
    return window;
}

} // namespace ruzez

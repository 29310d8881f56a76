#include "browser/separate_browser_window.h"

#include "browser/context_menu.h"
#include "browser/javascript_dialogs.h"
#include "page_compat/popup_compat.h"
#include "page_policy/error_pages.h"

#include <QWebEngineLoadingInfo>

namespace ruzez {

namespace {

class PopupPage : public JavaScriptDialogPage
{
public:
    PopupPage(SeparateBrowserWindow::OpenWindow openWindow, QObject *parent)
        : JavaScriptDialogPage(parent)
        , m_openWindow(std::move(openWindow))
    {
    }

protected:
    QWebEnginePage *createWindow(WebWindowType) override { return m_openWindow(); }

private:
    SeparateBrowserWindow::OpenWindow m_openWindow;
};

} // namespace

SeparateBrowserWindow::SeparateBrowserWindow(OpenWindow openWindow)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setPage(new PopupPage(std::move(openWindow), this));
    new PageContextMenu(this, nullptr);
    new PopupCompat(this); // sizes the page asks for, window.print()
    connect(this, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
    connect(page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    auto *errorPages = new ErrorPages(page());
    connect(page(), &QWebEnginePage::loadingChanged, errorPages,
            [errorPages](const QWebEngineLoadingInfo &info) {
                if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
                    errorPages->loadEnded(info, [] {});
            });
}

} // namespace ruzez

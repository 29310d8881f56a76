#include "browser/separate_browser_window.h"

#include "browser/context_menu.h"
#include "browser/javascript_dialogs.h"
#include "browser/popup_limit.h"
#include "page_compat/popup_compat.h"
#include "page_policy/error_pages.h"

#include <QWebEngineLoadingInfo>

namespace ruzez {

namespace {

class PopupPage : public JavaScriptDialogPage
{
public:
    PopupPage(PopupLimit &limit, QObject *parent)
        : JavaScriptDialogPage(parent)
        , m_limit(limit)
    {
    }

protected:
    QWebEnginePage *createWindow(WebWindowType) override { return m_limit.open(); }

private:
    PopupLimit &m_limit;
};

} // namespace

SeparateBrowserWindow::SeparateBrowserWindow(PopupLimit &limit)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setPage(new PopupPage(limit, this));
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

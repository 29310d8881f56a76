#pragma once

#include "browser/browser_component.h"
#include "browser/outside_content.h"

#include <QDeadlineTimer>
#include <QUrl>
#include <QWebEnginePage>

#include <functional>
#include <memory>

class QPrinter;
class QWebEngineLoadingInfo;
class QWebEngineView;

namespace ruzez {

class EnginePage;
class ErrorPages;
class OutsideContent;
class PopupLimit;
class RendererWatchdog;

// The embedded browser over Qt WebEngine. It translates the engine's
// signals into the component's events in one place:
//   load started          -> DownloadBegin
//   load progress p       -> ProgressChange(p, 100)
//   load finished         -> NavigateComplete2, then DownloadComplete (a
//                            failed load once our French page shows)
//   link hovered          -> StatusTextChange (the link's address, or "")
//   main-frame navigation -> BeforeNavigate2(url)
//   new window requested  -> NewWindow2(&cancel)
// A move inside the page shown (to an anchor, or through the history
// between anchors) loads nothing, so the engine reports only the new
// address; it is reported here as a whole navigation all the same, so that
// whoever follows the events stays in step with what is shown.
class WebEngineBrowser : public BrowserComponent
{
    Q_OBJECT

public:
    // Prepares the printer for a print request and says whether to print.
    using PrintSetup = std::function<bool(QPrinter &printer)>;

    // What the engine cannot show goes to the desktop through handOff;
    // printSetup, when given, replaces the platform's print dialog.
    explicit WebEngineBrowser(DesktopHandOff handOff, PrintSetup printSetup = {},
                              QWidget *parent = nullptr);
    ~WebEngineBrowser() override;

    bool Navigate(const QString &address) override;
    bool Navigate2(const QString &address) override;
    bool GoBack() override;
    bool GoForward() override;
    bool Refresh() override;
    bool Refresh2() override;
    bool Stop() override;
    bool ExecWB(int command, int option) override;

    QString LocationName() const override;
    QString LocationURL() const override;
    bool Busy() const override;
    void setStatusBar(bool visible) override;

    QWebEnginePage *page() const;
    // Our page for a failed load of a local file says why the page policy refused it.
    ErrorPages &errorPages() const { return *m_errorPages; }

signals:
    // A print job has ended; success is false when nothing was printed.
    void printFinished(bool success);
    // The page asked to add an address to the favourites, on a click.
    void favouriteRequested(const QUrl &url, const QString &title);

private:
    void requested();
    void act(std::function<void()> request);
    void onLoadStarted();
    void onLoadProgress(int progress);
    void onLoadingChanged(const QWebEngineLoadingInfo &info);
    void onLoadFinished();
    void onUrlChanged(const QUrl &url);
    QWebEnginePage *openWindow(QWebEnginePage::WebWindowType type);
    bool print(bool askFirst);
    void onPrintDone(bool success);

    PrintSetup m_printSetup;
    QWebEngineView *m_view = nullptr;
    EnginePage *m_page = nullptr;
    OutsideContent *m_outside = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    // Our pages for failed loads, the watch on a script that never yields,
    // the windows pages open (browser/popup_limit.h).
    ErrorPages *m_errorPages = nullptr;
    RendererWatchdog *m_watchdog = nullptr;
    PopupLimit *m_popups = nullptr;
    // A request is busy from the call on, before the engine reports the load
    // started; bounded, for a request the engine drops without a word.
    QDeadlineTimer m_requested;
};

} // namespace ruzez

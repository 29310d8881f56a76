#include "browser/web_engine_browser.h"

#include "browser/address.h"
#include "browser/context_menu.h"
#include "browser/engine_language.h"
#include "browser/engine_page.h"
#include "browser/outside_content.h"
#include "browser/popup_limit.h"
#include "page_policy/error_pages.h"
#include "page_policy/renderer_watchdog.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineView>

namespace ruzez {

namespace {

// How long a request counts as busy before the engine says it started.
constexpr std::chrono::milliseconds kRequestGrace{1000};

bool askWithPrintDialog(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

WebEngineBrowser::WebEngineBrowser(DesktopHandOff handOff, PrintSetup printSetup, QWidget *parent)
    : BrowserComponent(parent)
    , m_printSetup(std::move(printSetup))
    , m_view(new QWebEngineView(this))
{
    if (!m_printSetup)
        m_printSetup = [this](QPrinter &printer) { return askWithPrintDialog(printer, this); };

    m_page = new EnginePage([this](const QUrl &url) { emit BeforeNavigate2(url.toString()); },
                            [this](QWebEnginePage::WebWindowType type) { return openWindow(type); },
                            m_view); // the view owns its page
    askPagesInFrench(*m_page->profile());
    m_outside = new OutsideContent(m_page, std::move(handOff));
    m_page->setOutsideContent([this](const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame) {
        return m_outside->takeOver(url, type, isMainFrame);
    });
    m_view->setPage(m_page);
    m_errorPages = new ErrorPages(m_page);
    m_watchdog = new RendererWatchdog(m_page);
    m_popups = new PopupLimit([this](const QUrl &url) { act([this, url] { m_page->load(url); }); }, this);
    new PageContextMenu(m_view, [this] { ExecWB(kPrintCommand, kDefaultOption); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    // Whoever gives the component the focus (F6, the search closing) means the page.
    setFocusProxy(m_view);

    connect(m_page, &QWebEnginePage::loadStarted, this, &WebEngineBrowser::onLoadStarted);
    connect(m_page, &QWebEnginePage::loadProgress, this, &WebEngineBrowser::onLoadProgress);
    connect(m_page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::onLoadingChanged);
    connect(m_page, &QWebEnginePage::urlChanged, this, &WebEngineBrowser::onUrlChanged);
    connect(m_page, &QWebEnginePage::linkHovered, this, &BrowserComponent::StatusTextChange);
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, this,
            [this](const QString &, bool success) { onPrintDone(success); });
    connect(m_view, &QWebEngineView::printFinished, this, &WebEngineBrowser::onPrintDone);
    // window.print(): the page is printed as by "Imprimer".
    connect(m_page, &QWebEnginePage::printRequested, this, [this] { ExecWB(kPrintCommand, 0); });
    connect(m_page, &JavaScriptDialogPage::favouriteRequested, this, &WebEngineBrowser::favouriteRequested);
}

// The engine may still report while it shuts down: nobody listens any more.
// It cannot drop a page while it prints it, so during a print job the view
// lives on, unseen, and goes (with the printer) when the job ends.
WebEngineBrowser::~WebEngineBrowser()
{
    delete m_errorPages;
    delete m_watchdog;
    m_page->detach();
    m_page->disconnect(this);
    m_view->disconnect(this);
    if (!m_printer) {
        delete m_view;
        return;
    }
    m_view->hide();
    m_view->setParent(nullptr);
    const auto release = [view = m_view, printer = std::shared_ptr<QPrinter>(std::move(m_printer))] {
        view->deleteLater();
    };
    connect(m_page, &QWebEnginePage::pdfPrintingFinished, m_view, release);
    connect(m_view, &QWebEngineView::printFinished, m_view, release);
}

bool WebEngineBrowser::Navigate(const QString &address)
{
    const QUrl url = addressToUrl(address);
    if (!url.isValid())
        return false;
    act([this, url] { m_page->load(url); });
    return true;
}

bool WebEngineBrowser::Navigate2(const QString &address)
{
    return Navigate(address);
}

bool WebEngineBrowser::GoBack()
{
    if (!m_page->history()->canGoBack())
        return false;
    act([this] { m_page->triggerAction(QWebEnginePage::Back); });
    return true;
}

bool WebEngineBrowser::GoForward()
{
    if (!m_page->history()->canGoForward())
        return false;
    act([this] { m_page->triggerAction(QWebEnginePage::Forward); });
    return true;
}

bool WebEngineBrowser::Refresh()
{
    act([this] { m_page->triggerAction(QWebEnginePage::Reload); });
    return true;
}

bool WebEngineBrowser::Refresh2()
{
    return Refresh();
}

// The engine cannot stop a page it is printing (it fails hard): during a
// print job the call fails and the load goes on.
bool WebEngineBrowser::Stop()
{
    if (m_printer)
        return false;
    m_requested = QDeadlineTimer();
    m_watchdog->act([this] { m_page->triggerAction(QWebEnginePage::Stop); });
    return true;
}

bool WebEngineBrowser::ExecWB(int command, int option)
{
    if (command != kPrintCommand)
        return false;
    return print(option != kDontPromptUser);
}

QString WebEngineBrowser::LocationName() const
{
    return m_page->title();
}

QString WebEngineBrowser::LocationURL() const
{
    return m_page->url().toString();
}

void WebEngineBrowser::requested()
{
    m_requested.setRemainingTime(kRequestGrace);
}

// A request acts even on a page whose script never yields.
void WebEngineBrowser::act(std::function<void()> request)
{
    requested();
    m_watchdog->act(std::move(request));
}

bool WebEngineBrowser::Busy() const
{
    return m_page->isLoading() || !m_requested.hasExpired() || m_errorPages->writing();
}

// The engine has no status bar of its own: the window keeps the status text.
void WebEngineBrowser::setStatusBar(bool)
{
}

QWebEnginePage *WebEngineBrowser::page() const
{
    return m_page;
}

void WebEngineBrowser::onLoadStarted()
{
    m_requested = QDeadlineTimer();
    emit DownloadBegin();
}

void WebEngineBrowser::onLoadProgress(int progress)
{
    emit ProgressChange(progress, 100);
}

// A page that fails to load still ends its navigation: it shows our error
// page, and the events run as for any other page.
void WebEngineBrowser::onLoadingChanged(const QWebEngineLoadingInfo &info)
{
    if (info.status() != QWebEngineLoadingInfo::LoadStartedStatus)
        m_errorPages->loadEnded(info, [this] { onLoadFinished(); });
}

void WebEngineBrowser::onLoadFinished()
{
    m_requested = QDeadlineTimer();
    emit NavigateComplete2();
    emit DownloadComplete();
}

// During a load the new address is part of that load. Outside one, the move
// stays inside the document shown, and this is the only signal it gives.
void WebEngineBrowser::onUrlChanged(const QUrl &url)
{
    if (m_page->isLoading())
        return;
    m_requested = QDeadlineTimer();
    emit BeforeNavigate2(url.toString());
    emit DownloadBegin();
    emit NavigateComplete2();
    emit DownloadComplete();
}

// Whoever handles NewWindow2 decides; a request let through opens in a
// window of its own, as a page that asks for one expects, within the limit.
QWebEnginePage *WebEngineBrowser::openWindow(QWebEnginePage::WebWindowType)
{
    bool cancel = false;
    emit NewWindow2(&cancel);
    if (cancel)
        return nullptr;
    return m_popups->open();
}

// The request goes to the engine at once, even while a page loads; one job
// runs at a time. A printer that writes a PDF file gets the engine's own
// PDF, which keeps the page's text as text; any other printer gets the
// pages drawn on it.
bool WebEngineBrowser::print(bool askFirst)
{
    if (m_printer)
        return false;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (askFirst && !m_printSetup(*printer))
        return false;
    m_printer = std::move(printer);
    if (m_printer->outputFormat() == QPrinter::PdfFormat && !m_printer->outputFileName().isEmpty())
        m_page->printToPdf(m_printer->outputFileName(), m_printer->pageLayout());
    else
        m_view->print(m_printer.get());
    return true;
}

void WebEngineBrowser::onPrintDone(bool success)
{
    m_printer.reset();
    emit printFinished(success);
}

} // namespace ruzez

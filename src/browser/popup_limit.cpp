#include "browser/popup_limit.h"

#include "browser/separate_browser_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWebEnginePage>

namespace ruzez {

namespace {

const QSize kWindowSize(640, 460);
constexpr int kCascadeStep = 30;
constexpr std::chrono::seconds kCatchTime{30};

// Takes the address a new window was about to show, then goes.
class AddressCatcher : public QWebEnginePage
{
public:
    AddressCatcher(PopupLimit::OpenHere openHere, QObject *parent)
        : QWebEnginePage(parent)
        , m_openHere(std::move(openHere))
    {
        // A window that never names an address (written by its opener) is
        // dropped all the same.
        QTimer::singleShot(kCatchTime, this, &QObject::deleteLater);
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame && m_openHere) {
            const auto openHere = std::exchange(m_openHere, nullptr);
            deleteLater();
            if (openHere)
                openHere(url);
        }
        return false;
    }

private:
    PopupLimit::OpenHere m_openHere;
};

} // namespace

PopupLimit::PopupLimit(OpenHere openHere, QObject *parent)
    : QObject(parent)
    , m_openHere(std::move(openHere))
{
}

PopupLimit::~PopupLimit()
{
    for (const QPointer<SeparateBrowserWindow> &window : std::as_const(m_windows))
        delete window.data();
}

QList<SeparateBrowserWindow *> PopupLimit::windows() const
{
    QList<SeparateBrowserWindow *> open;
    for (const QPointer<SeparateBrowserWindow> &window : m_windows) {
        if (window)
            open << window.data();
    }
    return open;
}

QWebEnginePage *PopupLimit::open()
{
    if (windows().size() >= kMaxWindows)
        return new AddressCatcher(m_openHere, this);

    m_windows.removeAll(nullptr);
    auto *window = new SeparateBrowserWindow([this] { return open(); });
    m_windows << window;
    window->resize(kWindowSize);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const int step = kCascadeStep * (m_opened++ % kMaxWindows + 1);
        window->move(area.right() - kWindowSize.width() - step, area.bottom() - kWindowSize.height() - step);
    }
    window->show();
    return window->page();
}

} // namespace ruzez

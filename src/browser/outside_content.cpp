#include "browser/outside_content.h"

#include "shell/message_boxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace ruzez {

namespace {

const QString kTitle = QStringLiteral("RUZEZ");

// Enough for the few navigations a page can set off on one click (frames).
constexpr qsizetype kPupilAskedKept = 8;
// How long after a click or key a navigation still counts as its result.
constexpr qint64 kInputAnswerMs = 2000;

// Schemes the engine shows itself; any other goes to the desktop.
bool engineShows(const QWebEnginePage &page, const QUrl &url)
{
    static const QStringList own{
        QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"),
        QStringLiteral("about"), QStringLiteral("data"), QStringLiteral("blob"),
        QStringLiteral("qrc"), QStringLiteral("javascript"), QStringLiteral("chrome"),
        QStringLiteral("chrome-error"), QStringLiteral("devtools"), QStringLiteral("view-source"),
    };
    const QString scheme = url.scheme().toLower();
    return scheme.isEmpty() || own.contains(scheme)
           || page.profile()->urlSchemeHandler(scheme.toUtf8()) != nullptr;
}

QString fetchFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation)
           + QStringLiteral("/ruzez-documents");
}

} // namespace

OutsideContent::OutsideContent(QWebEnginePage *page, DesktopHandOff handOff)
    : QObject(page)
    , m_page(page)
    , m_handOff(std::move(handOff))
{
    connect(page->profile(), &QWebEngineProfile::downloadRequested, this,
            &OutsideContent::onDownload);
    // The view's input widget comes and goes with the page's renderer.
    QCoreApplication::instance()->installEventFilter(this);
}

bool OutsideContent::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::KeyPress || type == QEvent::TouchBegin) {
        const QWebEngineView *view = QWebEngineView::forPage(m_page);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (view && widget && (widget == view || view->isAncestorOf(widget)))
            m_sinceInput.start();
    }
    return false;
}

OutsideContent::~OutsideContent() = default;

// The program's own loads (toolbar, address list, favourites) and the
// history are the pupil's; a link or form only just after the pupil's input.
bool OutsideContent::byPupil(QWebEnginePage::NavigationType type) const
{
    switch (type) {
    case QWebEnginePage::NavigationTypeTyped:
    case QWebEnginePage::NavigationTypeBackForward:
    case QWebEnginePage::NavigationTypeReload:
        return true;
    case QWebEnginePage::NavigationTypeLinkClicked:
    case QWebEnginePage::NavigationTypeFormSubmitted:
        return m_sinceInput.isValid() && m_sinceInput.elapsed() < kInputAnswerMs;
    default:
        return false;
    }
}

bool OutsideContent::takeOver(const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame)
{
    const bool asked = byPupil(type);
    if (asked) {
        m_pupilAsked.append(url.adjusted(QUrl::RemoveFragment));
        if (m_pupilAsked.size() > kPupilAskedKept)
            m_pupilAsked.removeFirst();
    }
    if (!isMainFrame || engineShows(*m_page, url))
        return false;
    // Where VBScript was missing, such a link did nothing: it still does.
    if (url.scheme().compare(QLatin1String("vbscript"), Qt::CaseInsensitive) == 0)
        return true;
    if (!asked)
        return true;
    // Once the engine has dropped the navigation: a message box must not
    // hold the engine in the middle of its decision.
    QTimer::singleShot(0, this, [this, url] { openOrSay(url, kCannotOpenLink); });
    return true;
}

void OutsideContent::openOrSay(const QUrl &url, const QString &message)
{
    if (m_handOff.open && m_handOff.open(url))
        return;
    say(message);
}

// Each navigation of the pupil answers for one download.
bool OutsideContent::takePupilRequest(const QUrl &url)
{
    return m_pupilAsked.removeOne(url.adjusted(QUrl::RemoveFragment));
}

void OutsideContent::say(const QString &message)
{
    if (m_handOff.boxes)
        m_handOff.boxes->MsgBox(message, vb::OKOnly + vb::Exclamation, kTitle);
}

// The profile reports the downloads of every page it serves; this page's
// are those its pupil asked for. The engine drops a download nobody
// accepts, so one a page started by itself ends here without a word.
// (The download's page() is not asked: the engine crashes on it for a
// download an <embed> started.)
void OutsideContent::onDownload(QWebEngineDownloadRequest *download)
{
    const QUrl url = download->url();
    if (!takePupilRequest(url))
        return;
    if (url.isLocalFile()) {
        download->cancel();
        QTimer::singleShot(0, this, [this, url] { openOrSay(url, kCannotOpenFile); });
        return;
    }
    QDir().mkpath(fetchFolder());
    download->setDownloadDirectory(fetchFolder());
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download] {
        if (download->state() == QWebEngineDownloadRequest::DownloadCompleted)
            openOrSay(QUrl::fromLocalFile(download->downloadDirectory() + QLatin1Char('/')
                                          + download->downloadFileName()),
                      kCannotOpenFile);
        else
            say(kCannotFetchFile);
    });
    download->accept();
}

} // namespace ruzez

#include "browser/outside_content.h"

#include "shell/message_boxes.h"

#include <QDir>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

namespace ruzez {

namespace {

const QString kTitle = QStringLiteral("RUZEZ");

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
}

OutsideContent::~OutsideContent() = default;

bool OutsideContent::takeOver(const QUrl &url)
{
    if (engineShows(*m_page, url))
        return false;
    // Where VBScript was missing, such a link did nothing: it still does.
    if (url.scheme().compare(QLatin1String("vbscript"), Qt::CaseInsensitive) == 0)
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

void OutsideContent::say(const QString &message)
{
    if (m_handOff.boxes)
        m_handOff.boxes->MsgBox(message, vb::OKOnly + vb::Exclamation, kTitle);
}

// The profile reports the downloads of every page it serves: only this
// page's are ours. A file of the course is opened where it is; one from the
// web is fetched first.
void OutsideContent::onDownload(QWebEngineDownloadRequest *download)
{
    if (download->page() != m_page)
        return;
    const QUrl url = download->url();
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

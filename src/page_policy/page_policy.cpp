#include "page_policy/page_policy.h"

#include "page_policy/error_pages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace ruzez {

namespace {

bool isFileAddress(const QUrl &url)
{
    return url.scheme().compare(QLatin1String("file"), Qt::CaseInsensitive) == 0;
}

// A file: address with a host names a share of another machine: never a
// course file.
QString localPath(const QUrl &url)
{
    if (!url.host().isEmpty() && url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0)
        return {};
    return url.path(QUrl::FullyDecoded);
}

ErrorPages::Reason reasonFor(CourseFiles::Kind kind)
{
    switch (kind) {
    case CourseFiles::Kind::Outside:
        return ErrorPages::Reason::Refused;
    case CourseFiles::Kind::Folder:
        return ErrorPages::Reason::Folder;
    case CourseFiles::Kind::Unreadable:
        return ErrorPages::Reason::Unreadable;
    case CourseFiles::Kind::NotAnswering:
        return ErrorPages::Reason::NotAnswering;
    default:
        return ErrorPages::Reason::Missing;
    }
}

QString refusalKey(const QUrl &url)
{
    return url.adjusted(QUrl::RemoveFragment).toString();
}

// Enough for the loads of a few pages: an error page asks about its own.
constexpr std::size_t kRefusalsKept = 256;

QString framePageName(ErrorPages::Reason reason)
{
    return QStringLiteral("%1.html").arg(int(reason));
}

} // namespace

PagePolicy::PagePolicy(QWebEngineProfile *profile, Folders folders, QObject *parent)
    : PagePolicy(profile, std::move(folders), {}, {}, parent)
{
}

PagePolicy::PagePolicy(QWebEngineProfile *profile, Folders folders, Check check,
                       const QString &pagesFolder, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
    , m_profile(profile)
    , m_folders(std::move(folders))
    , m_check(check ? std::move(check) : Check([](const CourseFiles &files, const QString &path) {
        return files.find(path);
    }))
    , m_pagesFolder(pagesFolder)
{
    m_askAgain.setInterval(100);
    connect(&m_askAgain, &QTimer::timeout, this, &PagePolicy::askAgain);
    if (m_pagesFolder.isEmpty()) {
        m_ownFolder = std::make_unique<QTemporaryDir>();
        if (m_ownFolder->isValid())
            m_pagesFolder = m_ownFolder->path();
    }
    QWebEngineSettings *settings = m_profile->settings();
    // Course pages load one another (frames, scripts, XMLHttpRequest between
    // their files); the folders above keep them to the course.
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // The engine then blocks window.open() without a click.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // A failed load keeps its own address and history entry; the error page
    // itself is replaced by ours.
    settings->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    writeFramePages();
    m_profile->setUrlRequestInterceptor(this);
}

void PagePolicy::writeFramePages()
{
    if (m_pagesFolder.isEmpty())
        return;
    for (const auto reason : {ErrorPages::Reason::Missing, ErrorPages::Reason::Refused, ErrorPages::Reason::Folder,
                              ErrorPages::Reason::Unreadable, ErrorPages::Reason::NotAnswering}) {
        QFile page(framePage(reason));
        if (page.open(QIODevice::WriteOnly))
            page.write(ErrorPages::html(reason).toUtf8());
    }
}

QString PagePolicy::framePage(ErrorPages::Reason reason) const
{
    return QDir(m_pagesFolder).filePath(framePageName(reason));
}

std::optional<ErrorPages::Reason> PagePolicy::refusal(const QUrl &url) const
{
    const auto found = m_refusals.find(refusalKey(url));
    if (found == m_refusals.end())
        return std::nullopt;
    return found->second;
}

void PagePolicy::remember(const QUrl &url, std::optional<ErrorPages::Reason> reason)
{
    const QString key = refusalKey(url);
    if (!reason) {
        m_refusals.erase(key);
        return;
    }
    if (m_refusals.size() >= kRefusalsKept)
        m_refusals.clear();
    m_refusals[key] = *reason;
}

PagePolicy::~PagePolicy()
{
    m_profile->setUrlRequestInterceptor(nullptr);
}

CourseFiles PagePolicy::courseFiles() const
{
    QStringList folders = m_folders ? m_folders() : QStringList();
    if (!m_pagesFolder.isEmpty())
        folders << m_pagesFolder;
    return CourseFiles(folders);
}

void PagePolicy::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    const QUrl url = info.requestUrl();
    if (m_coursePageSchemes.contains(url.scheme().toLatin1())) {
        info.block(!isFileAddress(info.initiator()));
        return;
    }
    if (!isFileAddress(url))
        return;
    const QUrl initiator = info.initiator();
    if (initiator.isValid() && !initiator.isEmpty() && !isFileAddress(initiator)) {
        info.block(true);
        return;
    }
    const QString path = localPath(url);
    const CourseFiles files = courseFiles();
    // Our own pages lie on the local disc: nothing to wait for.
    const CourseFiles::Found found = !m_pagesFolder.isEmpty() && QFileInfo(QDir::cleanPath(path)).path() == m_pagesFolder
        ? files.find(path)
        : m_check(files, path);
    if (found.kind != CourseFiles::Kind::File) {
        const ErrorPages::Reason reason = reasonFor(found.kind);
        remember(url, reason);
        if (found.kind == CourseFiles::Kind::NotAnswering
            && info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame) {
            m_askedUrl = url;
            m_askedPath = path;
            m_askedSince.start();
            m_askAgain.start();
        }
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame && !m_pagesFolder.isEmpty())
            info.redirect(QUrl::fromLocalFile(framePage(reason)));
        else
            info.block(true);
        return;
    }
    remember(url, std::nullopt);
    if (found.path != path) {
        QUrl resolved = QUrl::fromLocalFile(found.path);
        resolved.setQuery(url.query());
        resolved.setFragment(url.fragment());
        info.redirect(resolved);
    }
}

void PagePolicy::askAgain()
{
    if (m_askedSince.elapsed() > kPageMayTake.count()) {
        m_askAgain.stop();
        return;
    }
    // The same check as for a request: it fails at once while the disc has
    // not answered the earlier one.
    if (m_check(courseFiles(), m_askedPath).kind == CourseFiles::Kind::NotAnswering)
        return;
    m_askAgain.stop();
    emit answersAgain(m_askedUrl);
}

QStringList courseFolders(const QString &racinesite, const QString &pageaccueil,
                          const QString &programFolder)
{
    QStringList folders;
    if (!racinesite.isEmpty())
        folders << racinesite;
    const QString besideProgram = QDir(programFolder).filePath(QStringLiteral("index.html"));
    if (!programFolder.isEmpty()
        && QDir::cleanPath(pageaccueil) == QDir::cleanPath(besideProgram))
        folders << programFolder;
    return folders;
}

} // namespace ruzez

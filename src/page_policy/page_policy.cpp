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
    default:
        return ErrorPages::Reason::Missing;
    }
}

QString framePageName(ErrorPages::Reason reason)
{
    return QStringLiteral("%1.html").arg(int(reason));
}

} // namespace

PagePolicy::PagePolicy(QWebEngineProfile *profile, Folders folders, QObject *parent)
    : QWebEngineUrlRequestInterceptor(parent)
    , m_profile(profile)
    , m_folders(std::move(folders))
{
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
    for (const auto reason : {ErrorPages::Reason::Missing, ErrorPages::Reason::Refused, ErrorPages::Reason::Folder}) {
        QFile page(m_framePages.filePath(framePageName(reason)));
        if (page.open(QIODevice::WriteOnly))
            page.write(ErrorPages::html(reason).toUtf8());
    }
}

PagePolicy::~PagePolicy()
{
    m_profile->setUrlRequestInterceptor(nullptr);
}

CourseFiles PagePolicy::courseFiles() const
{
    QStringList folders = m_folders ? m_folders() : QStringList();
    if (m_framePages.isValid())
        folders << m_framePages.path();
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
    const CourseFiles::Found found = courseFiles().find(path);
    if (found.kind != CourseFiles::Kind::File) {
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeSubFrame && m_framePages.isValid())
            info.redirect(QUrl::fromLocalFile(m_framePages.filePath(framePageName(reasonFor(found.kind)))));
        else
            info.block(true);
        return;
    }
    if (found.path != path) {
        QUrl resolved = QUrl::fromLocalFile(found.path);
        resolved.setQuery(url.query());
        resolved.setFragment(url.fragment());
        info.redirect(resolved);
    }
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

#pragma once

#include "page_policy/course_files.h"
#include "page_policy/error_pages.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineUrlRequestInterceptor>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QWebEngineProfile;

namespace ruzez {

// What pages may reach, for every page of a profile (the main window's and
// the windows it opens), each request checked before the engine makes it:
// - file: addresses only inside the course folders; a name in the wrong
//   letter case is sent on to the file it means; anything else under file:
//   (outside the folders, missing, a folder, or asked for by a page that is
//   not itself a local file) is refused, for pages, frames, images, scripts,
//   style sheets, XMLHttpRequest and fetch alike;
// - other addresses go as the engine allows: a remote page cannot read file:.
// A frame refused is sent to our French page for the reason instead of the
// engine's error page. Scripts may open a window only on a click of the pupil.
class PagePolicy : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    // The folders whose files pages may open, asked afresh for each request:
    // they are known only once start-up has found the course.
    using Folders = std::function<QStringList()>;

    // Where a path leads. The engine asks on the window's thread and waits
    // for the answer: a disc that does not answer must not hold it long.
    using Check = std::function<CourseFiles::Found(const CourseFiles &files, const QString &path)>;

    // Installs itself on the profile until destroyed. Our pages for refused
    // frames go into `pagesFolder` (a folder of the run, removed with it),
    // or into a temporary folder of our own. `check` defaults to
    // CourseFiles::find.
    PagePolicy(QWebEngineProfile *profile, Folders folders, QObject *parent = nullptr);
    PagePolicy(QWebEngineProfile *profile, Folders folders, Check check, const QString &pagesFolder,
               QObject *parent = nullptr);
    ~PagePolicy() override;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // A scheme of our own that serves course pages only (the media
    // plug-ins'): any other page's request to it is refused.
    void allowForCoursePages(const QByteArray &scheme) { m_coursePageSchemes << scheme; }

    CourseFiles courseFiles() const;

    // Why the last request for that local address was refused; nothing when
    // it was let through or never asked for. Error pages show it without
    // looking at the disc again.
    std::optional<ErrorPages::Reason> refusal(const QUrl &url) const;

    // A page is given up on after a short wait, the window's thread being
    // held meanwhile; the check goes on asking for a while.
    static constexpr std::chrono::milliseconds kPageMayTake{2000};

signals:
    // The disc answered for a page refused as not answering, within the
    // time a page may take to load: it may be loaded again.
    void answersAgain(const QUrl &url);

private:
    void askAgain();
    void writeFramePages();
    QString framePage(ErrorPages::Reason reason) const;
    void remember(const QUrl &url, std::optional<ErrorPages::Reason> reason);

    QWebEngineProfile *m_profile = nullptr;
    Folders m_folders;
    Check m_check;
    QByteArrayList m_coursePageSchemes;
    // Our pages for refused frames, as files a course page may load.
    std::unique_ptr<QTemporaryDir> m_ownFolder;
    QString m_pagesFolder;
    std::map<QString, ErrorPages::Reason> m_refusals;
    QTimer m_askAgain;
    QElapsedTimer m_askedSince;
    QUrl m_askedUrl;
    QString m_askedPath;
};

// The folders of a run: the course folder (racinesite), and the program
// folder when the start page is the index.html beside the program.
QStringList courseFolders(const QString &racinesite, const QString &pageaccueil,
                          const QString &programFolder);

} // namespace ruzez

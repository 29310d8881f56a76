#pragma once

#include "page_policy/course_files.h"

#include <QTemporaryDir>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>

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

    // Installs itself on the profile until destroyed.
    PagePolicy(QWebEngineProfile *profile, Folders folders, QObject *parent = nullptr);
    ~PagePolicy() override;

    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // A scheme of our own that serves course pages only (the media
    // plug-ins'): any other page's request to it is refused.
    void allowForCoursePages(const QByteArray &scheme) { m_coursePageSchemes << scheme; }

    CourseFiles courseFiles() const;

private:
    void writeFramePages();

    QWebEngineProfile *m_profile = nullptr;
    Folders m_folders;
    QByteArrayList m_coursePageSchemes;
    // Our pages for refused frames, as files a course page may load.
    QTemporaryDir m_framePages;
};

// The folders of a run: the course folder (racinesite), and the program
// folder when the start page is the index.html beside the program.
QStringList courseFolders(const QString &racinesite, const QString &pageaccueil,
                          const QString &programFolder);

} // namespace ruzez

#pragma once

#include <QObject>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

class QWebEngineLoadingInfo;
class QWebEnginePage;

namespace ruzez {

// Our own short French pages in place of the engine's error pages. A load
// that fails keeps its address and its place in the history; only what the
// engine shows for it is replaced, before the load is reported as ended, so
// that the caption shows our title and never the address of a file.
class ErrorPages : public QObject
{
    Q_OBJECT

public:
    enum class Reason {
        Missing,     // a file that does not exist
        Unreachable, // a site that cannot be reached
        Refused,     // a file outside the course
        Folder,      // a folder: its contents are not shown
        Unreadable,  // a course file the disc or share fails to read
        NotAnswering, // a course file whose disc or share does not answer
    };
    // Why a load of a local file failed, where the page policy knows it.
    using Reasons = std::function<std::optional<Reason>(const QUrl &url)>;

    explicit ErrorPages(QWebEnginePage *page);

    // Without reasons, a failed local file is looked at on the window's thread.
    void setReasons(Reasons reasons) { m_reasons = std::move(reasons); }

    // Call at each end of a load of the page; `ended` runs once what the
    // page shows is final (at once, or once our page is written).
    void loadEnded(const QWebEngineLoadingInfo &info, std::function<void()> ended);
    // Our page is being written in place of the engine's.
    bool writing() const { return bool(m_ended); }

    // Why a load of that address failed, looked at on the disc.
    static Reason reasonFor(const QUrl &url);
    // Why that load failed: as the reasons say, or, for a local file they
    // let through, the engine's own error.
    Reason reasonFor(const QWebEngineLoadingInfo &info) const;
    // The page shown for that reason: fixed French text, no path.
    static QString html(Reason reason);

private:
    void finish();

    QWebEnginePage *m_page = nullptr;
    Reasons m_reasons;
    std::function<void()> m_ended;
    int m_serial = 0;
    // The engine drops a script's answer when the page goes away (a new
    // load, a renderer that ends): the load still ends.
    QTimer m_giveUp;
};

} // namespace ruzez

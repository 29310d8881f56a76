#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QUrl>
#include <QWebEnginePage>

#include <functional>

class QWebEngineDownloadRequest;

namespace ruzez {

class MessageBoxes;

// Where the engine's leftovers go: the desktop's application for an address
// (false when nothing opened it), and the boxes that tell the pupil so.
struct DesktopHandOff
{
    std::function<bool(const QUrl &url)> open;
    MessageBoxes *boxes = nullptr;
};

// What the engine cannot show in the window: addresses of another kind
// (mailto:, news:...) and files it would only download (a .doc, a .zip).
// They go to the desktop's application for them, as they did on the
// course's first platform; a file from the web is fetched into a temporary
// folder first. When the desktop cannot open it either, the pupil gets a
// short French message instead of nothing at all. Only what the pupil asked
// for goes out: a download or an outside address that a page starts by
// itself (an embed, a frame, a script, a redirect) is dropped without a word.
class OutsideContent : public QObject
{
    Q_OBJECT

public:
    // Watches the downloads of `page`; the page owns this object.
    OutsideContent(QWebEnginePage *page, DesktopHandOff handOff);
    ~OutsideContent() override;

    // For a navigation the engine is asked to make: true when the address
    // is not for the engine and has been dealt with here (or dropped).
    bool takeOver(const QUrl &url,
                  QWebEnginePage::NavigationType type = QWebEnginePage::NavigationTypeTyped,
                  bool isMainFrame = true);

private:
    void onDownload(QWebEngineDownloadRequest *download);
    void openOrSay(const QUrl &url, const QString &message);
    void say(const QString &message);
    bool takePupilRequest(const QUrl &url);
    bool byPupil(QWebEnginePage::NavigationType type) const;
    bool eventFilter(QObject *watched, QEvent *event) override;

    QWebEnginePage *m_page;
    DesktopHandOff m_handOff;
    // The addresses of the pupil's latest navigations: a download answers
    // the navigation that asked for it, a moment later.
    QList<QUrl> m_pupilAsked;
    // The engine reports a script's move as a click: only a navigation soon
    // after the pupil's own click or key in this page's view is the pupil's.
    QElapsedTimer m_sinceInput;
};

inline const QString kCannotOpenLink =
    QStringLiteral("Ce lien ne peut pas être ouvert : aucune application de cet ordinateur ne "
                   "sait l'ouvrir.");
inline const QString kCannotOpenFile =
    QStringLiteral("Ce fichier ne peut pas être affiché : aucune application de cet ordinateur ne "
                   "sait l'ouvrir.");
inline const QString kCannotFetchFile =
    QStringLiteral("Ce fichier n'a pas pu être copié sur cet ordinateur.");

} // namespace ruzez

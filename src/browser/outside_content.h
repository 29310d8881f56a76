#pragma once

#include <QObject>
#include <QUrl>

#include <functional>

class QWebEngineDownloadRequest;
class QWebEnginePage;

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
// short French message instead of nothing at all.
class OutsideContent : public QObject
{
    Q_OBJECT

public:
    // Watches the downloads of `page`; the page owns this object.
    OutsideContent(QWebEnginePage *page, DesktopHandOff handOff);
    ~OutsideContent() override;

    // For a navigation the engine is asked to make: true when the address
    // is not for the engine and has been dealt with here.
    bool takeOver(const QUrl &url);

private:
    void onDownload(QWebEngineDownloadRequest *download);
    void openOrSay(const QUrl &url, const QString &message);
    void say(const QString &message);

    QWebEnginePage *m_page;
    DesktopHandOff m_handOff;
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

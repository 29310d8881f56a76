#pragma once

#include "browser/help_engine.h"
#include "wine/wine_help_viewer.h"

#include <QUrl>

#include <functional>

namespace ruzez {

class MessageBoxes;

// Shows the course's Windows help file: with Wine's help viewer when Wine
// is installed, else with the desktop's application for the file's type.
// Only the contents-and-index request (kFinder) opens it: both show the
// whole file; other commands are ignored.
//
// On Windows the help engine itself told the pupil when the file was
// missing; here a message box says so, and says when nothing on this
// computer can show the file, rather than leave the button silent.
class DesktopHelpEngine final : public HelpEngine
{
public:
    // Opens a file with the desktop's application for it; false when there
    // is none or it did not start.
    using UrlOpener = std::function<bool(const QUrl &)>;

    // `wine` and `open` default to the real viewer and desktop; tests pass recorders.
    explicit DesktopHelpEngine(MessageBoxes &boxes, wine::WineHelpViewer wine = wine::WineHelpViewer(),
                               UrlOpener open = {});

    void showHelp(const QString &file, int command) override;

    // The desktop's way: an application registered for the file's type
    // (xdg-mime), started through QDesktopServices.
    static bool openWithDesktop(const QUrl &url);

private:
    MessageBoxes &m_boxes;
    wine::WineHelpViewer m_wine;
    UrlOpener m_open;
};

} // namespace ruzez

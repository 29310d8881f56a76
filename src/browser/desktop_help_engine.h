#pragma once

#include "browser/help_engine.h"

#include <QUrl>

#include <functional>

namespace ruzez {

// Shows help by handing the file to the desktop, which opens it with the
// viewer the user has for its type. The desktop has one way to show a
// file, its whole contents, so only the contents-and-index request
// (kFinder) opens it; other commands are ignored.
//
// The file is handed over even when it does not exist: telling the user
// is the desktop's business, as it was the help engine's.
class DesktopHelpEngine final : public HelpEngine
{
public:
    using UrlOpener = std::function<bool(const QUrl &)>;

    // `open` defaults to QDesktopServices::openUrl; tests pass a recorder.
    explicit DesktopHelpEngine(UrlOpener open = {});

    void showHelp(const QString &file, int command) override;

private:
    UrlOpener m_open;
};

} // namespace ruzez

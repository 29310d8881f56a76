#include "browser/desktop_help_engine.h"

#include <QDesktopServices>

namespace ruzez {

DesktopHelpEngine::DesktopHelpEngine(UrlOpener open)
    : m_open(open ? std::move(open) : UrlOpener(&QDesktopServices::openUrl))
{
}

void DesktopHelpEngine::showHelp(const QString &file, int command)
{
    if (command != kFinder || file.isEmpty())
        return;
    // The desktop's answer is not examined: help never reports an error.
    m_open(QUrl::fromLocalFile(file));
}

} // namespace ruzez

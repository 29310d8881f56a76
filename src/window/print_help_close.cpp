// Print, help and close, at the right-hand end of the button row.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "browser/help_engine.h"
#include "browser/help_file.h"

namespace ruzez {

void frmBrowser::Command3_Click()
{
    brwWebBrowser->ExecWB(BrowserComponent::kPrintCommand, BrowserComponent::kDefaultOption);
}

void frmBrowser::Command5_Click()
{
    m_help.showHelp(helpFile(m_programFolder), HelpEngine::kFinder);
}

// Closing runs the window's closing handlers (closeEvent).
void frmBrowser::Command2_Click()
{
    close();
}

} // namespace ruzez

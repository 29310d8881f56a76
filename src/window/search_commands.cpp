// Opening and closing the search panel, and opening a result.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "search/search_panel.h"

namespace ruzez {

void frmBrowser::Command8_Click()
{
    Frame1->setVisible(true);
    positionne();
}

void frmBrowser::Frame1_Image1_Click()
{
    Frame1->setVisible(false);
    positionne();
}

// The links table holds addresses relative to the course folder.
void frmBrowser::Frame1_List1_DblClick(const QString &url)
{
    brwWebBrowser->Navigate2(m_state.site.racinesite + url);
}

} // namespace ruzez

// Opening and closing the search panel, and opening a result.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "search/search_panel.h"

#include <QLineEdit>

namespace ruzez {

void frmBrowser::Command8_Click()
{
    Frame1->setVisible(true);
    positionne();
    // The pupil types the keywords next, whichever way the panel was opened.
    Frame1->Text2->setFocus(Qt::ShortcutFocusReason);
}

void frmBrowser::Frame1_Image1_Click()
{
    const bool focusInPanel = Frame1->isAncestorOf(focusWidget());
    Frame1->setVisible(false);
    positionne();
    // The focus goes back to the page rather than to the next control along.
    if (focusInPanel)
        brwWebBrowser->setFocus(Qt::OtherFocusReason);
}

// The links table holds addresses relative to the course folder.
void frmBrowser::Frame1_List1_DblClick(const QString &url)
{
    brwWebBrowser->Navigate2(m_state.site.racinesite + url);
}

} // namespace ruzez

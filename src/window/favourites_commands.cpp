// The hidden favourites button and the adding of the page shown.

#include "window/frm_browser.h"

#include "favourites/ajouteur.h"
#include "favourites/menuf.h"

namespace ruzez {

void frmBrowser::Command4_Click()
{
    if (!m_menuf)
        m_menuf = std::make_unique<menuf>(*brwWebBrowser, m_programFolder, m_boxes, this, &m_files);
    m_menuf->popup();
}

void frmBrowser::ajouteur()
{
    ruzez::ajouteur(*brwWebBrowser, m_programFolder, m_boxes, &m_files);
}

} // namespace ruzez

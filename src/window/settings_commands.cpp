// The hidden settings button.

#include "window/frm_browser.h"

#include "settings/param.h"

namespace ruzez {

void frmBrowser::Command1_Click()
{
    showSettings(this, m_programFolder, m_boxes, &m_files);
}

} // namespace ruzez

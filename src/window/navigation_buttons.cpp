// The button row's navigation and the hidden address list.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "browser/counter16.h"

#include <QComboBox>
#include <QTimer>
#include <QToolButton>

namespace ruzez {

// Back and forward move the counters even when the browser has nowhere to
// go: the counters follow the clicks, not the pages.
void frmBrowser::avant_Click()
{
    m_state.navhisto = -1;
    brwWebBrowser->GoBack();
    step16(m_state.poshisto, -1);
    suivant->setEnabled(true);
}

void frmBrowser::suivant_Click()
{
    m_state.navhisto = 1;
    brwWebBrowser->GoForward();
    step16(m_state.poshisto, 1);
    avant->setEnabled(true);
}

void frmBrowser::stoppeur_Click()
{
    timTimer->stop();
    brwWebBrowser->Stop();
    setCaptionToPageTitle();
    stoppeur->setEnabled(false);
}

void frmBrowser::actu_Click()
{
    brwWebBrowser->Refresh2();
}

// Home does not start the busy timer.
void frmBrowser::Maison_Click()
{
    brwWebBrowser->Stop();
    brwWebBrowser->Navigate(m_state.pageaccueil);
}

void frmBrowser::cboAddress_Click()
{
    timTimer->start();
    if (quelk == 0)
        brwWebBrowser->Navigate(cboAddress->currentText());
    quelk = 0;
}

void frmBrowser::cboAddress_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 13)
        cboAddress_Click();
}

} // namespace ruzez

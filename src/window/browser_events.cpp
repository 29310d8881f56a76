// How the window follows what the browser loads: caption, stop button,
// history counters, the list of visited addresses, new-window requests.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "browser/counter16.h"
#include "browser/status_strip.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace ruzez {

namespace {
const QString kCaptionPrefix = QStringLiteral("RUZEZ - ");
}

void frmBrowser::setCaptionToPageTitle()
{
    setWindowTitle(kCaptionPrefix + brwWebBrowser->LocationName());
}

void frmBrowser::brwWebBrowser_StatusTextChange(const QString &Text)
{
    Label1->setText(Text);
}

void frmBrowser::brwWebBrowser_ProgressChange(int Progress, int ProgressMax)
{
    if (ProgressMax <= 1)
        return;
    etat->drawBar(float(double(etat->width()) * Progress / ProgressMax));
}

void frmBrowser::brwWebBrowser_DownloadBegin()
{
    stoppeur->setEnabled(true);
}

void frmBrowser::brwWebBrowser_DownloadComplete()
{
    etat->clearBar();

    const QString url = brwWebBrowser->LocationURL();
    if (cboAddress->currentText() != url) {
        // No address yet: nothing to record, and the counters wait for one.
        if (url.trimmed().isEmpty())
            return;
        if (cboAddress->findText(url, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
            // Recording the address must not navigate to it again.
            quelk = 1;
            cboAddress->addItem(url);
            selectAddress(cboAddress->count() - 1);
        }
    }

    setCaptionToPageTitle();
    stoppeur->setEnabled(false);
    if (m_state.navhisto == 0) {
        step16(m_state.poshisto, 1);
        m_state.maxhisto = m_state.poshisto;
    }
    if (m_state.poshisto > 1)
        avant->setEnabled(true);
    if (m_state.poshisto < m_state.maxhisto)
        suivant->setEnabled(true);
    m_state.navhisto = 0;
}

void frmBrowser::brwWebBrowser_BeforeNavigate2(const QString &URL)
{
    m_state.derniereurl = URL;
}

// A link that asks for a new window opens in this one when the status line
// shows a web address (the link under the pointer).
void frmBrowser::brwWebBrowser_NewWindow2(bool *Cancel)
{
    const QString status = Label1->text();
    if (status.left(4).trimmed().toUpper() != QLatin1String("HTTP"))
        return;
    if (Cancel)
        *Cancel = true;
    brwWebBrowser->Navigate(m_state.derniereurl);
    brwWebBrowser->setStatusBar(false);
    if (!brwWebBrowser->Navigate(status))
        brwWebBrowser->Navigate(m_state.derniereurl);
}

void frmBrowser::timTimer_Timer()
{
    if (!brwWebBrowser->Busy()) {
        timTimer->stop();
        setCaptionToPageTitle();
    } else {
        setWindowTitle(kCaptionPrefix + QStringLiteral("En cours..."));
    }
}

void frmBrowser::brwWebBrowser_NavigateComplete2()
{
    m_state.premierenav = true;
}

} // namespace ruzez

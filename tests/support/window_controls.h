#pragma once

#include "browser/status_strip.h"
#include "window/frm_browser.h"

namespace ruzez::test {

// The main window's controls as the tests reach them: the handlers alone
// use them in the program.
struct WindowControls
{
    explicit WindowControls(frmBrowser &w)
        : cboAddress(w.cboAddress), avant(w.avant), suivant(w.suivant), stoppeur(w.stoppeur),
          actu(w.actu), Maison(w.Maison), Command8(w.Command8), Command3(w.Command3),
          Command5(w.Command5), Command2(w.Command2), Command4(w.Command4), Command1(w.Command1),
          brwWebBrowser(w.brwWebBrowser), Frame1(w.Frame1), Text1(w.Text1), Image2(w.Image2),
          etat(w.etat), Label1(w.Label1), timTimer(w.timTimer), quelk(w.quelk)
    {
    }

    QComboBox *cboAddress;
    QToolButton *avant;
    QToolButton *suivant;
    QToolButton *stoppeur;
    QToolButton *actu;
    QToolButton *Maison;
    QToolButton *Command8;
    QToolButton *Command3;
    QToolButton *Command5;
    QToolButton *Command2;
    QToolButton *Command4;
    QToolButton *Command1;
    BrowserComponent *brwWebBrowser;
    SearchPanel *Frame1;
    QTextEdit *Text1;
    QLabel *Image2;
    StatusStrip *etat;
    QLabel *Label1;
    QTimer *timTimer;
    qint16 &quelk;
};

inline WindowControls ui(frmBrowser &w)
{
    return WindowControls(w);
}

// The progress bar's width as the strip last drew it.
struct StatusStripProbe
{
    static float barWidth(const StatusStrip &strip) { return strip.m_barWidth; }
};

} // namespace ruzez::test

#pragma once

// The main window. Its handlers keep the names the course's browser has
// always used; each file of this folder holds the handlers of one concern:
//
//   frm_browser.cpp         construction, the controls, their wiring, Qt's events
//   start_and_end.cpp       Form_Load, Form_Activate, Form_LostFocus,
//                           Form_QueryUnload, Form_Unload, endSession
//   navigation_buttons.cpp  avant_Click, suivant_Click, stoppeur_Click, actu_Click,
//                           Maison_Click, cboAddress_Click, cboAddress_KeyPress
//   browser_events.cpp      brwWebBrowser_*, timTimer_Timer
//   layout.cpp              positionne, Form_Resize, etat_Resize, Form_Paint
//   print_help_close.cpp    Command3_Click, Command5_Click, Command2_Click
//   search_commands.cpp     Command8_Click, Frame1_Image1_Click, Frame1_List1_DblClick
//   favourites_commands.cpp Command4_Click, ajouteur
//   settings_commands.cpp   Command1_Click
//   access_for_all.cpp      the keys between the window's parts (F6, Escape),
//                           the names screen readers give the controls

#include "shell/content_root.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QTextEdit;
class QTimer;
class QToolButton;

namespace ruzez {

class BrowserComponent;
class DialupLine;
class Drives;
class FileAccess;
class HelpEngine;
class MessageBoxes;
class SearchPanel;
class menuf;
class StatusStrip;
class WindowFrame;

namespace test {
struct WindowControls;
}

// The button row, the embedded browser, the search panel, the worksheet
// under the page and the (hidden) status strip.
class frmBrowser : public QWidget
{
    Q_OBJECT

public:
    // State shared by the handlers. Counters are 16-bit, as the address list
    // and the caption logic have always counted.
    struct State
    {
        bool premierenav = false;
        QString pageaccueil;
        qint16 navhisto = 0;
        qint16 poshisto = 0;
        qint16 maxhisto = 0;
        QString derniereurl;
        ContentLocation site;
    };

    // Form_Initialize. The window takes the browser component as a child;
    // endProgram runs once the window has unloaded (the application quits).
    // The program folder's files (exchange, links, favourites, settings) are
    // read and written through `files`; without it, here.
    frmBrowser(MessageBoxes &boxes, Drives &drives, DialupLine &dialup, HelpEngine &help,
               WindowFrame &frame, QString programFolder, std::unique_ptr<BrowserComponent> browser,
               std::function<void()> endProgram, QWidget *parent = nullptr,
               FileAccess *files = nullptr);
    ~frmBrowser() override;

    const State &state() const { return m_state; }
    bool unloaded() const { return m_unloaded; }

    // Why the window unloads, as Form_QueryUnload is told: closed by the
    // user or by the program, or under it because the session ends.
    enum class UnloadMode { FormControlMenu, AppWindows };

    // Start-up and shut-down
    void Form_Load();
    void Form_Activate();
    void Form_LostFocus();
    void Form_QueryUnload(UnloadMode mode = UnloadMode::FormControlMenu);
    void Form_Unload();
    // The session ends under the window (a signal, the display gone): the
    // closing handlers run as on a close, with no question to answer.
    void endSession();
    // Sizes the window for a screen of that geometry and work area (the
    // body of Form_Activate); no work area is the whole screen.
    void fitToScreen(const QRect &screen, const QRect &workArea = {});

    // Navigation
    void avant_Click();
    void suivant_Click();
    void stoppeur_Click();
    void actu_Click();
    void Maison_Click();
    void cboAddress_Click();
    void cboAddress_KeyPress(int &KeyAscii);

    // Browser events and the busy timer
    void brwWebBrowser_StatusTextChange(const QString &Text);
    void brwWebBrowser_ProgressChange(int Progress, int ProgressMax);
    void brwWebBrowser_DownloadBegin();
    void brwWebBrowser_DownloadComplete();
    void brwWebBrowser_BeforeNavigate2(const QString &URL);
    void brwWebBrowser_NewWindow2(bool *Cancel);
    void brwWebBrowser_NavigateComplete2();
    void timTimer_Timer();

    // Layout
    void positionne();
    void Form_Resize();
    void etat_Resize();
    void Form_Paint();

    // Print, help, close
    void Command3_Click();
    void Command5_Click();
    void Command2_Click();

    // Search panel
    void Command8_Click();
    void Frame1_Image1_Click();
    void Frame1_List1_DblClick(const QString &url);

    // Favourites: the hidden "Fa&voris" button pops up the menu of menuf;
    // ajouteur adds the page shown.
    void Command4_Click();
    void ajouteur();

    // Settings: the hidden "Para&mètres" button.
    void Command1_Click();

signals:
    // The window is closing for good: a start-up still waiting stops.
    void unloading();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The tests' view of the controls.
    friend struct test::WindowControls;

    // Controls, owned by the window.
    QComboBox *cboAddress = nullptr;
    QToolButton *avant = nullptr;
    QToolButton *suivant = nullptr;
    QToolButton *stoppeur = nullptr;
    QToolButton *actu = nullptr;
    QToolButton *Maison = nullptr;
    QToolButton *Command8 = nullptr;
    QToolButton *Command3 = nullptr;
    QToolButton *Command5 = nullptr;
    QToolButton *Command2 = nullptr;
    QToolButton *Command4 = nullptr;
    QToolButton *Command1 = nullptr;
    BrowserComponent *brwWebBrowser = nullptr;
    SearchPanel *Frame1 = nullptr;
    QTextEdit *Text1 = nullptr;
    QLabel *Image2 = nullptr;
    StatusStrip *etat = nullptr;
    QLabel *Label1 = nullptr;
    QTimer *timTimer = nullptr;
    // While non-zero, selecting an address from code does not navigate.
    qint16 quelk = 0;

    void createControls();
    void connectHandlers();
    void connectKeys();
    void describeForScreenReaders();
    // Escape closes the search panel it is pressed in, else stops a loading page.
    void escapePressed();
    QToolButton *makeButton(const QString &caption, const QString &themeIcon, int standardIcon,
                            int leftTwips, int topTwips, int widthTwips);
    // Pumps events until the browser has completed its first navigation.
    void waitForFirstNavigation();
    // Selects an entry of cboAddress from code, which runs its click handling.
    void selectAddress(int index);
    void openActivity(double number);
    void setCaptionToPageTitle();
    void keepInWorkArea(const QRect &area);
    // The closing handlers, each run at most once whatever ends the window.
    void unloadOnce(UnloadMode mode);

    MessageBoxes &m_boxes;
    Drives &m_drives;
    DialupLine &m_dialup;
    HelpEngine &m_help;
    WindowFrame &m_frame;
    QString m_programFolder;
    std::unique_ptr<FileAccess> m_ownFiles;
    FileAccess &m_files;
    std::function<void()> m_endProgram;
    State m_state;
    bool m_unloaded = false;
    // Loaded the first time the favourites menu is asked for; lives as long as the window.
    std::unique_ptr<menuf> m_menuf;
    // Whether the next activation of the window runs Form_Activate.
    bool m_activateOnReturn = true;
    // The first showing runs Form_Activate, activated or not.
    bool m_shownOnce = false;
};

} // namespace ruzez

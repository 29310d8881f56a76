// Start-up and shut-down: the exchange file, the start page and the
// activity, the fit to the screen, the closing handlers.

#include "window/frm_browser.h"

#include "browser/browser_component.h"
#include "shell/dialup_line.h"
#include "shell/exchange_requests.h"
#include "shell/lenient_number.h"
#include "shell/message_boxes.h"
#include "shell/program_folder.h"
#include "shell/volume_probe.h"
#include "shell/window_frame.h"
#include "worksheet/activity_table.h"
#include "worksheet/worksheet_box.h"

#include <QComboBox>
#include <QEventLoop>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>

namespace ruzez {

namespace {
constexpr int kSmallScreenWidth = 850;
const QSize kWindowOnLargeScreens(800, 600);
} // namespace

void frmBrowser::Form_Load()
{
    m_state.navhisto = 0;
    const QString activite = exchange::announceRunning(m_files, m_programFolder);

    const QString localStartPage = joinPath(m_programFolder, QStringLiteral("index.html"));
    // The program folder may be on a share that does not answer.
    if (VolumeProbe().isFile(localStartPage)) {
        m_state.pageaccueil = localStartPage;
    } else {
        QString name = QStringLiteral("index.html");
        cherchecd(name, m_drives, m_boxes, m_programFolder, m_state.site);
        m_state.pageaccueil = name;
    }

    brwWebBrowser->Navigate(QStringLiteral("about:blank"));
    brwWebBrowser->Refresh();
    waitForFirstNavigation();
    if (m_unloaded)
        return;

    if (!m_state.pageaccueil.isEmpty()) {
        cboAddress->clear();
        cboAddress->addItem(m_state.pageaccueil);
        selectAddress(0);
        timTimer->start();
        brwWebBrowser->Navigate(m_state.pageaccueil);
    }
    waitForFirstNavigation();
    if (m_unloaded)
        return;

    Text1->hide();
    openActivity(lenientNumber(activite));
}

void frmBrowser::waitForFirstNavigation()
{
    // Events (browser, timer, resizing) keep being delivered while we wait,
    // without spinning: the loop sleeps until something arrives.
    while (!m_state.premierenav && !m_unloaded) {
        QEventLoop loop;
        connect(brwWebBrowser, &BrowserComponent::NavigateComplete2, &loop, &QEventLoop::quit);
        connect(this, &frmBrowser::unloading, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void frmBrowser::selectAddress(int index)
{
    cboAddress->setCurrentIndex(index);
    if (cboAddress->currentIndex() == index)
        cboAddress_Click();
}

void frmBrowser::openActivity(double number)
{
    const std::optional<Activity> activity = activityFor(number);
    if (!activity)
        return;
    if (activity->worksheetHeight)
        Text1->resize(Text1->width(), *activity->worksheetHeight);
    cboAddress->addItem(m_state.pageaccueil);
    selectAddress(0);
    timTimer->start();
    brwWebBrowser->Navigate(activityAddress(m_state.site.racinesite, *activity));
    switch (activity->worksheet) {
    case 1:
        fiche1(*Text1);
        break;
    case 2:
        fiche2(*Text1);
        break;
    case 3:
        fiche3(*Text1);
        break;
    default:
        break;
    }
    // Show the worksheet from its first line.
    Text1->moveCursor(QTextCursor::Start);
    Text1->setVisible(activity->worksheet != 0);
}

void frmBrowser::Form_Activate()
{
    if (const QScreen *current = screen())
        fitToScreen(current->geometry(), current->availableGeometry());
}

// Sizes and positions are the screen's logical pixels, whatever its scaling.
// The whole frame stays in the work area (the screen less its panels): a
// work area smaller than the fit gets a window filling it.
void frmBrowser::fitToScreen(const QRect &screen, const QRect &workArea)
{
    const QRect area = workArea.isValid() ? workArea : screen;
    if (screen.width() <= kSmallScreenWidth) {
        keepInWorkArea(area);
        return;
    }
    // 800 x 600 is the size of the whole window, its frame included: the
    // frame it will have in the normal state, not the maximised one.
    const QMargins frame = m_frame.normalFrame(*this);
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    const QSize size = kWindowOnLargeScreens.boundedTo(area.size());
    // The window itself is placed inside its frame: where a window manager
    // puts a frame that Qt was asked to place depends on the manager.
    const QPoint framePosition(area.x() + (area.width() - size.width()) / 2,
                               area.y() + (area.height() - size.height()) / 2);
    setGeometry(QRect(framePosition + QPoint(frame.left(), frame.top()),
                      size - QSize(frame.left() + frame.right(), frame.top() + frame.bottom())));
}

// On a small screen the window keeps its state, size and place, unless its
// normal frame would reach out of the work area: it is then brought inside.
void frmBrowser::keepInWorkArea(const QRect &area)
{
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QMargins frame = m_frame.normalFrame(*this);
    const QSize outer = size().grownBy(frame);
    if (outer.width() <= area.width() && outer.height() <= area.height()
        && (!testAttribute(Qt::WA_Moved) || area.contains(geometry().marginsAdded(frame))))
        return;
    const QSize bounded = outer.boundedTo(area.size());
    const QPoint framePosition(area.x() + (area.width() - bounded.width()) / 2,
                               area.y() + (area.height() - bounded.height()) / 2);
    setGeometry(QRect(framePosition + QPoint(frame.left(), frame.top()), bounded.shrunkBy(frame)));
}

void frmBrowser::Form_LostFocus()
{
    setWindowTitle(QStringLiteral("RUZEZ: Navigateur ZK"));
}

void frmBrowser::Form_QueryUnload(UnloadMode mode)
{
    // Nobody is left to answer at the end of a session.
    if (mode == UnloadMode::AppWindows)
        return;
    if (!m_dialup.connexionactive())
        return;
    const int answer = m_boxes.MsgBox(QStringLiteral("Voulez-vous fermer la connexion ?"),
                                      vb::YesNo + vb::Question, QStringLiteral("Navigation terminée"));
    if (answer == vb::Yes)
        m_dialup.hangUp();
}

void frmBrowser::Form_Unload()
{
    m_unloaded = true;
    emit unloading();
    timTimer->stop();
    exchange::announceStopped(m_files, m_programFolder);
    if (m_endProgram)
        m_endProgram();
}

void frmBrowser::endSession()
{
    unloadOnce(UnloadMode::AppWindows);
}

void frmBrowser::unloadOnce(UnloadMode mode)
{
    if (!m_unloaded)
        Form_QueryUnload(mode);
    // The session may have ended while the question waited.
    if (!m_unloaded)
        Form_Unload();
}

} // namespace ruzez

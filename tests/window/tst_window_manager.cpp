// The window as a pupil meets it under a real window manager: Xvfb with
// openbox, set as a desktop that keeps new windows from taking the focus
// (another program started RUZEZ). The test starts both itself; where they
// are not installed it says so and skips (scripts/packages.sh installs them).

#include "desktop.h"
#include "shell/x11_window_frame.h"
#include "window/frm_browser.h"
#include "window_harness.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QResizeEvent>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

using namespace ruzez;
using ruzez::test::Desktop;
using ruzez::test::WindowHarness;

namespace {

Desktop *desktop = nullptr;

xcb_connection_t *connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_atom_t atom(const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), false, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

bool windowManagerRuns()
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection(),
        xcb_get_property(connection(), false, root(), atom("_NET_SUPPORTING_WM_CHECK"),
                         XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    const bool runs = reply && xcb_get_property_value_length(reply) == 4;
    std::free(reply);
    return runs;
}

// What a click on the window's title does: the window manager activates
// it (a request from a pager, which no focus rule refuses).
void activateAsThePupil(QWidget &window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window.winId());
    message.type = atom("_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2; // from a pager
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection(), false, root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection());
}

// Notes the window's size each time it paints, and each size it takes.
class SizeLog : public QObject
{
public:
    QList<QSize> painted;
    QList<QSize> resized;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted << static_cast<QWidget *>(watched)->size();
        else if (event->type() == QEvent::Resize)
            resized << static_cast<QResizeEvent *>(event)->size();
        return false;
    }
};

const QRect kFitted(112, 84, 800, 600);

} // namespace

class TestWindowManager : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        if (!desktop || !desktop->missing.isEmpty())
            QSKIP(desktop ? qPrintable(desktop->missing) : "no desktop");
    }

    // A window the window manager does not activate is fitted all the
    // same, before it is first painted: no jump under the pupil's mouse.
    void firstShowingWithoutActivation()
    {
        ruzez::X11WindowFrame frame;
        WindowHarness h({}, &frame);
        frmBrowser &w = *h.window;
        SizeLog sizes;
        w.installEventFilter(&sizes);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_COMPARE(w.frameGeometry(), kFitted);
        QTest::qWait(300);
        QVERIFY2(!w.isActiveWindow(), "the window manager activated the new window");
        QCOMPARE(w.frameGeometry(), kFitted);
        QVERIFY(!sizes.painted.isEmpty());
        QCOMPARE(sizes.painted.first(), w.size());
        QVERIFY(w.size().width() < 800 || w.size().height() < 600);
    }

    // Maximised, then back from another window of the program: the frame
    // is the normal one, not the maximised one, at once.
    void returnFromAnotherWindowAfterMaximising()
    {
        ruzez::X11WindowFrame frame;
        WindowHarness h({}, &frame);
        frmBrowser &w = *h.window;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        activateAsThePupil(w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.setWindowState(Qt::WindowMaximized);
        QTRY_VERIFY(w.frameGeometry().width() >= 1024);

        QWidget other;
        other.resize(300, 200);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        activateAsThePupil(other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        SizeLog sizes;
        w.installEventFilter(&sizes);
        activateAsThePupil(w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_COMPARE(w.frameGeometry(), kFitted);
        QTest::qWait(300);
        QCOMPARE(w.frameGeometry(), kFitted);
        QCOMPARE(w.windowState(), Qt::WindowNoState);
        QCOMPARE(sizes.resized, QList<QSize>{w.size()});
    }
};

int main(int argc, char *argv[])
{
    Desktop started;
    desktop = &started;
    if (started.start())
        qputenv("QT_QPA_PLATFORM", "xcb");
    else if (started.missing.isEmpty())
        started.missing = QStringLiteral("openbox did not start");
    QApplication app(argc, argv);
    if (started.missing.isEmpty()
        && !QTest::qWaitFor([] { return windowManagerRuns(); }, 20000))
        started.missing = QStringLiteral("openbox did not start");
    TestWindowManager test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window_manager.moc"

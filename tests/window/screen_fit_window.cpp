// Shows the main window on the display it is given, as the program does at
// start-up, and prints where the window manager put its frame:
//   frame X Y W H / area X Y W H / scale S
// in the screen's device pixels. Run by tst_screen_fit, one screen per run.

#include "shell/x11_window_frame.h"
#include "window_harness.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include <cstdio>

namespace {

QRect devicePixels(const QRect &logical, qreal scale)
{
    return QRect(qRound(logical.x() * scale), qRound(logical.y() * scale),
                 qRound(logical.width() * scale), qRound(logical.height() * scale));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ruzez::X11WindowFrame frame;
    ruzez::test::WindowHarness h({}, &frame);
    h.window->show();
    if (!QTest::qWaitForWindowExposed(h.window.get()))
        return 2;
    // The window manager has the last word on the frame: let it settle.
    QRect last;
    for (int i = 0; i < 40 && h.window->frameGeometry() != last; ++i) {
        last = h.window->frameGeometry();
        QTest::qWait(150);
    }
    const QScreen *screen = h.window->screen();
    const qreal scale = h.window->devicePixelRatioF();
    const QRect outer = devicePixels(h.window->frameGeometry(), scale);
    const QRect area = devicePixels(screen->availableGeometry(), scale);
    std::printf("frame %d %d %d %d / area %d %d %d %d / scale %g\n", outer.x(), outer.y(),
                outer.width(), outer.height(), area.x(), area.y(), area.width(), area.height(), scale);
    return 0;
}

// Activation on a screen 1024 pixels wide: the test runs on an offscreen
// screen of that size.

#include "window/frm_browser.h"
#include "window_harness.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using ruzez::test::WindowHarness;

class TestWindowActivation : public QObject
{
    Q_OBJECT

private:
    static void activate(QWidget &window)
    {
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(QApplication::primaryScreen()->geometry(), QRect(0, 0, 1024, 768));
    }

    void firstShowingFitsTheWindow()
    {
        WindowHarness h;
        frmBrowser &w = *h.window;
        w.setGeometry(10, 10, 1000, 700);
        w.show();
        activate(w);
        QTRY_COMPARE(w.frameGeometry(), QRect(112, 84, 800, 600));
    }

    // 800 x 600 is the whole window, frame included: the window itself is
    // placed inside the frame the window manager will draw.
    void theFrameIsPartOfTheFit_data()
    {
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<QRect>("window");
        QTest::newRow("no frame") << QMargins() << QRect(112, 84, 800, 600);
        QTest::newRow("title bar and borders") << QMargins(4, 24, 4, 4) << QRect(116, 108, 792, 572);
    }
    void theFrameIsPartOfTheFit()
    {
        QFETCH(QMargins, frame);
        QFETCH(QRect, window);
        WindowHarness h;
        h.frame.frame = frame;
        frmBrowser &w = *h.window;
        w.fitToScreen(QRect(0, 0, 1024, 768));
        QCOMPARE(w.geometry(), window);
    }

    void returningFromAnotherWindowOfTheProgramFitsItAgain()
    {
        WindowHarness h;
        frmBrowser &w = *h.window;
        w.show();
        activate(w);
        w.setWindowState(Qt::WindowMaximized);
        QWidget other;
        other.show();
        activate(other);
        QCOMPARE(w.windowTitle(), QStringLiteral("RUZEZ: Navigateur ZK"));
        activate(w);
        QTRY_COMPARE(w.frameGeometry(), QRect(112, 84, 800, 600));
        QCOMPARE(w.windowState(), Qt::WindowNoState);
    }

    void returningFromAnotherApplicationLeavesTheSize()
    {
        WindowHarness h;
        frmBrowser &w = *h.window;
        w.show();
        activate(w);
        w.setGeometry(20, 30, 900, 700);
        QApplication::setActiveWindow(nullptr);
        QTRY_VERIFY(!w.isActiveWindow());
        activate(w);
        QCOMPARE(w.geometry(), QRect(20, 30, 900, 700));
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "wide", "x": 0, "y": 0, "width": 1024, "height": 768,
                   "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestWindowActivation test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window_activation.moc"

// The window at its first showing on screens of every size and scaling,
// under a real window manager: the whole frame inside the work area (the
// screen less its panel), centred there, 800 x 600 logical pixels where
// that fits, the whole work area where it does not.

#include "x_desktop.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRect>
#include <QTest>

using ruzez::test::XDesktop;

class TestScreenFit : public QObject
{
    Q_OBJECT

private slots:
    void firstShowingFitsTheWorkArea_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QString>("scale");
        QTest::addColumn<int>("panel");
        QTest::addColumn<QSize>("fit");
        // The frame's size in device pixels; 0: the work area's; -1: no larger than the work area.
        QTest::newRow("1366x768 at 125 %") << QSize(1366, 768) << "1.25" << 0 << QSize(1000, 750);
        QTest::newRow("1366x768 at 150 %") << QSize(1366, 768) << "1.5" << 0 << QSize(1200, 0);
        QTest::newRow("1920x1080 at 200 %") << QSize(1920, 1080) << "2" << 0 << QSize(1600, 0);
        QTest::newRow("1600x900 at 200 %, a small screen") << QSize(1600, 900) << "2" << 0 << QSize(0, 0);
        QTest::newRow("1024x600, 32-pixel panel") << QSize(1024, 600) << "1" << 32 << QSize(800, 0);
        QTest::newRow("1024x768") << QSize(1024, 768) << "1" << 0 << QSize(800, 600);
        QTest::newRow("800x600, a small screen") << QSize(800, 600) << "1" << 0 << QSize(0, -1);
    }
    void firstShowingFitsTheWorkArea()
    {
        QFETCH(QSize, screen);
        QFETCH(QString, scale);
        QFETCH(int, panel);
        QFETCH(QSize, fit);
        XDesktop desktop;
        if (!desktop.start(screen, panel))
            QSKIP(qPrintable(desktop.missing()));
        QProcess window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(desktop.display()));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
        environment.remove(QStringLiteral("QT_AUTO_SCREEN_SCALE_FACTOR"));
        window.setProcessEnvironment(environment);
        window.start(QCoreApplication::applicationDirPath() + QStringLiteral("/screen_fit_window"));
        QVERIFY(window.waitForFinished(60000));
        const QByteArray out = window.readAllStandardOutput();
        QVERIFY2(window.exitCode() == 0, window.readAllStandardError().constData());
        int f[4], a[4];
        double shown = 0;
        QCOMPARE(std::sscanf(out.constData(), "frame %d %d %d %d / area %d %d %d %d / scale %lf", &f[0],
                             &f[1], &f[2], &f[3], &a[0], &a[1], &a[2], &a[3], &shown),
                 9);
        const QRect frame(f[0], f[1], f[2], f[3]);
        const QRect area(a[0], a[1], a[2], a[3]);
        qInfo("%s", out.trimmed().constData());
        QCOMPARE(area.height(), screen.height() - panel);
        // Rounding to logical pixels may cost a device pixel or two.
        const int slack = qCeil(shown);
        QVERIFY2(area.adjusted(-slack, -slack, slack, slack).contains(frame), out.constData());
        QVERIFY2(qAbs(frame.center().x() - area.center().x()) <= slack + 1, out.constData());
        QVERIFY2(qAbs(frame.center().y() - area.center().y()) <= slack + 1, out.constData());
        const QSize expected(fit.width() ? fit.width() : area.width(),
                             fit.height() ? fit.height() : area.height());
        if (expected.width() > 0)
            QVERIFY2(qAbs(frame.width() - expected.width()) <= slack, out.constData());
        if (expected.height() > 0)
            QVERIFY2(qAbs(frame.height() - expected.height()) <= slack, out.constData());
    }
};

QTEST_GUILESS_MAIN(TestScreenFit)
#include "tst_screen_fit.moc"

// The pupil's page zoom: its steps and bounds, the keys and the wheel over
// real views, one zoom for every view, and what is remembered.

#include "browser/page_zoom.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <QWheelEvent>

using namespace ruzez;

class TestPageZoom : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QString settingsFile() const { return m_folder.filePath(QStringLiteral("zoom.conf")); }

private slots:
    void init() { QFile::remove(settingsFile()); }

    void stepsAndBounds_data()
    {
        QTest::addColumn<QString>("presses"); // + - 0
        QTest::addColumn<qreal>("factor");
        QTest::newRow("one step in") << "+" << 1.1;
        QTest::newRow("one step out") << "-" << 0.9;
        QTest::newRow("no further than 300 %") << "++++++++++++++" << 3.0;
        QTest::newRow("no further than 50 %") << "---------" << 0.5;
        QTest::newRow("back from the top") << "++++++++++++++-" << 2.5;
        QTest::newRow("reset") << "+++0" << 1.0;
    }
    void stepsAndBounds()
    {
        QFETCH(QString, presses);
        PageZoom zoom(settingsFile());
        for (const QChar press : presses) {
            if (press == u'+')
                zoom.zoomIn();
            else if (press == u'-')
                zoom.zoomOut();
            else
                zoom.reset();
        }
        QTEST(zoom.factor(), "factor");
    }

    void keysAndWheelOverAView_data()
    {
        QTest::addColumn<int>("key"); // 0: the wheel
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("wheel");
        QTest::addColumn<qreal>("factor");
        const int ctrl = Qt::ControlModifier;
        const int keypad = Qt::ControlModifier | Qt::KeypadModifier;
        QTest::newRow("Ctrl+plus") << int(Qt::Key_Plus) << ctrl << 0 << 1.5;
        QTest::newRow("Ctrl+= (plus without Shift)") << int(Qt::Key_Equal) << ctrl << 0 << 1.5;
        QTest::newRow("Ctrl+keypad plus") << int(Qt::Key_Plus) << keypad << 0 << 1.5;
        QTest::newRow("Ctrl+minus") << int(Qt::Key_Minus) << ctrl << 0 << 1.1;
        QTest::newRow("Ctrl+keypad minus") << int(Qt::Key_Minus) << keypad << 0 << 1.1;
        QTest::newRow("Ctrl+0") << int(Qt::Key_0) << ctrl << 0 << 1.0;
        QTest::newRow("plus alone types") << int(Qt::Key_Plus) << 0 << 0 << 1.25;
        QTest::newRow("Ctrl+wheel up") << 0 << ctrl << 120 << 1.5;
        QTest::newRow("Ctrl+wheel down") << 0 << ctrl << -120 << 1.1;
        QTest::newRow("touchpad, half a notch") << 0 << ctrl << 60 << 1.25;
        QTest::newRow("wheel alone scrolls") << 0 << 0 << 120 << 1.25;
    }
    void keysAndWheelOverAView()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, wheel);
        PageZoom zoom(settingsFile());
        zoom.zoomIn();
        zoom.zoomIn(); // 125 %
        QWebEngineView view;
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.zoomFactor(), 1.25);
        if (key) {
            QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        } else {
            const QPointF centre(150, 100);
            QWheelEvent event(centre, view.mapToGlobal(centre), {}, {0, wheel}, Qt::NoButton,
                              Qt::KeyboardModifiers(modifiers), Qt::NoScrollPhase, false);
            QApplication::sendEvent(&view, &event);
        }
        QTEST(zoom.factor(), "factor");
        QTEST(view.zoomFactor(), "factor");
    }

    // One zoom for every view, the pop-ups that open later too, and for the
    // next start; a stored value that is no zoom is 100 %.
    void everyViewAndTheNextStart()
    {
        {
            PageZoom zoom(settingsFile());
            QWebEngineView main;
            main.show();
            zoom.zoomOut();
            QCOMPARE(main.zoomFactor(), 0.9);
            QWebEngineView popup;
            popup.show();
            QCOMPARE(popup.zoomFactor(), 0.9);
        }
        PageZoom nextStart(settingsFile());
        QCOMPARE(nextStart.factor(), 0.9);
    }

    void storedValueThatIsNoZoom_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("text") << "grand";
        QTest::newRow("too large") << "12";
        QTest::newRow("negative") << "-1";
        QTest::newRow("not a number") << "nan";
    }
    void storedValueThatIsNoZoom()
    {
        QFETCH(QString, stored);
        QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("page/zoom"), stored);
        PageZoom zoom(settingsFile());
        QCOMPARE(zoom.factor(), 1.0);
    }
};

QTEST_MAIN(TestPageZoom)
#include "tst_page_zoom.moc"

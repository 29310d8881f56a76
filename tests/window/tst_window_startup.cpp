#include "search/search_panel.h"
#include "test_files.h"
#include "window/frm_browser.h"
#include "window_controls.h"
#include "window_harness.h"

#include <QComboBox>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace ruzez;
using ruzez::test::ui;
using ruzez::test::WindowHarness;

class TestWindowStartup : public QObject
{
    Q_OBJECT

private slots:
    void activityOpensItsPageAndWorksheet_data()
    {
        QTest::addColumn<QByteArray>("activity");
        QTest::addColumn<QString>("page"); // relative to the course folder; empty: the start page
        QTest::addColumn<bool>("worksheetShown");
        QTest::addColumn<int>("worksheetHeight");

        const QString co2 = QStringLiteral("air/presentair.html#CO2");
        const QString cfc = QStringLiteral("air/pagesair/CFC.html#pollutions");
        QTest::newRow("20: start page of the course, no worksheet")
            << QByteArray("20") << "partages/index.html" << false << 105;
        QTest::newRow("21: carbon dioxide, worksheet 1 at 118") << QByteArray("21") << co2 << true << 118;
        QTest::newRow("22: worksheet 2 keeps the designed height")
            << QByteArray("22") << "air/pagesair/dioxyde.html" << true << 105;
        QTest::newRow("23: worksheet 3 at 152") << QByteArray("23") << cfc << true << 152;
        QTest::newRow("0 opens no activity") << QByteArray("0") << QString() << false << 105;
        QTest::newRow("24 opens no activity") << QByteArray("24") << QString() << false << 105;
        QTest::newRow("empty record") << QByteArray() << QString() << false << 105;
        QTest::newRow("no digits") << QByteArray("vingt") << QString() << false << 105;
        QTest::newRow("leading blank") << QByteArray(" 23") << cfc << true << 152;
        QTest::newRow("zero decimals") << QByteArray("23.0") << cfc << true << 152;
        QTest::newRow("hexadecimal 21") << QByteArray("&H15") << co2 << true << 118;
        QTest::newRow("blank inside the digits") << QByteArray("2 1") << co2 << true << 118;
        QTest::newRow("21.5 is no activity") << QByteArray("21.5") << QString() << false << 105;
    }

    void activityOpensItsPageAndWorksheet()
    {
        QFETCH(QByteArray, activity);
        QFETCH(QString, page);
        QFETCH(bool, worksheetShown);
        QFETCH(int, worksheetHeight);

        WindowHarness h;
        h.writeActivity(activity);
        h.browser->autoComplete = true;
        // A worksheet that is written replaces what the box held.
        ui(*h.window).Text1->setPlainText(QStringLiteral("avant"));
        h.window->Form_Load();
        h.settle();

        const QString startPage = h.discRoot() + QStringLiteral("partages/index.html");
        QCOMPARE(h.window->state().pageaccueil, startPage);
        QCOMPARE(h.window->state().site.racinesite, h.discRoot());
        const QString expected = page.isEmpty() ? startPage : QStringLiteral("file://") + h.discRoot() + page;
        QCOMPARE(h.browser->lastNavigation(), expected);
        QCOMPARE(h.browser->locationURL, expected);
        QCOMPARE(ui(*h.window).Text1->isVisibleTo(h.window.get()), worksheetShown);
        QCOMPARE(ui(*h.window).Text1->height(), worksheetHeight);
        QCOMPARE(ui(*h.window).Text1->toPlainText() == QStringLiteral("avant"), !worksheetShown);
        QVERIFY(h.boxes.calls.isEmpty());
        QVERIFY(!ui(*h.window).Frame1->isVisibleTo(h.window.get()));
    }

    void startUpStepsComeInOrder()
    {
        WindowHarness h;
        h.writeActivity("21");
        h.browser->autoComplete = true;
        h.window->Form_Load();

        const QString start = h.discRoot() + QStringLiteral("partages/index.html");
        const QStringList expected{
            QStringLiteral("Navigate(about:blank)"),
            QStringLiteral("Refresh()"),
            // the start page, from selecting it in the address list, then directly
            QStringLiteral("Navigate(%1)").arg(start),
            QStringLiteral("Navigate(%1)").arg(start),
            // the activity: its entry again, then its page
            QStringLiteral("Navigate(%1)").arg(start),
            QStringLiteral("Navigate(file://%1air/presentair.html#CO2)").arg(h.discRoot()),
        };
        QCOMPARE(h.browser->calls, expected);
        QVERIFY(h.window->state().premierenav);
        QVERIFY(ui(*h.window).timTimer->isActive());
    }

    // Nothing is requested beyond the blank page until the browser has
    // completed a navigation, however long it takes.
    void startUpWaitsForTheFirstCompletedNavigation()
    {
        WindowHarness h;
        h.writeActivity("20");
        bool requestedEarly = false;
        QTimer::singleShot(100, h.browser, [&] {
            requestedEarly = h.browser->calls.size() > 2;
            h.browser->load(QStringLiteral("about:blank"));
        });
        h.window->Form_Load();
        QVERIFY(!requestedEarly);
        QVERIFY(h.window->state().premierenav);
        QCOMPARE(h.browser->lastNavigation(), QStringLiteral("file://%1partages/index.html").arg(h.discRoot()));
    }

    // Closing the window while start-up still waits ends the wait and the
    // start-up with it.
    void closingDuringStartUpEndsIt()
    {
        WindowHarness h;
        h.writeActivity("21");
        QTimer::singleShot(50, h.window.get(), [&] { h.window->close(); });
        h.window->Form_Load();
        QVERIFY(h.window->unloaded());
        QCOMPARE(h.programEnded, 1);
        QCOMPARE(h.browser->calls, (QStringList{QStringLiteral("Navigate(about:blank)"), QStringLiteral("Refresh()")}));
    }

    void startPageInTheProgramFolderSkipsTheDiscSearch()
    {
        WindowHarness h;
        h.writeActivity("20");
        test::makeFile(h.program.filePath(QStringLiteral("index.html")), "<html></html>");
        h.browser->autoComplete = true;
        h.window->Form_Load();
        h.settle();

        QCOMPARE(h.drives.listings, 0);
        QCOMPARE(h.window->state().pageaccueil, h.program.filePath(QStringLiteral("index.html")));
        QVERIFY(h.window->state().site.racinesite.isEmpty());
        QVERIFY(h.window->state().site.databaseName.isEmpty());
        QCOMPARE(h.browser->lastNavigation(), QStringLiteral("file://partages/index.html"));
    }

    void givingUpTheDiscLeavesAnEmptyRoot()
    {
        WindowHarness h;
        h.drives.list.clear();
        h.boxes.answerWith({vb::Cancel});
        h.writeActivity("21");
        h.browser->autoComplete = true;
        h.window->Form_Load();
        h.settle();

        QCOMPARE(h.boxes.calls.size(), 1);
        QVERIFY(h.window->state().pageaccueil.isEmpty());
        QCOMPARE(h.browser->lastNavigation(), QStringLiteral("file://air/presentair.html#CO2"));
        QCOMPARE(h.boxes.beeps, 1);
        QVERIFY(ui(*h.window).Text1->isVisibleTo(h.window.get()));
    }

    void exchangeFileAcrossOneRun()
    {
        WindowHarness h;
        const QString path = h.program.filePath(QStringLiteral("TEMPO.SZK"));
        h.browser->autoComplete = true;
        h.window->Form_Load();

        QByteArray bytes = test::readAll(path);
        QCOMPARE(bytes.size(), 2432);
        QCOMPARE(bytes.mid(18 * 128), test::record("OUI"));
        QCOMPARE(bytes.left(18 * 128), QByteArray(18 * 128, '\0'));
        QVERIFY(!ui(*h.window).Text1->isVisibleTo(h.window.get()));

        h.window->Command2_Click();
        QCOMPARE(h.programEnded, 1);
        bytes.replace(18 * 128, 128, test::record("NON"));
        QCOMPARE(test::readAll(path), bytes);
    }

    void closeQuestion_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("hangUps");
        QTest::newRow("no connection: no question") << false << int(vb::Yes) << 0 << 0;
        QTest::newRow("connected, yes: hang up") << true << int(vb::Yes) << 1 << 1;
        QTest::newRow("connected, no: line stays up") << true << int(vb::No) << 1 << 0;
    }

    void closeQuestion()
    {
        QFETCH(bool, connected);
        QFETCH(int, answer);
        QFETCH(int, questions);
        QFETCH(int, hangUps);

        WindowHarness h;
        h.dialup.connected = connected;
        h.boxes.answerWith({answer});
        h.window->show();
        QVERIFY(h.window->close());

        QCOMPARE(h.boxes.calls.size(), questions);
        if (questions) {
            QCOMPARE(h.boxes.calls[0].text, QStringLiteral("Voulez-vous fermer la connexion ?"));
            QCOMPARE(h.boxes.calls[0].style, 36);
            QCOMPARE(h.boxes.calls[0].title, QStringLiteral("Navigation terminée"));
        }
        QCOMPARE(h.dialup.hangUps, hangUps);
        QCOMPARE(h.programEnded, 1);
        QCOMPARE(test::readAll(h.program.filePath(QStringLiteral("TEMPO.SZK"))).mid(18 * 128, 128),
                 test::record("NON"));

        // A second close (the application quitting) does not ask again.
        h.window->show();
        h.window->close();
        QCOMPARE(h.boxes.calls.size(), questions);
        QCOMPARE(h.programEnded, 1);
    }

    void activationFitsLargeScreens_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("expected"); // null: left as it was
        QTest::newRow("1024 wide") << QRect(0, 0, 1024, 768) << QRect(112, 84, 800, 600);
        QTest::newRow("851 wide") << QRect(0, 0, 851, 700) << QRect(25, 50, 800, 600);
        QTest::newRow("850 wide") << QRect(0, 0, 850, 700) << QRect();
        QTest::newRow("800 wide") << QRect(0, 0, 800, 600) << QRect();
        QTest::newRow("second screen") << QRect(1280, 0, 1280, 1024) << QRect(1280 + 240, 212, 800, 600);
    }

    void activationFitsLargeScreens()
    {
        QFETCH(QRect, screen);
        QFETCH(QRect, expected);

        WindowHarness h;
        h.window->setGeometry(10, 20, 700, 500);
        h.window->setWindowState(Qt::WindowMaximized);
        h.window->fitToScreen(screen);
        if (expected.isNull()) {
            QCOMPARE(h.window->windowState(), Qt::WindowMaximized);
        } else {
            QCOMPARE(h.window->windowState(), Qt::WindowNoState);
            QCOMPARE(h.window->frameGeometry(), expected);
        }
    }
};

QTEST_MAIN(TestWindowStartup)
#include "tst_window_startup.moc"

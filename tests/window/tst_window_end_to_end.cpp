// The main window over the real browser, offscreen, on the demo course.

#include "browser/web_engine_browser.h"
#include "local_http_server.h"
#include "page_script.h"
#include "recording_desktop.h"
#include "test_files.h"
#include "window/frm_browser.h"
#include "window_controls.h"
#include "window_harness.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace ruzez;
using ruzez::test::ui;

namespace {

constexpr int kLoadTimeout = 30000;

// The exchange file as the main course program might leave it: its own
// records full of bytes the browser must not touch, the activity in 26.
QByteArray exchangeFile(const QByteArray &activity)
{
    QByteArray bytes;
    for (int i = 0; i < 30 * 128; ++i)
        bytes += char((i * 13 + 7) % 253);
    bytes.replace(25 * 128, 128, test::record(activity));
    return bytes;
}

struct Run
{
    // A null activity leaves the program folder without an exchange file.
    explicit Run(const QByteArray &activity, bool withDisc = true)
    {
        if (withDisc)
            drives.list = {qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/demo/disc/")};
        if (!activity.isNull())
            test::writeAll(exchangePath(), exchangeFile(activity));
        auto engine = std::make_unique<WebEngineBrowser>(desktop.handOff());
        browser = engine.get();
        window = std::make_unique<frmBrowser>(boxes, drives, dialup, help, frame, program.path(),
                                              std::move(engine), [this] { ++ended; });
    }

    // Waits until the browser rests on an address ending with `page`.
    bool restsOn(const QString &page)
    {
        return QTest::qWaitFor([&] { return !browser->Busy() && browser->LocationURL().endsWith(page); },
                               kLoadTimeout);
    }

    QString exchangePath() const { return program.filePath(QStringLiteral("TEMPO.SZK")); }

    QTemporaryDir program;
    test::FakeMessageBoxes boxes;
    test::FakeDrives drives;
    test::ScriptedDialupLine dialup;
    test::RecordingHelpEngine help;
    test::FakeWindowFrame frame;
    test::RecordingDesktop desktop;
    int ended = 0;
    WebEngineBrowser *browser = nullptr;
    std::unique_ptr<frmBrowser> window;
};

const QString kStartPage = QStringLiteral("re2rira/partages/index.html");

} // namespace

class TestWindowEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void activityEndsOnItsPage_data()
    {
        QTest::addColumn<QByteArray>("activity");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("worksheet");
        QTest::newRow("20") << QByteArray("20") << "re2rira/partages/index.html" << false;
        QTest::newRow("21") << QByteArray("21") << "re2rira/air/presentair.html#CO2" << true;
        QTest::newRow("22") << QByteArray("22") << "re2rira/air/pagesair/dioxyde.html" << true;
        QTest::newRow("23") << QByteArray("23") << "re2rira/air/pagesair/CFC.html#pollutions" << true;
        QTest::newRow("0") << QByteArray("0") << kStartPage << false;
    }

    void activityEndsOnItsPage()
    {
        QFETCH(QByteArray, activity);
        QFETCH(QString, page);
        QFETCH(bool, worksheet);

        Run run(activity);
        run.window->Form_Load();
        run.window->show();
        QVERIFY2(run.restsOn(page), qPrintable(run.browser->LocationURL()));
        QVERIFY(run.browser->LocationURL().startsWith(QLatin1String("file:///")));
        QCOMPARE(ui(*run.window).Text1->isVisible(), worksheet);
        QVERIFY(run.boxes.calls.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(run.window->windowTitle(),
                                  QStringLiteral("RUZEZ - ") + run.browser->LocationName(), kLoadTimeout);
        QVERIFY(run.window->windowTitle() != QLatin1String("RUZEZ - "));
    }

    void homeBackAndForward()
    {
        Run run("22");
        run.window->Form_Load();
        run.window->show();
        const QString dioxyde = QStringLiteral("re2rira/air/pagesair/dioxyde.html");
        QVERIFY(run.restsOn(dioxyde));

        run.window->Maison_Click();
        QVERIFY(run.restsOn(kStartPage));
        const qint16 afterHome = run.window->state().poshisto;

        run.window->avant_Click();
        QVERIFY(run.restsOn(dioxyde));
        QCOMPARE(run.window->state().poshisto, qint16(afterHome - 1));

        run.window->suivant_Click();
        QVERIFY(run.restsOn(kStartPage));
        QCOMPARE(run.window->state().poshisto, afterHome);
        QCOMPARE(run.window->state().maxhisto, afterHome);

        // Every page shown is listed once in the address list.
        QStringList listed;
        for (int i = 0; i < ui(*run.window).cboAddress->count(); ++i)
            listed << ui(*run.window).cboAddress->itemText(i);
        QCOMPARE(listed.filter(dioxyde).size(), 1);
    }

    // "OUI" while the window runs, "NON" after an orderly close; the rest of
    // the file stays as the main course program left it.
    void runningFlagAroundTheRun()
    {
        Run run("21");
        const QByteArray before = test::readAll(run.exchangePath());
        run.window->Form_Load();
        run.window->show();
        QVERIFY(run.restsOn(QStringLiteral("presentair.html#CO2")));
        QByteArray expected = before;
        expected.replace(18 * 128, 128, test::record("OUI"));
        QCOMPARE(test::readAll(run.exchangePath()), expected);

        run.window->Command2_Click();
        QCOMPARE(run.ended, 1);
        expected.replace(18 * 128, 128, test::record("NON"));
        QCOMPARE(test::readAll(run.exchangePath()), expected);
    }

    void noExchangeFileShowsTheStartPage()
    {
        Run run(QByteArray{});
        run.window->Form_Load();
        run.window->show();
        QVERIFY(run.restsOn(kStartPage));
        const QByteArray bytes = test::readAll(run.exchangePath());
        QCOMPARE(bytes.size(), 2432);
        QCOMPARE(bytes.mid(2304), test::record("OUI"));
        QVERIFY(!ui(*run.window).Text1->isVisible());
    }

    // A start page beside the program: no disc search, so the activity's
    // page is asked for with an empty root and cannot load.
    void startPageInTheProgramFolder()
    {
        Run run("22");
        QVERIFY(test::makeFile(run.program.filePath(QStringLiteral("index.html")),
                               "<html><head><title>Accueil local</title></head><body>local</body></html>"));
        run.window->Form_Load();
        run.window->show();
        QCOMPARE(run.drives.listings, 0);
        QCOMPARE(run.window->state().pageaccueil, run.program.filePath(QStringLiteral("index.html")));
        QCOMPARE(run.window->state().site.racinesite, QString());
        QVERIFY(run.restsOn(QStringLiteral("air/pagesair/dioxyde.html")));
        QVERIFY(!run.browser->LocationURL().contains(QLatin1String("re2rira")));
        QVERIFY(ui(*run.window).Text1->isVisible());
    }

    void cancelAtTheDiscQuestion()
    {
        Run run("21", false);
        run.boxes.answerWith({vb::Cancel});
        run.window->Form_Load();
        QCOMPARE(run.boxes.calls.size(), 1);
        QCOMPARE(run.boxes.calls[0].title, QStringLiteral("CD-ROM absent"));
        QCOMPARE(run.boxes.beeps, 1);
        QCOMPARE(run.window->state().pageaccueil, QString());
        QCOMPARE(run.window->state().site.racinesite, QString());
        QVERIFY(run.restsOn(QStringLiteral("air/presentair.html#CO2")));
        QCOMPARE(run.browser->LocationURL(), QStringLiteral("file:///air/presentair.html#CO2"));
    }

    void refreshAndStop()
    {
        test::LocalHttpServer server;
        QVERIFY(server.listening());
        Run run("0");
        run.window->Form_Load();
        run.window->show();
        QVERIFY(run.restsOn(kStartPage));

        QSignalSpy complete(run.browser, &BrowserComponent::DownloadComplete);
        run.window->actu_Click();
        QVERIFY(complete.wait(kLoadTimeout));
        QVERIFY(run.restsOn(kStartPage));

        // A page that never comes: stop gives the caption back and disables stop.
        QSignalSpy begun(run.browser, &BrowserComponent::DownloadBegin);
        run.browser->Navigate(server.url(QStringLiteral("/never")));
        QVERIFY(begun.wait(kLoadTimeout));
        QVERIFY(ui(*run.window).stoppeur->isEnabled());
        run.window->stoppeur_Click();
        QVERIFY(!ui(*run.window).stoppeur->isEnabled());
        QCOMPARE(run.window->windowTitle(), QStringLiteral("RUZEZ - ") + run.browser->LocationName());
        QTRY_VERIFY_WITH_TIMEOUT(!run.browser->Busy(), kLoadTimeout);
    }

    // A link that asks for a new window, pointed at while the status text
    // shows its http address, opens in the main window instead.
    void newWindowLinkOpensInTheMainWindow()
    {
        test::LocalHttpServer server;
        QVERIFY(server.listening());
        const QString target = server.url(QStringLiteral("/page.html"));
        Run run("0");
        QVERIFY(test::makeFile(run.program.filePath(QStringLiteral("index.html")),
                               "<html><body><a id=\"l\" target=\"_blank\" href=\"" + target.toUtf8()
                                   + "\">ailleurs</a></body></html>"));
        run.window->Form_Load();
        run.window->show();
        QVERIFY(run.restsOn(QStringLiteral("index.html")));

        emit run.browser->StatusTextChange(target); // the pointer over the link
        test::runJavaScript(run.browser->page(), QStringLiteral("document.getElementById('l').click()"));
        QVERIFY(run.restsOn(QStringLiteral("/page.html")));
        QCOMPARE(run.browser->LocationName(), QStringLiteral("Servie"));
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(w == run.window.get() || !w->isVisible());
    }
};

QTEST_MAIN(TestWindowEndToEnd)
#include "tst_window_end_to_end.moc"

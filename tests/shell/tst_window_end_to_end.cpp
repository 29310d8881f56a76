// The main window over the real browser, offscreen, on the demo course.

#include "browser/web_engine_browser.h"
#include "shell/frm_browser.h"
#include "test_files.h"
#include "window_harness.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace ruzez;

namespace {

constexpr int kLoadTimeout = 30000;

struct Run
{
    explicit Run(const QByteArray &activity)
    {
        drives.list = {qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/demo/disc/")};
        QByteArray bytes(25 * 128, '\0');
        bytes += test::record(activity);
        test::writeAll(program.filePath(QStringLiteral("TEMPO.SZK")), bytes);
        auto engine = std::make_unique<WebEngineBrowser>();
        browser = engine.get();
        window = std::make_unique<frmBrowser>(boxes, drives, dialup, help, program.path(),
                                              std::move(engine), [this] { ++ended; });
    }

    // Waits until the browser rests on an address ending with `page`.
    bool restsOn(const QString &page)
    {
        return QTest::qWaitFor([&] { return !browser->Busy() && browser->LocationURL().endsWith(page); },
                               kLoadTimeout);
    }

    QTemporaryDir program;
    test::FakeMessageBoxes boxes;
    test::FakeDrives drives;
    test::ScriptedDialupLine dialup;
    test::RecordingHelpEngine help;
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
        QCOMPARE(run.window->Text1->isVisible(), worksheet);
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
        for (int i = 0; i < run.window->cboAddress->count(); ++i)
            listed << run.window->cboAddress->itemText(i);
        QCOMPARE(listed.filter(dioxyde).size(), 1);
    }
};

QTEST_MAIN(TestWindowEndToEnd)
#include "tst_window_end_to_end.moc"

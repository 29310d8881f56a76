#include "browser/popup_limit.h"
#include "browser/separate_browser_window.h"
#include "browser/web_engine_browser.h"
#include "page_script.h"
#include "recording_desktop.h"
#include "test_files.h"

#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>

using namespace ruzez;
using ruzez::test::makeFile;

namespace {

constexpr int kTimeout = test::kEngineTimeout;

// The component's events in the order they came, progress folded into one.
class EventLog : public QObject
{
public:
    explicit EventLog(WebEngineBrowser &browser)
    {
        connect(&browser, &BrowserComponent::BeforeNavigate2, this,
                [this](const QString &url) { add(QStringLiteral("BeforeNavigate2 ") + url); });
        connect(&browser, &BrowserComponent::DownloadBegin, this, [this, &browser] {
            add(QStringLiteral("DownloadBegin"));
            busyAtBegin = browser.Busy();
        });
        connect(&browser, &BrowserComponent::ProgressChange, this, [this](int, int max) {
            if (events.isEmpty() || events.last() != QLatin1String("ProgressChange"))
                add(QStringLiteral("ProgressChange"));
            progressMax = max;
        });
        connect(&browser, &BrowserComponent::NavigateComplete2, this,
                [this] { add(QStringLiteral("NavigateComplete2")); });
        connect(&browser, &BrowserComponent::DownloadComplete, this, [this, &browser] {
            add(QStringLiteral("DownloadComplete"));
            ++completed;
            urlAtComplete = browser.LocationURL();
            busyAtComplete = browser.Busy();
        });
    }

    void add(const QString &event) { events << event; }
    bool waitForCompletions(int count) { return QTest::qWaitFor([&] { return completed >= count; }, kTimeout); }

    QStringList events;
    int completed = 0;
    int progressMax = 0;
    QString urlAtComplete;
    bool busyAtBegin = false;
    bool busyAtComplete = true;
};


QString demoPage(const QString &page)
{
    return qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/demo/disc/re2rira/") + page;
}

QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(kTimeout))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(path).toString();
}

} // namespace

class TestWebEngineBrowser : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_first;
    QString m_second;
    QString m_latin;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Loads a page and waits until its navigation is over.
    bool load(WebEngineBrowser &browser, const QString &address)
    {
        QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
        return browser.Navigate(address) && complete.wait(kTimeout);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_first = path(QStringLiteral("premiere.html"));
        m_second = path(QStringLiteral("seconde.html"));
        m_latin = path(QStringLiteral("latin.html"));
        QVERIFY(makeFile(m_first,
                         "<html><head><meta charset=\"utf-8\"><title>Première</title></head><body>"
                         "<a id=\"toAnchor\" href=\"#CO2\">bas</a>"
                         "<a id=\"popup\" href=\"seconde.html\" target=\"_blank\">ailleurs</a>"
                         "<div style=\"height:5000px\"></div><h2 id=\"CO2\">CO2</h2></body></html>"));
        QVERIFY(makeFile(m_second, "<html><head><meta charset=\"utf-8\"><title>Seconde</title></head>"
                                   "<body>seconde page</body></html>"));
        QVERIFY(makeFile(m_latin, "<html><head><title>Latin</title></head><body>caf\xe9</body></html>"));
    }

    // A hidden component, as start-up uses it before the window shows.
    void hiddenComponentCompletesAboutBlankThenRefresh()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QSignalSpy complete(&browser, &BrowserComponent::NavigateComplete2);
        QVERIFY(browser.Navigate(QStringLiteral("about:blank")));
        QVERIFY(browser.Refresh());
        QVERIFY(complete.wait(kTimeout));
        QVERIFY(!browser.isVisible());
        QCOMPARE(browser.LocationURL(), QStringLiteral("about:blank"));
    }

    void loadGivesEventsInOrder_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("title");
        QTest::newRow("page") << QStringLiteral("premiere.html") << QStringLiteral("Première");
        QTest::newRow("missing file: error page, same events")
            << QStringLiteral("absente.html") << QString();
    }

    void loadGivesEventsInOrder()
    {
        QFETCH(QString, page);
        QFETCH(QString, title);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        EventLog log(browser);
        const QString url = fileUrl(path(page));

        QVERIFY(browser.Navigate(QStringLiteral("file://") + path(page)));
        QVERIFY(log.waitForCompletions(1));
        QTest::qWait(200); // nothing more may follow
        const QStringList expected{QStringLiteral("BeforeNavigate2 ") + url, QStringLiteral("DownloadBegin"),
                                   QStringLiteral("ProgressChange"), QStringLiteral("NavigateComplete2"),
                                   QStringLiteral("DownloadComplete")};
        QCOMPARE(log.events, expected);
        QCOMPARE(log.progressMax, 100);
        QVERIFY(log.busyAtBegin);
        QVERIFY(!log.busyAtComplete);
        QCOMPARE(log.urlAtComplete, url);
        if (!title.isEmpty())
            QCOMPARE(browser.LocationName(), title);
    }

    // The busy caption's timer polls right after the request: the engine
    // has not started yet, but the browser is busy from the call on.
    void busyFromTheRequestOn()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, m_first));
        QVERIFY(!browser.Busy());
        QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
        QVERIFY(browser.Navigate(m_second));
        QVERIFY(browser.Busy());
        QVERIFY(complete.wait(kTimeout));
        QVERIFY(!browser.Busy());
        QVERIFY(browser.Navigate(m_first));
        QVERIFY(browser.Stop());
        QTRY_VERIFY_WITH_TIMEOUT(!browser.Busy(), kTimeout);
    }

    void emptyAddressFailsWithoutEvents()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        EventLog log(browser);
        QVERIFY(!browser.Navigate(QString()));
        QVERIFY(!browser.Navigate2(QStringLiteral("  ")));
        QVERIFY(!browser.GoBack());
        QVERIFY(!browser.GoForward());
        QTest::qWait(200);
        QCOMPARE(log.events, QStringList());
    }

    void fragmentIsKeptOnALoad()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, QStringLiteral("file://") + m_first + QStringLiteral("#CO2")));
        QCOMPARE(browser.LocationURL(), fileUrl(m_first) + QStringLiteral("#CO2"));
        QCOMPARE(test::runJavaScript(browser.page(), QStringLiteral("location.hash")).toString(), QStringLiteral("#CO2"));
    }

    // Moves inside the page shown load nothing; each is still one whole
    // navigation for whoever follows the events.
    void moveInsideThePageIsACompletedNavigation_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Navigate to an anchor") << QStringLiteral("navigate");
        QTest::newRow("link to an anchor") << QStringLiteral("link");
        QTest::newRow("back from an anchor") << QStringLiteral("back");
    }

    void moveInsideThePageIsACompletedNavigation()
    {
        QFETCH(QString, how);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, m_first));
        QString expectedUrl = fileUrl(m_first) + QStringLiteral("#CO2");
        if (how == QLatin1String("back")) {
            QVERIFY(load(browser, m_first + QStringLiteral("#CO2")));
            expectedUrl = fileUrl(m_first);
        }

        EventLog log(browser);
        if (how == QLatin1String("navigate"))
            QVERIFY(browser.Navigate(m_first + QStringLiteral("#CO2")));
        else if (how == QLatin1String("link"))
            test::runJavaScript(browser.page(), QStringLiteral("document.getElementById('toAnchor').click()"));
        else
            QVERIFY(browser.GoBack());
        QVERIFY(log.waitForCompletions(1));
        QTest::qWait(200);
        const QStringList expected{QStringLiteral("BeforeNavigate2 ") + expectedUrl, QStringLiteral("DownloadBegin"),
                                   QStringLiteral("NavigateComplete2"), QStringLiteral("DownloadComplete")};
        QCOMPARE(log.events, expected);
        QCOMPARE(browser.LocationURL(), expectedUrl);
    }

    void undeclaredEncodingIsWindows1252()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, m_latin));
        QCOMPARE(test::runJavaScript(browser.page(), QStringLiteral("document.body.textContent")).toString(),
                 QStringLiteral("café"));
    }

    // The start page is superseded at once by the activity's page: the
    // component ends on the second page, and every DownloadBegin is closed
    // by a DownloadComplete.
    void supersededNavigationEndsOnTheLastPage()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, QStringLiteral("about:blank")));
        EventLog log(browser);
        QVERIFY(browser.Navigate(m_first));
        QVERIFY(browser.Navigate(QStringLiteral("file://") + m_second));
        QTRY_COMPARE_WITH_TIMEOUT(browser.LocationURL(), fileUrl(m_second), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.Busy(), kTimeout);
        QTest::qWait(300);
        QCOMPARE(log.events.count(QStringLiteral("DownloadBegin")), log.completed);
        QCOMPARE(log.events.last(), QStringLiteral("DownloadComplete"));
        QCOMPARE(log.urlAtComplete, fileUrl(m_second));
    }

    void newWindowRequest_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("openHere");
        QTest::newRow("cancelled: no window") << true << false;
        QTest::newRow("let through: a separate window") << false << false;
        QTest::newRow("cancelled and opened in this component") << true << true;
    }

    void newWindowRequest()
    {
        QFETCH(bool, cancel);
        QFETCH(bool, openHere);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        int requests = 0;
        connect(&browser, &BrowserComponent::NewWindow2, this, [&](bool *cancelIt) {
            ++requests;
            *cancelIt = cancel;
            if (openHere)
                browser.Navigate(m_second);
        });
        QVERIFY(load(browser, m_first));
        test::runJavaScript(browser.page(), QStringLiteral("document.getElementById('popup').click()"));
        QTRY_COMPARE_WITH_TIMEOUT(requests, 1, kTimeout);

        if (cancel) {
            QTest::qWait(500);
            QCOMPARE(browser.findChild<PopupLimit *>()->windows().size(), 0);
        } else {
            const PopupLimit *popups = browser.findChild<PopupLimit *>();
            QTRY_COMPARE_WITH_TIMEOUT(popups->windows().size(), 1, kTimeout);
            auto *window = popups->windows().constFirst();
            QVERIFY(window->isWindow());
            QTRY_COMPARE_WITH_TIMEOUT(window->url().toString(), fileUrl(m_second), kTimeout);
        }
        if (openHere)
            QTRY_COMPARE_WITH_TIMEOUT(browser.LocationURL(), fileUrl(m_second), kTimeout);
        else
            QCOMPARE(browser.LocationURL(), fileUrl(m_first));
    }

    void printsThePageToAPdfFile()
    {
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("page.pdf"));
        int asked = 0;
        test::RecordingDesktop desktop;
        WebEngineBrowser browser(desktop.handOff(), [&](QPrinter &printer) {
            ++asked;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        QSignalSpy printed(&browser, &WebEngineBrowser::printFinished);
        QVERIFY(load(browser, demoPage(QStringLiteral("air/pagesair/dioxyde.html"))));

        QVERIFY(browser.ExecWB(WebEngineBrowser::kPrintCommand, 0));
        QCOMPARE(asked, 1);
        QVERIFY(!browser.ExecWB(WebEngineBrowser::kPrintCommand, 0)); // one job at a time
        QVERIFY(printed.wait(kTimeout));
        QCOMPARE(printed.first().first().toBool(), true);
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Le dioxyde de carbone")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("indispensable à la vie")), qPrintable(text));
    }

    // The request goes to the engine at once; the job ends and frees the
    // printer for the next one. Stop fails while the job runs.
    void printWhileAPageLoads()
    {
        QTemporaryDir out;
        test::RecordingDesktop desktop;
        WebEngineBrowser browser(desktop.handOff(), [&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(out.filePath(QStringLiteral("page.pdf")));
            return true;
        });
        QSignalSpy printed(&browser, &WebEngineBrowser::printFinished);
        QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
        QVERIFY(browser.Navigate(demoPage(QStringLiteral("air/presentair.html"))));
        QVERIFY(browser.ExecWB(WebEngineBrowser::kPrintCommand, 0));
        QVERIFY(!browser.Stop()); // not while the page prints
        QTRY_COMPARE_WITH_TIMEOUT(printed.size(), 1, kTimeout);
        QVERIFY(browser.Stop());
        QTRY_VERIFY_WITH_TIMEOUT(complete.size() >= 1, kTimeout);
        QVERIFY(browser.ExecWB(WebEngineBrowser::kPrintCommand, 0));
        QVERIFY(printed.wait(kTimeout));
        QCOMPARE(printed.last().first().toBool(), true);
    }

    void closedWhileItPrintsAndLoads()
    {
        QTemporaryDir out;
        {
            test::RecordingDesktop desktop;
            WebEngineBrowser browser(desktop.handOff(), [&](QPrinter &printer) {
                printer.setOutputFileName(out.filePath(QStringLiteral("page.pdf")));
                return true;
            });
            QVERIFY(load(browser, m_first));
            QVERIFY(browser.Navigate(m_second));
            QVERIFY(browser.ExecWB(WebEngineBrowser::kPrintCommand, 0));
        }
        // The job ends after its browser, unheard.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(out.filePath(QStringLiteral("page.pdf"))), kTimeout);
        QTest::qWait(500);
    }

    void printRefusedOrUnknownCommandDoesNothing_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("asked");
        QTest::newRow("dialog cancelled") << int(WebEngineBrowser::kPrintCommand) << false << 1;
        QTest::newRow("save-as command") << 4 << true << 0;
        QTest::newRow("print preview command") << 7 << true << 0;
    }

    void printRefusedOrUnknownCommandDoesNothing()
    {
        QFETCH(int, command);
        QFETCH(bool, answer);
        QFETCH(int, asked);
        int calls = 0;
        test::RecordingDesktop desktop;
        WebEngineBrowser browser(desktop.handOff(), [&](QPrinter &) {
            ++calls;
            return answer;
        });
        QSignalSpy printed(&browser, &WebEngineBrowser::printFinished);
        QVERIFY(!browser.ExecWB(command, 0));
        QCOMPARE(calls, asked);
        QTest::qWait(200);
        QCOMPARE(printed.size(), 0);
    }
};

QTEST_MAIN(TestWebEngineBrowser)
#include "tst_web_engine_browser.moc"

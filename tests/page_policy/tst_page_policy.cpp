// Small hostile pages of our own under the real engine, offscreen: what
// course pages can reach, letter case, our error pages, windows opened by
// pages, scripts that never yield.

#include "browser/popup_limit.h"
#include "browser/separate_browser_window.h"
#include "browser/web_engine_browser.h"
#include "engine_clicks.h"
#include "local_http_server.h"
#include "page_policy/page_policy.h"
#include "page_policy/renderer_watchdog.h"
#include "page_script.h"
#include "recording_desktop.h"
#include "test_files.h"
#include "window/frm_browser.h"
#include "window_controls.h"
#include "window_harness.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QToolButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace ruzez;
using ruzez::test::clickOn;
using ruzez::test::clickUntil;
using ruzez::test::load;
using ruzez::test::ui;
using ruzez::test::viewOf;

Q_DECLARE_METATYPE(CourseFiles::Kind)

namespace {

constexpr int kTimeout = test::kEngineTimeout;

QString fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(path).toString();
}

// Waits for a script's value that the page sets later, in window.__r.
QString waitForResult(QWebEnginePage *page, const QString &script)
{
    test::runJavaScript(page, QStringLiteral("window.__r = undefined;") + script);
    QString result;
    (void)QTest::qWaitFor(
        [&] {
            const QVariant value = test::runJavaScript(page, QStringLiteral("window.__r"));
            result = value.isValid() ? value.toString() : QString();
            return !result.isEmpty();
        },
        kTimeout);
    return result;
}

const QByteArray kPng = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg==");

} // namespace

class TestPagePolicy : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_course;
    std::unique_ptr<PagePolicy> m_policy;

    QString course(const QString &relative) const { return m_course + QLatin1Char('/') + relative; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_course = m_dir.filePath(QStringLiteral("disc/re2rira"));
        const auto page = [](const char *title, const QByteArray &body = {}) {
            return "<html><head><meta charset=\"utf-8\"><title>" + QByteArray(title) + "</title></head><body>"
                + body + "</body></html>";
        };
        QVERIFY(test::makeFile(m_dir.filePath(QStringLiteral("disc/secret.txt")), "SECRET"));
        QVERIFY(test::makeFile(m_dir.filePath(QStringLiteral("disc/dehors.png")), kPng));
        QVERIFY(test::makeFile(course(QStringLiteral("index.html")), page("Accueil")));
        QVERIFY(test::makeFile(course(QStringLiteral("Air/PresentAir.HTML")), page("Présentation", "air")));
        QVERIFY(test::makeFile(course(QStringLiteral("Air/Images/Logo.PNG")), kPng));
        QVERIFY(test::makeFile(course(QStringLiteral("Air/Style.CSS")), "body { margin-left: 17px }"));
        QVERIFY(test::makeFile(course(QStringLiteral("Air/Script.JS")), "window.__r = 'exécuté';"));
        QVERIFY(test::makeFile(course(QStringLiteral("partages/page.html")), page("Partagée")));
        QVERIFY(test::makeFile(course(QStringLiteral("partages/index.html")), page("Départ")));
        QVERIFY(test::makeFile(course(QStringLiteral("popups.html")),
                               page("Fenêtres",
                                    "<a id=\"l1\" target=\"_blank\" href=\"index.html\">1</a><br>"
                                    "<a id=\"l2\" target=\"_blank\" href=\"index.html\">2</a><br>"
                                    "<a id=\"l3\" target=\"_blank\" href=\"index.html\">3</a><br>"
                                    "<a id=\"l4\" target=\"_blank\" href=\"index.html\">4</a><br>"
                                    "<a id=\"l5\" target=\"_blank\" href=\"partages/page.html\">5</a>")));
        QVERIFY(test::makeFile(course(QStringLiteral("ouvre.html")),
                               page("Ouvre", "<script>for (var i = 0; i < 20; ++i) "
                                             "window.open('index.html');</script>")));
        QVERIFY(test::makeFile(course(QStringLiteral("boucle.html")),
                               page("Boucle", "<button id=\"boucle\" onclick=\"for (;;) {}\">boucle</button>")));
        m_policy = std::make_unique<PagePolicy>(QWebEngineProfile::defaultProfile(),
                                                [this] { return QStringList{m_course}; });
    }

    void cleanupTestCase() { m_policy.reset(); }

    // What a course page's requests reach, by kind and target, letter case forgiven.
    void whatACoursePageReaches_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("result");

        const auto xhr = [](const QString &target) {
            return QStringLiteral("try { var x = new XMLHttpRequest(); x.open('GET', '%1', false); x.send();"
                                  " window.__r = x.responseText.length > 0 ? 'lu' : 'vide'; }"
                                  " catch (e) { window.__r = 'refusé'; }").arg(target);
        };
        const auto fetchIt = [](const QString &target) {
            return QStringLiteral("fetch('%1').then(function (r) { return r.text(); })"
                                  ".then(function (t) { window.__r = t.length > 0 ? 'lu' : 'vide'; },"
                                  " function () { window.__r = 'refusé'; });").arg(target);
        };
        const auto image = [](const QString &target) {
            return QStringLiteral("var i = new Image(); i.onload = function () { window.__r = 'lu'; };"
                                  " i.onerror = function () { window.__r = 'refusé'; }; i.src = '%1';").arg(target);
        };
        const auto frame = [](const QString &target) {
            return QStringLiteral("var f = document.createElement('iframe'); f.onload = function () {"
                                  " var d = null; try { d = f.contentDocument; } catch (e) {}"
                                  " window.__r = d ? d.title : 'inaccessible'; };"
                                  " f.src = '%1'; document.body.appendChild(f);").arg(target);
        };
        const QString etc = QStringLiteral("file:///etc/passwd");
        QTest::newRow("xhr: system file") << xhr(etc) << "refusé";
        QTest::newRow("fetch: system file") << fetchIt(etc) << "refusé";
        QTest::newRow("frame: system file") << frame(etc) << "Page non autorisée";
        QTest::newRow("xhr: beside the course, by ..") << xhr("../secret.txt") << "refusé";
        QTest::newRow("image: beside the course") << image("../dehors.png") << "refusé";
        QTest::newRow("xhr: a folder's listing") << xhr("Air/") << "refusé";
        QTest::newRow("frame: a folder's listing") << frame("partages/") << "Dossier";
        QTest::newRow("frame: missing page") << frame("partages/absente.html") << "Page introuvable";
        QTest::newRow("xhr: course page") << xhr("Air/PresentAir.HTML") << "lu";
        QTest::newRow("frame: course page") << frame("partages/page.html") << "Partagée";
        QTest::newRow("xhr: .. inside the course") << xhr("partages/../Air/PresentAir.HTML") << "lu";
        QTest::newRow("xhr: .. out and back in") << xhr("../re2rira/index.html") << "lu";
        QTest::newRow("fetch: other case") << fetchIt("air/presentair.html") << "lu";
        QTest::newRow("image: other case") << image("AIR/images/logo.png") << "lu";
        QTest::newRow("frame: other case") << frame("Partages/PAGE.html") << "Partagée";
        QTest::newRow("script: other case")
            << QStringLiteral("var s = document.createElement('script'); s.src = 'air/script.js';"
                              " s.onerror = function () { window.__r = 'refusé'; }; document.head.appendChild(s);")
            << "exécuté";
        QTest::newRow("style sheet: other case")
            << QStringLiteral("var l = document.createElement('link'); l.rel = 'stylesheet'; l.href = 'air/style.css';"
                              " l.onload = function () { window.__r = getComputedStyle(document.body).marginLeft; };"
                              " l.onerror = function () { window.__r = 'refusé'; }; document.head.appendChild(l);")
            << "17px";
        QTest::newRow("image: other case, no such file") << image("air/images/absent.png") << "refusé";
    }

    void whatACoursePageReaches()
    {
        QFETCH(QString, script);
        QFETCH(QString, result);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, course(QStringLiteral("index.html"))));
        QCOMPARE(waitForResult(browser.page(), script), result);
    }

    // A remote page reads no local file, even one of the course.
    void remotePageReadsNoFile()
    {
        test::LocalHttpServer server;
        QVERIFY(server.listening());
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, server.url(QStringLiteral("/page.html"))));
        const QString target = fileUrl(course(QStringLiteral("index.html")));
        QCOMPARE(waitForResult(browser.page(),
                               QStringLiteral("fetch('%1').then(function () { window.__r = 'lu'; },"
                                              " function () { window.__r = 'refusé'; });").arg(target)),
                 QStringLiteral("refusé"));
    }

    // Items 1 to 3: where a navigation ends, and what the pupil sees there.
    void navigationEndsOn_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("title");

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString unreachable = QStringLiteral("http://127.0.0.1:%1/page.html").arg(closed.serverPort());
        closed.close();

        const QString secret = m_dir.filePath(QStringLiteral("disc/secret.txt"));
        QTest::newRow("course page") << course("Air/PresentAir.HTML") << fileUrl(course("Air/PresentAir.HTML"))
                                     << "Présentation";
        QTest::newRow("course page in other case") << course("air/presentair.html#CO2")
                                                   << fileUrl(course("Air/PresentAir.HTML")) + "#CO2"
                                                   << "Présentation";
        QTest::newRow("missing page") << course("air/absente.html") << fileUrl(course("air/absente.html"))
                                      << "Page introuvable";
        QTest::newRow("file outside the course") << secret << fileUrl(secret) << "Page non autorisée";
        QTest::newRow("system file") << "/etc/passwd" << "file:///etc/passwd" << "Page non autorisée";
        QTest::newRow("course folder") << m_course + "/Air/" << fileUrl(m_course + "/Air/") << "Dossier";
        QTest::newRow("folder outside") << "/tmp/" << "file:///tmp/" << "Dossier";
        QTest::newRow("site that cannot be reached") << unreachable << unreachable << "Site inaccessible";
    }

    void navigationEndsOn()
    {
        QFETCH(QString, address);
        QFETCH(QString, location);
        QFETCH(QString, title);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, course(QStringLiteral("index.html"))));

        QStringList titlesAtComplete;
        connect(&browser, &BrowserComponent::DownloadComplete, this,
                [&] { titlesAtComplete << browser.LocationName(); });
        QVERIFY(load(browser, address));
        QCOMPARE(browser.LocationURL(), location);
        QCOMPARE(browser.LocationName(), title);
        // The caption is set on DownloadComplete: it never shows a path.
        QCOMPARE(titlesAtComplete, QStringList{title});

        QString text;
        viewOf(browser)->page()->toPlainText([&](const QString &plain) { text = plain; });
        QTRY_VERIFY_WITH_TIMEOUT(!text.isEmpty(), kTimeout);
        QVERIFY2(!text.contains(QLatin1Char('/')), qPrintable(text));

        // Back returns to the course page.
        QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
        QVERIFY(browser.GoBack());
        QTRY_COMPARE_WITH_TIMEOUT(browser.LocationName(), QStringLiteral("Accueil"), kTimeout);
    }

    // A disc that fails says so, for pages and frames alike, not that the
    // page is missing; once it answers again, Actualiser shows the page.
    void aFailingDiscSaysSo_data()
    {
        QTest::addColumn<CourseFiles::Kind>("failure");
        QTest::addColumn<QString>("title");
        QTest::newRow("does not answer") << CourseFiles::Kind::NotAnswering << "Le disque du cours ne répond pas";
        QTest::newRow("cannot be read") << CourseFiles::Kind::Unreadable << "Le disque du cours ne peut pas être lu";
    }
    void aFailingDiscSaysSo()
    {
        QFETCH(CourseFiles::Kind, failure);
        QFETCH(QString, title);
        m_policy.reset();
        CourseFiles::Kind failing = CourseFiles::Kind::File;
        QTemporaryDir pages;
        PagePolicy policy(
            QWebEngineProfile::defaultProfile(), [this] { return QStringList{m_course}; },
            [&failing](const CourseFiles &files, const QString &path) {
                CourseFiles::Found found = files.find(path);
                if (found.kind == CourseFiles::Kind::File && failing != CourseFiles::Kind::File)
                    found.kind = failing;
                return found;
            },
            pages.path());
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        browser.errorPages().setReasons([&policy](const QUrl &url) { return policy.refusal(url); });
        QVERIFY(load(browser, course(QStringLiteral("index.html"))));

        failing = failure;
        QVERIFY(load(browser, course(QStringLiteral("air/presentair.html"))));
        QCOMPARE(browser.LocationName(), title);
        QCOMPARE(browser.LocationURL(), fileUrl(course(QStringLiteral("air/presentair.html")))); // as asked for
        failing = CourseFiles::Kind::File;
        QVERIFY(load(browser, course(QStringLiteral("index.html"))));
        failing = failure;
        QCOMPARE(waitForResult(browser.page(),
                               QStringLiteral("var f = document.createElement('iframe'); f.onload = function () {"
                                              " window.__r = f.contentDocument.title; };"
                                              " f.src = 'partages/page.html'; document.body.appendChild(f);")),
                 title);

        failing = CourseFiles::Kind::File;
        QVERIFY(load(browser, course(QStringLiteral("air/presentair.html"))));
        QVERIFY(browser.Refresh());
        QTRY_COMPARE_WITH_TIMEOUT(browser.LocationName(), QStringLiteral("Présentation"), kTimeout);
        m_policy = std::make_unique<PagePolicy>(QWebEngineProfile::defaultProfile(),
                                                [this] { return QStringList{m_course}; });
    }

    // A disc that answers late, within the time a page may take, is said
    // to answer again for that page, once.
    void aSlowDiscAnswersAgain()
    {
        m_policy.reset();
        int asked = 0;
        PagePolicy policy(
            QWebEngineProfile::defaultProfile(), [this] { return QStringList{m_course}; },
            [&asked](const CourseFiles &files, const QString &path) {
                CourseFiles::Found found = files.find(path);
                if (path.endsWith(QLatin1String("page.html")) && ++asked <= 3)
                    found.kind = CourseFiles::Kind::NotAnswering;
                return found;
            },
            {});
        QSignalSpy again(&policy, &PagePolicy::answersAgain);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, course(QStringLiteral("index.html"))));
        QVERIFY(load(browser, course(QStringLiteral("partages/page.html"))));
        QTRY_COMPARE(again.size(), 1);
        QCOMPARE(again.at(0).at(0).toUrl(), QUrl::fromLocalFile(course(QStringLiteral("partages/page.html"))));
        QTest::qWait(300);
        QCOMPARE(again.size(), 1);
        m_policy = std::make_unique<PagePolicy>(QWebEngineProfile::defaultProfile(),
                                                [this] { return QStringList{m_course}; });
    }

    // The main window over our pages: the caption, the address list and
    // the stop button as after any page, and never a path in the caption.
    void windowOnOurPages()
    {
        const QString address = course(QStringLiteral("air/absente.html"));
        const QString title = QStringLiteral("Page introuvable");
        QTemporaryDir program;
        test::FakeMessageBoxes boxes;
        test::FakeDrives drives;
        drives.list = {m_dir.filePath(QStringLiteral("disc/"))};
        test::ScriptedDialupLine dialup;
        test::RecordingHelpEngine help;
        test::FakeWindowFrame frame;
        test::RecordingDesktop desktop;
        auto engine = std::make_unique<WebEngineBrowser>(desktop.handOff());
        WebEngineBrowser *browser = engine.get();
        frmBrowser window(boxes, drives, dialup, help, frame, program.path(), std::move(engine), [] {});
        window.Form_Load();
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), QStringLiteral("RUZEZ - Départ"), kTimeout);

        QStringList captions;
        connect(&window, &QWidget::windowTitleChanged, this, [&](const QString &caption) {
            if (captions.isEmpty() || captions.last() != caption)
                captions << caption;
        });
        ui(window).cboAddress->setEditText(address);
        window.cboAddress_Click();
        QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), QStringLiteral("RUZEZ - ") + title, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy() && !ui(window).stoppeur->isEnabled(), kTimeout);
        QCOMPARE(captions.filter(QStringLiteral("/")), QStringList());
        QCOMPARE(ui(window).cboAddress->currentText(), browser->LocationURL());
        QVERIFY(ui(window).avant->isEnabled());
    }

    // Pop-ups: a script opens nothing by itself; clicks open at most four
    // windows, the next one opens in the main window.
    void scriptOpensNoWindow()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        int requests = 0;
        connect(&browser, &BrowserComponent::NewWindow2, this, [&](bool *) { ++requests; });
        QVERIFY(load(browser, course(QStringLiteral("ouvre.html"))));
        QTest::qWait(1000);
        QCOMPARE(requests, 0);
        QCOMPARE(browser.findChild<PopupLimit *>()->windows().size(), 0);
    }

    void clicksOpenAtMostFourWindows()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        browser.resize(800, 600);
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        QVERIFY(load(browser, course(QStringLiteral("popups.html"))));
        const PopupLimit *limit = browser.findChild<PopupLimit *>();
        int requests = 0;
        connect(&browser, &BrowserComponent::NewWindow2, this, [&](bool *) { ++requests; });

        for (int i = 1; i <= 4; ++i) {
            QVERIFY(clickUntil(browser, QStringLiteral("l%1").arg(i), [&] { return requests >= i; }));
            QTRY_COMPARE_WITH_TIMEOUT(limit->windows().size(), i, kTimeout);
        }
        for (SeparateBrowserWindow *window : limit->windows()) {
            QVERIFY(window->isWindow());
            QCOMPARE(window->parentWidget(), nullptr);
            QVERIFY(window->width() < 800 && window->height() < 600);
            QVERIFY(!(window->windowFlags() & Qt::WindowStaysOnTopHint));
            QVERIFY(!window->isModal());
        }

        QVERIFY(clickUntil(browser, QStringLiteral("l5"), [&] { return requests >= 5; }));
        QTRY_COMPARE_WITH_TIMEOUT(browser.LocationName(), QStringLiteral("Partagée"), kTimeout);
        QCOMPARE(limit->windows().size(), PopupLimit::kMaxWindows);

        // A window closed makes room again.
        limit->windows().constFirst()->close();
        QTRY_COMPARE_WITH_TIMEOUT(limit->windows().size(), PopupLimit::kMaxWindows - 1, kTimeout);
    }

    // A script that never yields: each button's request acts
    // within a few seconds once the page has not answered for 5 s.
    void requestsActOnAHungPage_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("title");
        QTest::newRow("Accueil: navigate") << "navigate" << "Accueil";
        QTest::newRow("Précédent: back") << "back" << "Accueil";
        QTest::newRow("Suivant: forward") << "forward" << "Partagée";
        QTest::newRow("Actualiser: refresh") << "refresh" << "Boucle";
        QTest::newRow("Arrêter: stop") << "stop" << "";
    }

    void requestsActOnAHungPage()
    {
        QFETCH(QString, request);
        QFETCH(QString, title);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        browser.resize(800, 600);
        browser.show();
        QVERIFY(QTest::qWaitForWindowExposed(&browser));
        QVERIFY(load(browser, course(QStringLiteral("index.html"))));
        QVERIFY(load(browser, course(QStringLiteral("boucle.html"))));
        QVERIFY(load(browser, course(QStringLiteral("partages/page.html"))));
        QVERIFY(browser.GoBack());
        QTRY_COMPARE_WITH_TIMEOUT(browser.LocationName(), QStringLiteral("Boucle"), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.Busy(), kTimeout);
        // The pupil's click starts the endless loop.
        QSignalSpy ended(browser.page(), &QWebEnginePage::renderProcessTerminated);
        const RendererWatchdog *watchdog = browser.findChild<RendererWatchdog *>();
        for (int attempt = 0; attempt < 5 && !watchdog->hung(); ++attempt) {
            clickOn(browser, QStringLiteral("boucle"));
            (void)QTest::qWaitFor([&] { return watchdog->hung(); }, 8000);
        }
        QVERIFY(watchdog->hung());

        QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
        QElapsedTimer clock;
        clock.start();
        if (request == QLatin1String("navigate"))
            QVERIFY(browser.Navigate(course(QStringLiteral("index.html"))));
        else if (request == QLatin1String("back"))
            QVERIFY(browser.GoBack());
        else if (request == QLatin1String("forward"))
            QVERIFY(browser.GoForward());
        else if (request == QLatin1String("refresh"))
            QVERIFY(browser.Refresh2());
        else
            QVERIFY(browser.Stop());
        QVERIFY(ended.wait(kTimeout) || ended.size() == 1);
        if (title.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(!browser.Busy(), kTimeout);
        } else {
            QVERIFY(complete.wait(kTimeout));
            QTRY_COMPARE_WITH_TIMEOUT(browser.LocationName(), title, kTimeout);
        }
        qInfo("acted after %lld ms", clock.elapsed());
    }

    // A page that answers is never stopped.
    void answeringPageKeepsItsRenderer()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, course(QStringLiteral("index.html"))));
        QSignalSpy ended(browser.page(), &QWebEnginePage::renderProcessTerminated);
        QTest::qWait(6500);
        QVERIFY(load(browser, course(QStringLiteral("partages/page.html"))));
        QCOMPARE(ended.size(), 0);
    }
};

QTEST_MAIN(TestPagePolicy)
#include "tst_page_policy.moc"

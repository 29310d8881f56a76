// The legacy course of tests/media/course in the real engine, offscreen:
// Flash drawn by Ruffle, MIDI handed to the synthesiser as the page's
// markup asks, sound and video in place, applets, PDF links.

#include "browser/outside_content.h"
#include "browser/web_engine_browser.h"
#include "fake_message_boxes.h"
#include "legacy_media.h"
#include "media/media_plugins.h"
#include "media/midi_synth.h"
#include "page_policy/page_policy.h"
#include "page_script.h"
#include "recording_desktop.h"
#include "test_files.h"

#include <QApplication>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace ruzez;

namespace {

constexpr int kTimeout = test::kEngineTimeout;

struct Played
{
    QString file;
    int loops;
    double volume;
};

class FakeSynth : public MidiSynth
{
public:
    bool play(const QString &path, int loops, double volume) override
    {
        played.append({QFileInfo(path).fileName(), loops, volume});
        playing = true;
        return true;
    }
    void stop() override { playing = false; }

    QList<Played> played;
    bool playing = false;
};

} // namespace

class TestMediaPages : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeSynth m_synth;
    QList<QUrl> m_opened;
    std::unique_ptr<PagePolicy> m_policy;
    std::unique_ptr<MediaPlugins> m_media;
    test::RecordingDesktop m_desktop;
    std::unique_ptr<WebEngineBrowser> m_browser;

    QString course(const QString &relative) const { return m_dir.filePath(relative); }

    bool load(const QString &page)
    {
        const QString url = QUrl::fromLocalFile(course(page)).toString();
        m_browser->Navigate(url);
        return QTest::qWaitFor([&] { return !m_browser->Busy() && m_browser->LocationURL() == url; }, kTimeout);
    }

    QVariant js(const QString &script) { return test::runJavaScript(m_browser->page(), script); }

    QWidget *input() const { return QWebEngineView::forPage(m_browser->page())->focusProxy(); }

    // The pupil's click in the middle of the element the selector finds.
    void click(const QString &selector)
    {
        const QVariantList box = js(QStringLiteral("(function(){var r=document.querySelector(\"%1\")"
                                                   ".getBoundingClientRect();return [r.left+r.width/2,"
                                                   "r.top+r.height/2];})()").arg(selector)).toList();
        QVERIFY(box.size() == 2);
        QTest::mouseClick(input(), Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(test::layOutLegacyCourse(m_dir.path()));
        // Wired as the program wires them.
        m_policy = std::make_unique<PagePolicy>(QWebEngineProfile::defaultProfile(),
                                                [this] { return QStringList{m_dir.path()}; });
        m_policy->allowForCoursePages(MediaPlugins::kScheme);
        m_media = std::make_unique<MediaPlugins>(
            QWebEngineProfile::defaultProfile(),
            MediaPlugins::playerFolder(qEnvironmentVariable("RUZEZ_PROGRAM_DIR")), m_synth,
            [this](const QUrl &url) {
                const auto found = m_policy->courseFiles().find(url.isLocalFile() ? url.toLocalFile() : QString());
                return found.kind == CourseFiles::Kind::File ? found.path : QString();
            },
            [this](const QUrl &url) { m_opened << url; });
        m_browser = std::make_unique<WebEngineBrowser>(m_desktop.handOff());
        m_browser->resize(600, 500);
        m_browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_browser.get()));
    }

    void cleanupTestCase()
    {
        m_browser.reset();
        m_media.reset();
        m_policy.reset();
    }

    // Ruffle draws the movie's stage in the box the page gave it, by itself.
    void flashIsDrawnInItsBox()
    {
        QVERIFY(load(QStringLiteral("flash.html")));
        QImage shot;
        const bool drawn = QTest::qWaitFor(
            [&] {
                shot = QWebEngineView::forPage(m_browser->page())->grab().toImage();
                return shot.pixelColor(100, 50) == QColor(Qt::red);
            },
            kTimeout);
        QVERIFY2(drawn, qPrintable(shot.pixelColor(100, 50).name()));
        QCOMPARE(shot.pixelColor(100, 150), QColor(Qt::white)); // below the box: the page
        QCOMPARE(shot.pixelColor(250, 50), QColor(Qt::white));  // beside it
        QCOMPARE(js(QStringLiteral("typeof window.RufflePlayer")).toString(), QStringLiteral("object"));
    }

    void pageWithoutFlashLoadsNoPlayer()
    {
        QVERIFY(load(QStringLiteral("sans_flash.html")));
        QTest::qWait(500);
        QCOMPARE(js(QStringLiteral("typeof window.RufflePlayer")).toString(), QStringLiteral("undefined"));
        QCOMPARE(js(QStringLiteral("document.scripts.length")).toInt(), 0);
    }

    // What each page's markup asks of the synthesiser, and that leaving the
    // page stops it.
    void midiAsTheMarkupAsks_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("clickOn");
        QTest::addColumn<int>("loops");
        QTest::addColumn<double>("volume");
        QTest::newRow("background sound, loop=infinite") << "fond_sonore.html" << "" << -1 << 1.0;
        QTest::newRow("hidden embed, -6 dB") << "cache.html" << "" << 1 << 0.501;
        QTest::newRow("visible embed, played on lecture") << "lecteur.html" << ".ruzez-midi button" << -1 << 1.0;
        QTest::newRow("link, played on the click") << "lien.html" << "#lien" << 1 << 1.0;
    }
    void midiAsTheMarkupAsks()
    {
        QFETCH(QString, page);
        QFETCH(QString, clickOn);
        QFETCH(int, loops);
        QFETCH(double, volume);
        m_synth.played.clear();
        QVERIFY(load(page));
        if (!clickOn.isEmpty()) {
            QTest::qWait(500);
            QVERIFY(m_synth.played.isEmpty()); // nothing before the click
            QTRY_VERIFY_WITH_TIMEOUT(js(QStringLiteral("!!document.querySelector(\"%1\")").arg(clickOn)).toBool(),
                                     kTimeout);
            click(clickOn);
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_synth.played.size(), 1, kTimeout);
        QCOMPARE(m_synth.played.first().file, QStringLiteral("musique.mid"));
        QCOMPARE(m_synth.played.first().loops, loops);
        QVERIFY(qAbs(m_synth.played.first().volume - volume) < 0.01);
        QVERIFY(m_synth.playing);
        QCOMPARE(m_browser->LocationURL(), QUrl::fromLocalFile(course(page)).toString());
        QVERIFY(load(QStringLiteral("sans_flash.html")));
        QTRY_VERIFY_WITH_TIMEOUT(!m_synth.playing, kTimeout);
    }

    void visiblePlayerStops()
    {
        m_synth.played.clear();
        QVERIFY(load(QStringLiteral("lecteur.html")));
        QTRY_VERIFY_WITH_TIMEOUT(js(QStringLiteral("document.querySelectorAll('.ruzez-midi button').length")).toInt() == 2,
                                 kTimeout);
        QCOMPARE(js(QStringLiteral("Array.from(document.querySelectorAll('.ruzez-midi button'), b => b.textContent).join()")),
                 QVariant(QStringLiteral("lecture,arrêt")));
        click(QStringLiteral(".ruzez-midi button"));
        QTRY_VERIFY_WITH_TIMEOUT(m_synth.playing, kTimeout);
        click(QStringLiteral(".ruzez-midi button:last-child"));
        QTRY_VERIFY_WITH_TIMEOUT(!m_synth.playing, kTimeout);
    }

    // A script of the page cannot start the synthesiser or the desktop's player.
    void pageScriptsCannotReachThePlayers()
    {
        m_synth.played.clear();
        m_opened.clear();
        QVERIFY(load(QStringLiteral("sans_flash.html")));
        js(QStringLiteral("for (const [path, file] of [['midi', 'sons/musique.mid'], ['open', 'videos/film.avi']]) {"
                          "  const r = new XMLHttpRequest();"
                          "  r.open('GET', 'ruzez-media:/' + path + '?key=&src=' + encodeURIComponent(new URL(file, location)));"
                          "  r.send(); }"));
        QTest::qWait(1000);
        QVERIFY(m_synth.played.isEmpty());
        QVERIFY(m_opened.isEmpty());
    }

    void soundVideoAndAppletsInPlace()
    {
        m_opened.clear();
        QVERIFY(load(QStringLiteral("medias.html")));
        // The WAV plays by itself, where its embed was.
        QTRY_VERIFY_WITH_TIMEOUT(js(QStringLiteral("(function(){var a=document.querySelector('audio');"
                                                   "return !!a && !a.paused && a.currentTime > 0;})()")).toBool(),
                                 kTimeout);
        QCOMPARE(js(QStringLiteral("document.querySelector('audio').getBoundingClientRect().width")).toInt(), 200);
        // The AVI gets its box with a button for the desktop's player.
        QTRY_VERIFY_WITH_TIMEOUT(js(QStringLiteral("!!document.querySelector('.ruzez-video button')")).toBool(), kTimeout);
        QCOMPARE(js(QStringLiteral("document.querySelector('.ruzez-video button').textContent")).toString(),
                 QStringLiteral("Ouvrir la vidéo"));
        QVERIFY(m_opened.isEmpty());
        click(QStringLiteral(".ruzez-video button"));
        QTRY_COMPARE_WITH_TIMEOUT(m_opened.size(), 1, kTimeout);
        QCOMPARE(m_opened.first(), QUrl::fromLocalFile(course(QStringLiteral("videos/film.avi"))));
        // An applet with nothing to say in its place gets our sentence; one with text keeps it.
        QCOMPARE(js(QStringLiteral("document.querySelector('.ruzez-applet').textContent")).toString(),
                 QStringLiteral("Cette animation Java ne peut pas être affichée."));
        QCOMPARE(js(QStringLiteral("document.querySelectorAll('.ruzez-applet').length")).toInt(), 1);
        QVERIFY(js(QStringLiteral("!!document.getElementById('ressort')")).toBool());
    }

    // A PDF link opens in the window, in the engine's viewer; Précédent comes back.
    void pdfOpensInTheWindow()
    {
        m_desktop.opens = true;
        const QList<QUrl> &handedOn = m_desktop.opened;
        const test::FakeMessageBoxes &boxes = m_desktop.boxes;
        QVERIFY(load(QStringLiteral("document.html")));
        click(QStringLiteral("#fiche"));
        const QString pdf = QUrl::fromLocalFile(course(QStringLiteral("docs/fiche.pdf"))).toString();
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->LocationURL(), pdf, kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!m_browser->Busy(), kTimeout);
        QVERIFY(handedOn.isEmpty());
        QVERIFY(boxes.calls.isEmpty());
        QVERIFY(m_browser->GoBack());
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->LocationURL(), QUrl::fromLocalFile(course(QStringLiteral("document.html"))).toString(),
                                  kTimeout);
    }
};

int main(int argc, char *argv[])
{
    MediaPlugins::registerScheme();
    QApplication app(argc, argv);
    TestMediaPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_media_pages.moc"

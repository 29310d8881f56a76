// Sound from the legacy course reaching a PulseAudio null sink the test
// starts: MIDI through the real synthesiser and sound font, a WAV through
// the engine; leaving the page silences both.

#include "browser/web_engine_browser.h"
#include "legacy_media.h"
#include "media/fluid_synth_player.h"
#include "media/media_plugins.h"
#include "null_sound_sink.h"
#include "page_script.h"
#include "recording_desktop.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>

using namespace ruzez;

class TestMediaSound : public QObject
{
    Q_OBJECT

public:
    explicit TestMediaSound(test::NullSoundSink &sink)
        : m_sink(sink)
    {
    }

private:
    test::NullSoundSink &m_sink;
    QTemporaryDir m_dir;
    std::unique_ptr<FluidSynthPlayer> m_synth;
    std::unique_ptr<MediaPlugins> m_media;
    test::RecordingDesktop m_desktop;
    std::unique_ptr<WebEngineBrowser> m_browser;

    bool load(const QString &page)
    {
        const QString url = QUrl::fromLocalFile(m_dir.filePath(page)).toString();
        m_browser->Navigate(url);
        return QTest::qWaitFor([&] { return !m_browser->Busy() && m_browser->LocationURL() == url; },
                               test::kEngineTimeout);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_sink.ready(), "pulseaudio did not start (scripts/packages.sh installs it)");
        QVERIFY(test::layOutLegacyCourse(m_dir.path()));
        m_synth = std::make_unique<FluidSynthPlayer>();
        const QString root = m_dir.path();
        m_media = std::make_unique<MediaPlugins>(
            QWebEngineProfile::defaultProfile(),
            MediaPlugins::playerFolder(qEnvironmentVariable("RUZEZ_PROGRAM_DIR")), *m_synth,
            [root](const QUrl &url) {
                return url.toLocalFile().startsWith(root + QLatin1Char('/')) ? url.toLocalFile() : QString();
            },
            [](const QUrl &) {});
        m_browser = std::make_unique<WebEngineBrowser>(m_desktop.handOff());
        m_browser->resize(600, 500);
        m_browser->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_browser.get()));
    }

    void cleanupTestCase()
    {
        m_browser.reset();
        m_media.reset();
        m_synth.reset();
    }

    void soundReachesTheSinkUntilThePageIsLeft_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("MIDI background sound, synthesised") << "fond_sonore.html";
        QTest::newRow("WAV embed, played by the engine") << "medias.html";
    }
    void soundReachesTheSinkUntilThePageIsLeft()
    {
        QFETCH(QString, page);
        QTRY_COMPARE_WITH_TIMEOUT(m_sink.streams(), 0, test::kEngineTimeout);
        QVERIFY(load(page));
        QTRY_VERIFY_WITH_TIMEOUT(m_sink.streams() > 0, test::kEngineTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(m_sink.peak(2500) > 300, test::kEngineTimeout);
        QVERIFY(load(QStringLiteral("sans_flash.html")));
        QTRY_VERIFY_WITH_TIMEOUT(m_sink.peak(2000) < 50, test::kEngineTimeout);
    }
};

int main(int argc, char *argv[])
{
    // Before the engine starts: its audio service reads PULSE_SERVER once.
    test::NullSoundSink sink;
    MediaPlugins::registerScheme();
    QApplication app(argc, argv);
    TestMediaSound test(sink);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_media_sound.moc"

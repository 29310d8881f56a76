// Course media against its goals, on the legacy course of tests/media, with
// the real engine and synthesiser (run under Xvfb or offscreen):
//   flash_first_frame_ms   from the page's load to Ruffle's first frame drawn (goal <= 1500)
//   midi_start_ms          from the page's load to the synthesiser playing (goal <= 500)
//   renderer_kb_*          the renderer's resident memory on a page without Flash, without and
//                          with the media script installed, and while Flash is shown
//   rss_kb_after_*         RUZEZ's and the renderer's memory after 2 and after 20 media pages
// Each timing is the median of ROUNDS (default 5).
//
//   media_benchmark [ROUNDS]

#include "browser/web_engine_browser.h"
#include "legacy_media.h"
#include "media/fluid_synth_player.h"
#include "media/media_plugins.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace ruzez;

namespace {

// The real synthesiser, noting when a file starts.
class TimedSynth : public MidiSynth
{
public:
    bool play(const QString &path, int loops, double volume) override
    {
        const bool playing = m_real.play(path, loops, volume);
        startedAt = clock.elapsed();
        return playing;
    }
    void stop() override { m_real.stop(); }

    QElapsedTimer clock;
    qint64 startedAt = -1;

private:
    FluidSynthPlayer m_real;
};

qint64 residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values.at(values.size() / 2);
}

struct Bench
{
    QTemporaryDir dir;
    // Nothing is handed to the desktop and nothing is said while timing.
    WebEngineBrowser browser{DesktopHandOff{}};
    QElapsedTimer clock;

    // Loads a page and returns when it has completed, on the clock.
    qint64 load(const QString &page)
    {
        QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
        clock.start();
        browser.Navigate(QUrl::fromLocalFile(dir.filePath(page)).toString());
        complete.wait(30000);
        (void)QTest::qWaitFor([&] { return !browser.Busy(); }, 30000);
        return clock.elapsed();
    }

    qint64 renderer() const { return residentKb(browser.page()->renderProcessPid()); }
    qint64 all() const { return renderer() + residentKb(QCoreApplication::applicationPid()); }

    // Several visits, settled: the resident memory of the renderer.
    qint64 settledRenderer(const QString &page)
    {
        for (int i = 0; i < 3; ++i)
            load(page);
        QTest::qWait(2000);
        return renderer();
    }
};

} // namespace

int main(int argc, char *argv[])
{
    MediaPlugins::registerScheme();
    QApplication app(argc, argv);
    const int rounds = std::max(1, app.arguments().value(1, QStringLiteral("5")).toInt());
    qputenv("RUZEZ_SOURCE_DIR", QByteArrayLiteral(RUZEZ_SOURCE_DIR));

    Bench bench;
    if (!test::layOutLegacyCourse(bench.dir.path())) {
        std::fprintf(stderr, "cannot lay out the legacy course\n");
        return 1;
    }
    bench.browser.resize(800, 600);
    bench.browser.show();
    (void)QTest::qWaitForWindowExposed(&bench.browser);

    const qint64 withoutScript = bench.settledRenderer(QStringLiteral("sans_flash.html"));
    TimedSynth synth;
    const QString root = bench.dir.path();
    auto media = std::make_unique<MediaPlugins>(
        QWebEngineProfile::defaultProfile(), MediaPlugins::playerFolder(QStringLiteral(RUZEZ_PROGRAM_DIR)), synth,
        [root](const QUrl &url) { return url.toLocalFile().startsWith(root) ? url.toLocalFile() : QString(); },
        [](const QUrl &) {});
    const qint64 withScript = bench.settledRenderer(QStringLiteral("sans_flash.html"));

    QList<qint64> flash;
    qint64 withFlash = -1;
    for (int round = 0; round < rounds; ++round) {
        const qint64 loaded = bench.load(QStringLiteral("flash.html"));
        auto *view = QWebEngineView::forPage(bench.browser.page());
        const bool drawn = QTest::qWaitFor(
            [&] { return view->grab().toImage().pixelColor(100, 50) == QColor(Qt::red); }, 30000);
        flash << (drawn ? bench.clock.elapsed() - loaded : -1);
        withFlash = std::max(withFlash, bench.renderer());
        bench.load(QStringLiteral("sans_flash.html"));
    }

    QList<qint64> midi;
    for (int round = 0; round < rounds; ++round) {
        synth.startedAt = -1;
        synth.clock.start();
        bench.browser.Navigate(QUrl::fromLocalFile(bench.dir.filePath(QStringLiteral("fond_sonore.html"))).toString());
        QSignalSpy complete(&bench.browser, &BrowserComponent::DownloadComplete);
        complete.wait(30000);
        const qint64 loaded = synth.clock.elapsed();
        (void)QTest::qWaitFor([&] { return synth.startedAt >= 0; }, 10000);
        midi << (synth.startedAt >= 0 ? std::max<qint64>(0, synth.startedAt - loaded) : -1);
        bench.load(QStringLiteral("sans_flash.html"));
    }

    const QStringList pages{QStringLiteral("flash.html"), QStringLiteral("fond_sonore.html"),
                            QStringLiteral("medias.html"), QStringLiteral("lecteur.html"),
                            QStringLiteral("cache.html")};
    qint64 afterTwo = -1;
    for (int visit = 0; visit < 20; ++visit) {
        bench.load(pages.at(visit % pages.size()));
        QTest::qWait(1000);
        if (visit == 1)
            afterTwo = bench.all();
    }
    bench.load(QStringLiteral("sans_flash.html"));
    QTest::qWait(2000);
    const qint64 afterTwenty = bench.all();

    std::printf("flash_first_frame_ms=%lld\nmidi_start_ms=%lld\n", median(flash), median(midi));
    std::printf("renderer_kb_no_flash_without_script=%lld\nrenderer_kb_no_flash_with_script=%lld\n"
                "renderer_kb_with_flash=%lld\n", withoutScript, withScript, withFlash);
    std::printf("rss_kb_after_2_media_pages=%lld\nrss_kb_after_20_media_pages=%lld\n", afterTwo, afterTwenty);
    media.reset();
    return 0;
}

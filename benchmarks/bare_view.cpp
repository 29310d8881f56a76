// The reference for start-up time: a bare QWebEngineView that loads one page
// and quits. Prints "elapsed_ms=<n>", the time from the launch of the
// process to the end of the load. The launch time comes from RUZEZ_T0_NS
// (nanoseconds since the epoch, taken by whoever starts the process);
// without it the count starts when main() runs.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>
#include <QUrl>
#include <QWebEngineView>

#include <chrono>
#include <cstdio>

namespace {

qint64 nowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char *argv[])
{
    const qint64 mainNs = nowNs();
    bool fromLaunch = false;
    const qint64 launchNs = qEnvironmentVariable("RUZEZ_T0_NS").toLongLong(&fromLaunch);
    const qint64 startNs = fromLaunch ? launchNs : mainNs;

    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bare_view <page file or URL>\n");
        return 2;
    }

    QWebEngineView view;
    QObject::connect(&view, &QWebEngineView::loadFinished, &app, [&](bool ok) {
        QTextStream(stdout) << "elapsed_ms=" << (nowNs() - startNs) / 1000000
                            << (fromLaunch ? "" : " (from main)") << (ok ? "" : " (load failed)") << Qt::endl;
        app.exit(ok ? 0 : 1);
    });
    view.resize(800, 600);
    view.show();
    view.load(QUrl::fromUserInput(args.at(1), QDir::currentPath(), QUrl::AssumeLocalFile));
    return app.exec();
}

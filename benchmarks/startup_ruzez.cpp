// Start-up time of RUZEZ itself, wired as main.cpp wires it: from the launch
// of the process to the completed load of the activity's page. Prints
// "elapsed_ms=<n>" like bare_view, for startup.sh to compare the two.
//
//   startup_ruzez PROGRAM_FOLDER PAGE_SUFFIX
//
// PROGRAM_FOLDER holds the exchange file with the activity and dosdevices/;
// the run ends at the first completed load whose address ends with PAGE_SUFFIX.
#include "browser/help_engine.h"
#include "browser/web_engine_browser.h"
#include "shell/dialup_line.h"
#include "shell/drives.h"
#include "shell/qt_message_boxes.h"
#include "shell/x11_window_frame.h"
#include "window/frm_browser.h"

#include <QDesktopServices>

#include <QApplication>
#include <QTextStream>

#include <chrono>
#include <cstdio>

namespace {

qint64 nowNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

class NoHelp final : public ruzez::HelpEngine
{
public:
    void showHelp(const QString &, int) override {}
};

} // namespace

int main(int argc, char *argv[])
{
    const qint64 mainNs = nowNs();
    bool fromLaunch = false;
    const qint64 launchNs = qEnvironmentVariable("RUZEZ_T0_NS").toLongLong(&fromLaunch);
    const qint64 startNs = fromLaunch ? launchNs : mainNs;

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: startup_ruzez PROGRAM_FOLDER PAGE_SUFFIX\n");
        return 2;
    }
    const QString folder = args.at(1);
    const QString suffix = args.at(2);

    ruzez::QtMessageBoxes boxes;
    ruzez::SystemDrives drives(folder);
    ruzez::NoDialupLine dialup;
    NoHelp help;
    ruzez::X11WindowFrame frame;
    auto browser = std::make_unique<ruzez::WebEngineBrowser>(ruzez::DesktopHandOff{
        [](const QUrl &url) { return QDesktopServices::openUrl(url); }, &boxes});
    ruzez::BrowserComponent *component = browser.get();
    QObject::connect(component, &ruzez::BrowserComponent::DownloadComplete, &app, [&] {
        if (!component->LocationURL().endsWith(suffix))
            return;
        QTextStream(stdout) << "elapsed_ms=" << (nowNs() - startNs) / 1000000
                            << (fromLaunch ? "" : " (from main)") << Qt::endl;
        std::fflush(stdout);
        std::_Exit(0); // measured: no need to run the closing handlers
    });

    ruzez::frmBrowser window(boxes, drives, dialup, help, frame, folder, std::move(browser),
                             [] { QApplication::exit(0); });
    window.Form_Load();
    window.show();
    return QApplication::exec();
}

// RUZEZ: the course's browser. Wires the real platform services to the main
// window and starts it the way the main course program expects.

#include "browser/desktop_help_engine.h"
#include "browser/engine_language.h"
#include "browser/outside_content.h"
#include "browser/web_engine_browser.h"
#include "media/fluid_synth_player.h"
#include "media/media_plugins.h"
#include "page_policy/page_policy.h"
#include "shell/display_platform.h"
#include "shell/drives.h"
#include "shell/frm_browser.h"
#include "shell/network_manager_dialup.h"
#include "shell/prompt_exit.h"
#include "shell/qt_message_boxes.h"
#include "shell/session_end.h"
#include "shell/start_options.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWebEngineProfile>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // Read before anything can change the working folder the start path is relative to.
    const ruzez::StartOptions options = ruzez::startOptions(argc, argv);
    if (options.exitCode) {
        std::fputs(options.message.toLocal8Bit().constData(), *options.exitCode ? stderr : stdout);
        return *options.exitCode;
    }
    // The web engine shares its OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ruzez::chooseDisplayPlatform();
    ruzez::chooseFrenchForTheEngine();
    ruzez::MediaPlugins::registerScheme();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RUZEZ"));

    // Every text of the program is French; so are Qt's own buttons (Oui, Non, Réessayer...).
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    QTranslator engineTexts;
    ruzez::loadEngineTranslations(engineTexts);

    const QString &folder = options.programFolder;
    ruzez::QtMessageBoxes boxes;
    ruzez::SystemDrives drives(folder);
    ruzez::NetworkManagerDialup dialup;
    ruzez::DesktopHelpEngine help(boxes);

    ruzez::frmBrowser window(boxes, drives, dialup, help, folder,
                             std::make_unique<ruzez::WebEngineBrowser>(),
                             [] { ruzez::endProcessNow(0); });
    boxes.setParent(&window);
    // From the start-up on, a session ending under the window closes it.
    ruzez::SessionEnd sessionEnd([&window] { window.endSession(); });
    // Pages keep to the course's folders, known once start-up has found them.
    ruzez::PagePolicy pagePolicy(QWebEngineProfile::defaultProfile(), [&window, &folder] {
        return ruzez::courseFolders(window.state().site.racinesite, window.state().pageaccueil, folder);
    });
    // The plug-ins the course's pages were written for.
    pagePolicy.allowForCoursePages(ruzez::MediaPlugins::kScheme);
    ruzez::FluidSynthPlayer midi;
    ruzez::MediaPlugins media(
        QWebEngineProfile::defaultProfile(), ruzez::MediaPlugins::playerFolder(folder), midi,
        [&pagePolicy](const QUrl &url) {
            const auto found = pagePolicy.courseFiles().find(url.isLocalFile() ? url.toLocalFile() : QString());
            return found.kind == ruzez::CourseFiles::Kind::File ? found.path : QString();
        },
        [&boxes](const QUrl &url) {
            if (!QDesktopServices::openUrl(url))
                boxes.MsgBox(ruzez::kCannotOpenFile, ruzez::vb::OKOnly + ruzez::vb::Exclamation, QStringLiteral("RUZEZ"));
        });
    window.Form_Load();
    // Closed while it was still loading: the program has ended already.
    if (window.unloaded())
        return 0;
    window.show();
    return QApplication::exec();
}

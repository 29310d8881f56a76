// RUZEZ: the course's browser. Wires the real platform services to the main
// window and starts it the way the main course program expects.

#include "browser/desktop_help_engine.h"
#include "browser/engine_accessibility.h"
#include "browser/engine_language.h"
#include "browser/page_zoom.h"
#include "browser/web_engine_browser.h"
#include "page_policy/page_policy.h"
#include "shell/display_platform.h"
#include "shell/drives.h"
#include "shell/network_manager_dialup.h"
#include "shell/prompt_exit.h"
#include "shell/qt_message_boxes.h"
#include "shell/session_end.h"
#include "shell/start_options.h"
#include "shell/x11_window_frame.h"
#include "window/frm_browser.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RUZEZ"));
    // Before the engine starts: the pages are read aloud only if it knows.
    ruzez::exposePagesToScreenReaders();
    // The pupil's zoom is the pupil's own: kept in the user's configuration.
    ruzez::PageZoom zoom(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                         + QStringLiteral("/zoom.conf"));

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
    ruzez::X11WindowFrame frame;
    // What the engine cannot show goes to the desktop's application for it.
    ruzez::DesktopHandOff handOff{[](const QUrl &url) { return QDesktopServices::openUrl(url); },
                                  &boxes};

    ruzez::frmBrowser window(boxes, drives, dialup, help, frame, folder,
                             std::make_unique<ruzez::WebEngineBrowser>(std::move(handOff)),
                             [] { ruzez::endProcessNow(0); });
    boxes.setParent(&window);
    // From the start-up on, a session ending under the window closes it.
    ruzez::SessionEnd sessionEnd([&window] { window.endSession(); });
    // Pages keep to the course's folders, known once start-up has found them.
    ruzez::PagePolicy pagePolicy(QWebEngineProfile::defaultProfile(), [&window, &folder] {
        return ruzez::courseFolders(window.state().site.racinesite, window.state().pageaccueil, folder);
    });
    window.Form_Load();
    // Closed while it was still loading: the program has ended already.
    if (window.unloaded())
        return 0;
    window.show();
    return QApplication::exec();
}

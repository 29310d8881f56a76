// RUZEZ: the course's browser. Wires the real platform services to the main
// window and starts it the way the main course program expects.

#include "browser/desktop_help_engine.h"
#include "browser/engine_language.h"
#include "browser/web_engine_browser.h"
#include "shell/display_platform.h"
#include "shell/drives.h"
#include "shell/frm_browser.h"
#include "shell/network_manager_dialup.h"
#include "shell/program_folder.h"
#include "shell/qt_message_boxes.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

int main(int argc, char *argv[])
{
    // The web engine shares its OpenGL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    ruzez::chooseDisplayPlatform();
    ruzez::chooseFrenchForTheEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RUZEZ"));

    // Every text of the program is French; so are Qt's own buttons (Oui, Non, Réessayer...).
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    QTranslator engineTexts;
    ruzez::loadEngineTranslations(engineTexts);

    const QString folder = ruzez::programFolder();
    ruzez::QtMessageBoxes boxes;
    ruzez::SystemDrives drives(folder);
    ruzez::NetworkManagerDialup dialup;
    ruzez::DesktopHelpEngine help;

    ruzez::frmBrowser window(boxes, drives, dialup, help, folder,
                             std::make_unique<ruzez::WebEngineBrowser>(),
                             [] { QApplication::exit(0); });
    boxes.setParent(&window);
    window.Form_Load();
    // Closed while it was still loading: the program has ended already.
    if (window.unloaded())
        return 0;
    window.show();
    return QApplication::exec();
}

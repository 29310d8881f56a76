// RUZEZ: the course's browser. Wires the real platform services to the main
// window and starts it the way the main course program expects.

#include "browser/desktop_help_engine.h"
#include "browser/engine_language.h"
#include "browser/web_engine_browser.h"
#include "favourites/ajouteur.h"
#include "page_compat/course_fonts.h"
#include "page_compat/modal_dialogs.h"
#include "page_compat/page_compat.h"
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
    ruzez::useCourseFonts(ruzez::courseFontsFile(options.programFolder));
    ruzez::registerModalDialogScheme();
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

    auto browser = std::make_unique<ruzez::WebEngineBrowser>();
    const ruzez::WebEngineBrowser *engine = browser.get();
    ruzez::frmBrowser window(boxes, drives, dialup, help, folder, std::move(browser),
                             [] { ruzez::endProcessNow(0); });
    // A course page's window.external.AddFavorite does what "Ajouter ce site" does.
    QObject::connect(engine, &ruzez::WebEngineBrowser::favouriteRequested, &window,
                     [&boxes, &folder](const QUrl &url, const QString &title) {
                         ruzez::ajouteur(title, url.toString(), folder, boxes);
                     });
    boxes.setParent(&window);
    // From the start-up on, a session ending under the window closes it.
    ruzez::SessionEnd sessionEnd([&window] { window.endSession(); });
    // Pages keep to the course's folders, known once start-up has found them.
    const auto runFolders = [&window, &folder] {
        return ruzez::courseFolders(window.state().site.racinesite, window.state().pageaccueil, folder);
    };
    ruzez::PagePolicy pagePolicy(QWebEngineProfile::defaultProfile(), runFolders);
    // Course pages get what the old page engine gave them; their
    // showModalDialog pages keep to the course too.
    ruzez::PageCompat pageCompat(QWebEngineProfile::defaultProfile());
    ruzez::ModalDialogs modalDialogs(QWebEngineProfile::defaultProfile());
    ruzez::PagePolicy dialogPolicy(modalDialogs.dialogProfile(), runFolders);
    window.Form_Load();
    // Closed while it was still loading: the program has ended already.
    if (window.unloaded())
        return 0;
    window.show();
    return QApplication::exec();
}

// RUZEZ: the course's browser. Wires the real platform services to the main
// window and starts it the way the main course program expects.

#include "browser/desktop_help_engine.h"
#include "browser/engine_accessibility.h"
#include "browser/engine_language.h"
#include "browser/outside_content.h"
#include "browser/page_zoom.h"
#include "browser/web_engine_browser.h"
#include "favourites/ajouteur.h"
#include "file_access/file_workers.h"
#include "media/fluid_synth_player.h"
#include "media/media_plugins.h"
#include "page_compat/course_fonts.h"
#include "page_compat/modal_dialogs.h"
#include "page_compat/page_compat.h"
#include "page_policy/course_file_checks.h"
#include "page_policy/page_policy.h"
#include "shell/display_platform.h"
#include "shell/drives.h"
#include "window/file_operations.h"
#include "shell/network_manager_dialup.h"
#include "shell/prompt_exit.h"
#include "shell/qt_message_boxes.h"
#include "shell/run_folder.h"
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
    // The workers that touch the course disc and the program folder are
    // copies of the process as it is now, before any thread exists.
    ruzez::FileWorkers files(ruzez::fileOperations());
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
    ruzez::MediaPlugins::registerScheme();
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

    // Our pages for refused frames; removed at every end the program sees.
    ruzez::RunFolder runFolder;
    auto engine = std::make_unique<ruzez::WebEngineBrowser>(std::move(handOff));
    ruzez::WebEngineBrowser &browser = *engine;
    ruzez::frmBrowser window(boxes, drives, dialup, help, frame, folder, std::move(engine),
                             [&runFolder] {
                                 runFolder.remove();
                                 ruzez::endProcessNow(0);
                             },
                             nullptr, &files);
    // A course page's window.external.AddFavorite does what "Ajouter ce site" does.
    QObject::connect(&browser, &ruzez::WebEngineBrowser::favouriteRequested, &window,
                     [&boxes, &folder, &files](const QUrl &url, const QString &title) {
                         ruzez::ajouteur(title, url.toString(), folder, boxes, &files);
                     });
    boxes.setParent(&window);
    // From the start-up on, a session ending under the window closes it.
    ruzez::SessionEnd sessionEnd([&window] { window.endSession(); });
    // Pages keep to the course's folders, known once start-up has found them.
    const auto runFolders = [&window, &folder] {
        return ruzez::courseFolders(window.state().site.racinesite, window.state().pageaccueil, folder);
    };
    const auto checks = [&files](const ruzez::CourseFiles &course, const QString &path) {
        return ruzez::course_file_checks::check(files, course, path);
    };
    ruzez::PagePolicy pagePolicy(QWebEngineProfile::defaultProfile(), runFolders, checks,
                                 runFolder.path());
    browser.errorPages().setReasons([&pagePolicy](const QUrl &url) { return pagePolicy.refusal(url); });
    // A disc slow to answer (spinning up) still shows the page, as Actualiser would.
    QObject::connect(&pagePolicy, &ruzez::PagePolicy::answersAgain, &browser, [&browser](const QUrl &url) {
        if (browser.LocationURL() == url.toString())
            browser.Refresh();
    });
    // Course pages get what the old page engine gave them; their
    // showModalDialog pages keep to the course too.
    ruzez::PageCompat pageCompat(QWebEngineProfile::defaultProfile());
    ruzez::ModalDialogs modalDialogs(QWebEngineProfile::defaultProfile());
    ruzez::PagePolicy dialogPolicy(modalDialogs.dialogProfile(), runFolders, checks, runFolder.path());
    // The plug-ins the course's pages were written for.
    pagePolicy.allowForCoursePages(ruzez::MediaPlugins::kScheme);
    ruzez::FluidSynthPlayer midi;
    ruzez::MediaPlugins media(
        QWebEngineProfile::defaultProfile(), ruzez::MediaPlugins::playerFolder(folder), midi,
        [&pagePolicy, &files](const QUrl &url) {
            // Through the file-access service: a disc that hangs holds no page up.
            const auto found = ruzez::course_file_checks::check(
                files, pagePolicy.courseFiles(), url.isLocalFile() ? url.toLocalFile() : QString());
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

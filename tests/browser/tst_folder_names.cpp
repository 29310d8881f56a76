// A program folder and a course disc in folders whose names hold "#", "?",
// "%", spaces and accents, under the real engine: every way the window
// builds an address reaches the page, the page's own anchor kept (the
// engine's own addresses, kept as favourites, are checked in tst_address).

#include "browser/web_engine_browser.h"
#include "page_script.h"
#include "recording_desktop.h"
#include "search/search_panel.h"
#include "test_files.h"
#include "window/frm_browser.h"
#include "window_controls.h"
#include "window_harness.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using ruzez::test::ui;

namespace {

constexpr int kTimeout = test::kEngineTimeout;

bool copyFolder(const QString &from, const QString &to)
{
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        const QString target = to + file.mid(from.size());
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

struct Run
{
    Run(const QString &folderName, const QByteArray &activity, bool startPageBeside)
        : programFolder(base.filePath(folderName))
    {
        const QString disc = programFolder + QStringLiteral("/disque/");
        copied = QDir().mkpath(programFolder)
                 && copyFolder(qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/demo/disc"),
                               disc.chopped(1));
        drives.list = {disc};
        QByteArray exchange(25 * 128, '\0');
        test::writeAll(programFolder + QStringLiteral("/TEMPO.SZK"), exchange + test::record(activity));
        if (startPageBeside)
            test::makeFile(programFolder + QStringLiteral("/index.html"),
                           "<title>Accueil du programme</title>");
        auto engine = std::make_unique<WebEngineBrowser>(desktop.handOff());
        browser = engine.get();
        window = std::make_unique<frmBrowser>(boxes, drives, dialup, help, frame, programFolder,
                                              std::move(engine), [] {});
    }

    bool restsOn(const QString &end, const QString &title)
    {
        return QTest::qWaitFor([&] {
            return !browser->Busy() && browser->LocationURL().endsWith(end)
                   && browser->LocationName() == title;
        }, kTimeout);
    }

    QTemporaryDir base;
    QString programFolder;
    bool copied = false;
    test::FakeMessageBoxes boxes;
    test::FakeDrives drives;
    test::ScriptedDialupLine dialup;
    test::RecordingHelpEngine help;
    test::FakeWindowFrame frame;
    test::RecordingDesktop desktop;
    WebEngineBrowser *browser = nullptr;
    std::unique_ptr<frmBrowser> window;
};

} // namespace

class TestFolderNames : public QObject
{
    Q_OBJECT

private slots:
    void everyAddressReachesItsPage_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("title");
        const QStringList folders{QStringLiteral("Mes cours #1/prog?"),
                                  QStringLiteral("100% élèves/a#b?c"),
                                  QStringLiteral("plain")};
        for (const QString &folder : folders) {
            const QByteArray name = folder.toUtf8();
            QTest::addRow("%s: activity page with its anchor", name.constData())
                << folder << "activity" << "re2rira/air/presentair.html#CO2"
                << "L'air et ses polluants";
            QTest::addRow("%s: start page beside the program", name.constData())
                << folder << "start page" << "/index.html" << "Accueil du programme";
            QTest::addRow("%s: search result", name.constData())
                << folder << "search result" << "re2rira/air/pagesair/dioxyde.html"
                << "Le dioxyde de carbone";
        }
    }
    void everyAddressReachesItsPage()
    {
        QFETCH(QString, folder);
        QFETCH(QString, way);
        QFETCH(QString, end);
        QFETCH(QString, title);
        Run run(folder, way == QLatin1String("start page") ? "0" : "21",
                way == QLatin1String("start page"));
        QVERIFY(run.copied);
        run.window->Form_Load();
        run.window->show();
        if (way == QLatin1String("search result")) {
            QVERIFY(run.restsOn(QStringLiteral("#CO2"), QStringLiteral("L'air et ses polluants")));
            emit ui(*run.window).Frame1->List1_DblClick(QStringLiteral("air/pagesair/dioxyde.html"));
        }
        QVERIFY2(run.restsOn(end, title),
                 qPrintable(run.browser->LocationURL() + QLatin1Char(' ') + run.browser->LocationName()));
        QVERIFY(run.boxes.calls.isEmpty());
    }
};

QTEST_MAIN(TestFolderNames)
#include "tst_folder_names.moc"

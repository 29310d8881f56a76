#include "browser/desktop_help_engine.h"
#include "browser/help_file.h"
#include "fake_message_boxes.h"
#include "test_files.h"

#include <QTest>

using namespace ruzez;

class TestDesktopHelp : public QObject
{
    Q_OBJECT

private slots:
    // The help button asks for the contents of the help file in the program
    // folder. Wine's viewer is tried first, then the desktop; when neither
    // shows the file, or it is missing, the pupil is told in one box.
    void showHelp_data()
    {
        QTest::addColumn<QString>("folder"); // "" : the help file's folder is a fresh one
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("wineInstalled");
        QTest::addColumn<bool>("wineStarts");
        QTest::addColumn<bool>("desktopOpens");
        QTest::addColumn<QString>("shownBy"); // "wine", "desktop" or ""
        QTest::addColumn<QString>("message"); // start of the box's text, or "" for no box
        const int finder = HelpEngine::kFinder;
        const QString missing = QStringLiteral("Le fichier d'aide « ZK2.hlp » est introuvable");
        const QString noViewer = QStringLiteral("Aucun programme de cet ordinateur");
        QTest::newRow("wine shows it") << "" << true << finder << true << true << false << "wine" << "";
        QTest::newRow("no wine: the desktop") << "" << true << finder << false << false << true << "desktop" << "";
        QTest::newRow("wine fails to start: the desktop") << "" << true << finder << true << false << true << "desktop" << "";
        QTest::newRow("nothing shows it") << "" << true << finder << false << false << false << "" << noViewer;
        QTest::newRow("file missing") << "" << false << finder << true << true << true << "" << missing;
        QTest::newRow("folder with spaces and accents") << QStringLiteral("élève/Mon cours") << true << finder
                                                        << true << true << false << "wine" << "";
        QTest::newRow("close-help command") << "" << true << 2 << true << true << true << "" << "";
    }
    void showHelp()
    {
        QFETCH(QString, folder);
        QFETCH(bool, fileExists);
        QFETCH(int, command);
        QFETCH(bool, wineInstalled);
        QFETCH(bool, wineStarts);
        QFETCH(bool, desktopOpens);
        QFETCH(QString, shownBy);
        QFETCH(QString, message);
        test::ScratchFolder scratch;
        const QString programFolder = scratch.newFolder() + (folder.isEmpty() ? QString() : QLatin1Char('/') + folder);
        const QString file = helpFile(programFolder + QLatin1Char('/'));
        if (fileExists)
            QVERIFY(test::makeFile(file, "help"));

        QStringList wineArguments;
        QList<QUrl> urls;
        test::FakeMessageBoxes boxes;
        DesktopHelpEngine help(
            boxes,
            wine::WineHelpViewer(wineInstalled ? QStringLiteral("/usr/bin/wine") : QString(),
                                 [&](const QString &, const QStringList &arguments, const QString &) {
                                     wineArguments = arguments;
                                     return wineStarts;
                                 }),
            [&](const QUrl &url) {
                urls << url;
                return desktopOpens;
            });

        help.showHelp(file, command);

        if (shownBy == QLatin1String("wine")) {
            // A file outside any prefix is reached through Wine's Z: drive.
            QCOMPARE(wineArguments, QStringList({QStringLiteral("winhlp32.exe"),
                                                 QStringLiteral("Z:") + QString(file).replace('/', '\\')}));
        }
        const bool desktopAsked = fileExists && command == HelpEngine::kFinder && shownBy != QLatin1String("wine");
        QCOMPARE(urls.size(), desktopAsked ? 1 : 0);
        if (desktopAsked)
            QCOMPARE(urls.first().toLocalFile(), file);
        QCOMPARE(boxes.calls.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY2(boxes.calls[0].text.startsWith(message), qPrintable(boxes.calls[0].text));
            QCOMPARE(boxes.calls[0].style, vb::OKOnly + vb::Exclamation);
        }
    }
};

QTEST_GUILESS_MAIN(TestDesktopHelp)
#include "tst_desktop_help.moc"

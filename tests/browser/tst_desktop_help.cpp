#include "browser/desktop_help_engine.h"
#include "browser/help_file.h"

#include <QTest>

using namespace ruzez;

class TestDesktopHelp : public QObject
{
    Q_OBJECT

private slots:
    // The help button asks for the contents of the help file in the
    // program folder; the desktop must receive that file, with no doubled
    // separator when the folder already ends in one.
    void handsTheHelpFileToTheDesktop_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain folder") << "/opt/ruzez" << "/opt/ruzez/ZK2.hlp";
        QTest::newRow("folder ending in /") << "/opt/ruzez/" << "/opt/ruzez/ZK2.hlp";
        QTest::newRow("root folder") << "/" << "/ZK2.hlp";
        QTest::newRow("spaces and accents")
            << QStringLiteral("/home/élève/Mon cours") << QStringLiteral("/home/élève/Mon cours/ZK2.hlp");
    }
    void handsTheHelpFileToTheDesktop()
    {
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        QList<QUrl> opened;
        DesktopHelpEngine help([&opened](const QUrl &url) {
            opened << url;
            return true;
        });

        help.showHelp(helpFile(folder), HelpEngine::kFinder);

        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first().isLocalFile());
        QCOMPARE(opened.first().toLocalFile(), expected);
    }

    void opensNothingWithoutAFileOrForOtherCommands_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("command");
        QTest::newRow("no file name") << QString() << int(HelpEngine::kFinder);
        QTest::newRow("close-help command") << "/opt/ruzez/ZK2.hlp" << 2;
    }
    void opensNothingWithoutAFileOrForOtherCommands()
    {
        QFETCH(QString, file);
        QFETCH(int, command);
        int opened = 0;
        DesktopHelpEngine help([&opened](const QUrl &) {
            ++opened;
            return false;
        });
        help.showHelp(file, command);
        QCOMPARE(opened, 0);
    }
};

QTEST_GUILESS_MAIN(TestDesktopHelp)
#include "tst_desktop_help.moc"

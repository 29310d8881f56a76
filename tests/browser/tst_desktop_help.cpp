#include "browser/desktop_help_engine.h"
#include "browser/help_file.h"

#include <QTest>

using namespace ruzez;

class TestDesktopHelp : public QObject
{
    Q_OBJECT

private slots:
    // The help button asks for the contents of the help file in the program
    // folder: the desktop must receive exactly that file, with no doubled
    // separator when the folder already ends in one.
    void showHelp_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("opened"); // empty: nothing handed over
        const int finder = HelpEngine::kFinder;
        QTest::newRow("plain folder") << helpFile("/opt/ruzez") << finder << "/opt/ruzez/ZK2.hlp";
        QTest::newRow("folder ending in /") << helpFile("/opt/ruzez/") << finder << "/opt/ruzez/ZK2.hlp";
        QTest::newRow("root folder") << helpFile("/") << finder << "/ZK2.hlp";
        QTest::newRow("spaces and accents") << helpFile(QStringLiteral("/home/élève/Mon cours"))
                                            << finder << QStringLiteral("/home/élève/Mon cours/ZK2.hlp");
        QTest::newRow("no file name") << QString() << finder << QString();
        QTest::newRow("close-help command") << helpFile("/opt/ruzez") << 2 << QString();
    }
    void showHelp()
    {
        QFETCH(QString, file);
        QFETCH(int, command);
        QFETCH(QString, opened);
        QList<QUrl> urls;
        DesktopHelpEngine help([&urls](const QUrl &url) {
            urls << url;
            return false; // a refusing desktop must not matter
        });

        help.showHelp(file, command);

        QCOMPARE(urls.size(), opened.isEmpty() ? 0 : 1);
        if (!urls.isEmpty()) {
            QVERIFY(urls.first().isLocalFile());
            QCOMPARE(urls.first().toLocalFile(), opened);
        }
    }
};

QTEST_GUILESS_MAIN(TestDesktopHelp)
#include "tst_desktop_help.moc"

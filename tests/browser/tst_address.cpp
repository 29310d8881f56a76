#include "browser/address.h"

#include <QTest>

using namespace ruzez;

class TestAddress : public QObject
{
    Q_OBJECT

private slots:
    void address_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("url");

        QTest::newRow("root and page with fragment")
            << "file:///tmp/x/re2rira/air/presentair.html#CO2"
            << "file:///tmp/x/re2rira/air/presentair.html#CO2";
        QTest::newRow("plain start page") << "/opt/ruzez/index.html" << "file:///opt/ruzez/index.html";
        QTest::newRow("plain path with fragment")
            << "/tmp/re2rira/air/pagesair/CFC.html#pollutions"
            << "file:///tmp/re2rira/air/pagesair/CFC.html#pollutions";
        QTest::newRow("backslashes in a file address")
            << "file://\\tmp\\re2rira\\air\\presentair.html#CO2"
            << "file:///tmp/re2rira/air/presentair.html#CO2";
        QTest::newRow("backslashes in a plain path")
            << "\\tmp\\re2rira\\partages\\index.html" << "file:///tmp/re2rira/partages/index.html";
        QTest::newRow("empty root: the page is a path, not a host")
            << "file://air/presentair.html#CO2" << "file:///air/presentair.html#CO2";
        QTest::newRow("relative plain path") << "partages/index.html" << "file:///partages/index.html";
        QTest::newRow("plain path keeps a space and a percent sign")
            << "/media/CD ROM/100%/index.html" << "file:///media/CD%20ROM/100%25/index.html";
        QTest::newRow("plain path: a # inside a folder name is not a fragment")
            << "/tmp/a#b/page.html" << "file:///tmp/a%23b/page.html";
        QTest::newRow("file address with a space")
            << "file:///media/CD ROM/re2rira/air/presentair.html"
            << "file:///media/CD%20ROM/re2rira/air/presentair.html";
        QTest::newRow("engine's own encoded address goes back unchanged")
            << "file:///media/CD%20ROM/re2rira/a.html" << "file:///media/CD%20ROM/re2rira/a.html";
        QTest::newRow("localhost") << "file://localhost/tmp/a.html" << "file:///tmp/a.html";
        QTest::newRow("upper-case scheme") << "FILE:///tmp/a.html" << "file:///tmp/a.html";
        QTest::newRow("surrounding blanks") << "  /tmp/a.html " << "file:///tmp/a.html";
        QTest::newRow("about:blank") << "about:blank" << "about:blank";
        QTest::newRow("http") << "http://example.org/a/b.html?q=1#top" << "http://example.org/a/b.html?q=1#top";
        QTest::newRow("https") << "https://example.org/" << "https://example.org/";
        QTest::newRow("file address: # and ? in folders, the page's anchor kept")
            << "file:///tmp/Mes cours #1/prog?/re2rira/air/presentair.html#CO2"
            << "file:///tmp/Mes%20cours%20%231/prog%3F/re2rira/air/presentair.html#CO2";
        QTest::newRow("file address: % and accents in folders")
            << "file:///tmp/100%/Cours élève/re2rira/a.html"
            << "file:///tmp/100%25/Cours%20%C3%A9l%C3%A8ve/re2rira/a.html";
        QTest::newRow("file address: a folder ending in #")
            << "file:///tmp/a#/re2rira/a.html" << "file:///tmp/a%23/re2rira/a.html";
        QTest::newRow("plain path: ? in a folder, anchor kept")
            << "/tmp/prog?/re2rira/a.html#x" << "file:///tmp/prog%3F/re2rira/a.html#x";
        QTest::newRow("the engine's address of such a folder goes back unchanged")
            << "file:///tmp/Mes cours %231/prog%3F/re2rira/a.html#CO2"
            << "file:///tmp/Mes%20cours%20%231/prog%3F/re2rira/a.html#CO2";
        QTest::newRow("a page's query and anchor")
            << "file:///tmp/re2rira/a.html?x=1#top" << "file:///tmp/re2rira/a.html?x=1#top";
        QTest::newRow("drive letter path stays a file")
            << "D:\\re2rira\\partages\\index.html" << "file:///D:/re2rira/partages/index.html";
    }

    void address()
    {
        QFETCH(QString, address);
        QFETCH(QString, url);
        const QUrl result = addressToUrl(address);
        QVERIFY(result.isValid());
        QCOMPARE(result.toString(QUrl::FullyEncoded), url);
    }

    void emptyAddressIsInvalid_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("   ");
    }

    void emptyAddressIsInvalid()
    {
        QFETCH(QString, address);
        QVERIFY(!addressToUrl(address).isValid());
    }
};

QTEST_GUILESS_MAIN(TestAddress)
#include "tst_address.moc"

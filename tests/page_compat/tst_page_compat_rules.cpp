// The small rules of page_compat, each a table: where a pop-up goes, where
// a drive-letter path leads, what a course page's message says.

#include "page_compat/drive_letters.h"
#include "page_compat/page_messages.h"
#include "page_compat/popup_compat.h"

#include <QTest>

using namespace ruzez;

class TestPageCompatRules : public QObject
{
    Q_OBJECT

private slots:
    void popupPageArea_data()
    {
        QTest::addColumn<QRect>("asked");
        QTest::addColumn<QRect>("expected");
        // A 1000 × 700 screen whose free area starts at (0, 30); frames of 5, 25 at the top.
        QTest::newRow("as asked") << QRect(10, 60, 300, 200) << QRect(10, 60, 300, 200);
        QTest::newRow("off the right, moved in") << QRect(900, 100, 300, 200) << QRect(695, 100, 300, 200);
        QTest::newRow("above the top, moved down") << QRect(10, 0, 300, 200) << QRect(10, 55, 300, 200);
        QTest::newRow("taller than the screen") << QRect(0, 0, 300, 2000) << QRect(5, 55, 300, 670);
        QTest::newRow("too small, made 100") << QRect(50, 80, 20, 10) << QRect(50, 80, 100, 100);
        QTest::newRow("wider than the screen") << QRect(-50, 100, 5000, 200) << QRect(5, 100, 990, 200);
    }

    void popupPageArea()
    {
        QFETCH(QRect, asked);
        QFETCH(QRect, expected);
        QCOMPARE(ruzez::popupPageArea(asked, QRect(0, 30, 1000, 700), QMargins(5, 25, 5, 5)), expected);
    }

    void courseDrivePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        const QString course = QStringLiteral("/media/cdrom/re2rira/air/page.htm");
        QTest::newRow("backslashes") << QStringLiteral("D:\\re2rira\\air\\page.htm") << course;
        QTest::newRow("file URL path") << QStringLiteral("/D:/re2rira/air/page.htm") << course;
        QTest::newRow("other letter, lower case") << QStringLiteral("/e:/RE2RIRA/air/page.htm") << course;
        QTest::newRow("mixed slashes") << QStringLiteral("/Z:\\re2rira/air\\page.htm") << course;
        QTest::newRow("the course folder") << QStringLiteral("D:/re2rira") << QStringLiteral("/media/cdrom/re2rira");
        QTest::newRow("other folder of the drive") << QStringLiteral("/C:/Windows/win.ini") << QString();
        QTest::newRow("climbing out") << QStringLiteral("/D:/re2rira/../secret.txt") << QString();
        QTest::newRow("no drive") << QStringLiteral("/re2rira/air/page.htm") << QString();
        QTest::newRow("two letters") << QStringLiteral("/DE:/re2rira/air/page.htm") << QString();
    }

    void courseDrivePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        const QStringList folders = {QStringLiteral("/opt/ruzez"), QStringLiteral("/media/cdrom/re2rira/")};
        QCOMPARE(ruzez::courseDrivePath(path, folders), expected);
    }

    void driveLetterAddress_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QUrl>("expected");
        QTest::newRow("backslashes") << QUrl(QStringLiteral("d:\\re2rira\\air\\page.htm"))
                                     << QUrl(QStringLiteral("file:///D:/re2rira/air/page.htm"));
        QTest::newRow("encoded backslashes") << QUrl(QStringLiteral("d:%5Cre2rira%5Cpage.htm#CO2"))
                                             << QUrl(QStringLiteral("file:///D:/re2rira/page.htm#CO2"));
        QTest::newRow("web address") << QUrl(QStringLiteral("http://exemple.fr/")) << QUrl();
        QTest::newRow("mailto") << QUrl(QStringLiteral("mailto:prof@exemple.fr")) << QUrl();
        QTest::newRow("letter without path") << QUrl(QStringLiteral("d:page.htm")) << QUrl();
    }

    void driveLetterAddress()
    {
        QFETCH(QUrl, url);
        QFETCH(QUrl, expected);
        QCOMPARE(ruzez::driveLetterAddress(url), expected);
    }

    void pageMessage_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QUrl>("page");
        QTest::addColumn<int>("kind"); // -1: not a message
        QTest::addColumn<QString>("text");
        QTest::addColumn<QUrl>("url");
        const QUrl course = QUrl::fromLocalFile(QStringLiteral("/cours/re2rira/page.htm"));
        const QUrl web(QStringLiteral("http://exemple.fr/"));
        const QString prefix = QStringLiteral("\u0001ruzez:");
        QTest::newRow("leaving text") << prefix + QStringLiteral("leaving:\"Vos réponses seront perdues\"") << course
                                      << int(PageMessage::Kind::Leaving) << QStringLiteral("Vos réponses seront perdues") << QUrl();
        QTest::newRow("leaving, no text") << prefix + QStringLiteral("leaving:\"\"") << course
                                          << int(PageMessage::Kind::Leaving) << QString() << QUrl();
        QTest::newRow("favourite") << prefix + QStringLiteral("favourite:{\"url\":\"file:///cours/a.htm\",\"title\":\"Air\"}")
                                   << course << int(PageMessage::Kind::Favourite) << QStringLiteral("Air")
                                   << QUrl(QStringLiteral("file:///cours/a.htm"));
        QTest::newRow("dialog's returnValue") << prefix + QStringLiteral("returnValue:{\"score\":3}") << course
                                             << int(PageMessage::Kind::ReturnValue) << QStringLiteral("{\"score\":3}") << QUrl();
        QTest::newRow("from a web page") << prefix + QStringLiteral("leaving:\"x\"") << web << -1 << QString() << QUrl();
        QTest::newRow("plain console text") << QStringLiteral("leaving:\"x\"") << course << -1 << QString() << QUrl();
        QTest::newRow("broken JSON") << prefix + QStringLiteral("favourite:{\"url\":") << course << -1 << QString() << QUrl();
        QTest::newRow("relative favourite") << prefix + QStringLiteral("favourite:{\"url\":\"a.htm\",\"title\":\"A\"}")
                                            << course << -1 << QString() << QUrl();
        QTest::newRow("unknown kind") << prefix + QStringLiteral("format:\"c\"") << course << -1 << QString() << QUrl();
    }

    void pageMessage()
    {
        QFETCH(QString, message);
        QFETCH(QUrl, page);
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(QUrl, url);
        const auto said = ruzez::pageMessage(message, page);
        QCOMPARE(said.has_value(), kind >= 0);
        if (!said)
            return;
        QCOMPARE(int(said->kind), kind);
        QCOMPARE(said->text, text);
        QCOMPARE(said->url, url);
    }
};

QTEST_GUILESS_MAIN(TestPageCompatRules)
#include "tst_page_compat_rules.moc"

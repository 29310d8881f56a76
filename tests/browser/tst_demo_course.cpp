#include "browser/web_engine_browser.h"
#include "recording_desktop.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include "page_script.h"

#include <QTest>
#include <QUrl>
#include <QWebEnginePage>

using namespace ruzez;

namespace {

constexpr int kTimeout = test::kEngineTimeout;

QString discRoot()
{
    return qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/demo/disc/re2rira/");
}


// Whether a local address names an existing file and, for "#name", an
// element of that page with that id.
bool targetExists(const QUrl &url)
{
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return !url.hasFragment() || file.readAll().contains("id=\"" + url.fragment().toUtf8() + '"');
}

} // namespace

// The demo course as the program shows it: every page loads in the engine,
// reads right whatever its encoding, and every link and image it holds
// leads somewhere.
class TestDemoCourse : public QObject
{
    Q_OBJECT

private slots:
    void pageLoadsAndItsLinksLead_data()
    {
        QTest::addColumn<QString>("page");
        QDirIterator it(discRoot(), {QStringLiteral("*.html")}, QDir::Files, QDirIterator::Subdirectories);
        QStringList pages;
        while (it.hasNext())
            pages << QDir(discRoot()).relativeFilePath(it.next());
        pages.sort();
        QVERIFY(pages.size() >= 12);
        for (const QString &page : std::as_const(pages))
            QTest::newRow(qPrintable(page)) << page;
    }

    void pageLoadsAndItsLinksLead()
    {
        QFETCH(QString, page);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
        QVERIFY(browser.Navigate(QStringLiteral("file://") + discRoot() + page));
        QVERIFY(complete.wait(kTimeout));

        const QString text = test::runJavaScript(browser.page(), QStringLiteral("document.body.innerText")).toString();
        QVERIFY2(text.contains(QStringLiteral("é")), "accented text reads right");
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
        QVERIFY(!browser.LocationName().isEmpty());

        const QStringList targets = test::runJavaScript(browser.page(),
            QStringLiteral("Array.from(document.querySelectorAll('a[href], img[src], link[href]'),"
                           " e => e.href || e.src)")).toStringList();
        QVERIFY(!targets.isEmpty());
        for (const QString &target : targets)
            QVERIFY2(targetExists(QUrl(target)), qPrintable(target));
    }

    void linksTableRowsNameExistingPages()
    {
        QFile csv(qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/demo/links.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        QCOMPARE(lines.first(), QByteArray("LinkID,URL,SubCategory,Description\r"));
        int id = 0;
        for (const QByteArray &line : lines.mid(1)) {
            if (line.isEmpty())
                continue;
            const QList<QByteArray> fields = line.split(',');
            QCOMPARE(fields.at(0).toInt(), ++id);
            QUrl url = QUrl::fromLocalFile(discRoot() + QString::fromUtf8(fields.at(1)).section('#', 0, 0));
            if (fields.at(1).contains('#'))
                url.setFragment(QString::fromUtf8(fields.at(1)).section('#', 1));
            QVERIFY2(targetExists(url), fields.at(1).constData());
        }
        QVERIFY(id >= 20);
    }
};

QTEST_MAIN(TestDemoCourse)
#include "tst_demo_course.moc"

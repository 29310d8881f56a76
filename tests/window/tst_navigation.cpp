#include "access/jet_writer.h"
#include "browser/status_strip.h"
#include "search/search_panel.h"
#include "window/frm_browser.h"
#include "window_controls.h"
#include "window_harness.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace ruzez;
using ruzez::test::ui;
using ruzez::test::WindowHarness;

namespace {

QStringList addresses(const QComboBox &box)
{
    QStringList entries;
    for (int i = 0; i < box.count(); ++i)
        entries << box.itemText(i);
    return entries;
}

int navigations(const QStringList &calls)
{
    int count = 0;
    for (const QString &call : calls)
        count += call.startsWith(QLatin1String("Navigate"));
    return count;
}

} // namespace

class TestNavigation : public QObject
{
    Q_OBJECT

private slots:
    // Steps: "load:X" (the page follows a link to X), "back", "forward" (the
    // buttons, then the browser completes), "blank" (a completed download
    // whose address is blank).
    void eventSequences_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("poshisto");
        QTest::addColumn<int>("maxhisto");
        QTest::addColumn<int>("navhisto");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<bool>("backEnabled");
        QTest::addColumn<bool>("forwardEnabled");
        QTest::addColumn<QString>("caption");

        const QString a = QStringLiteral("file:///cd/re2rira/a.html");
        const QString b = QStringLiteral("file:///cd/re2rira/b.html");
        const QString c = QStringLiteral("file:///cd/re2rira/c.html");
        const QString d = QStringLiteral("file:///cd/re2rira/d.html");
        const QString A = QStringLiteral("file:///cd/re2rira/A.html");
        auto load = [](const QString &url) { return QStringLiteral("load:") + url; };
        auto title = [](const QString &url) { return QStringLiteral("RUZEZ - Titre ") + url.right(6); };

        QTest::newRow("first page") << QStringList{load(a)} << 1 << 1 << 0 << QStringList{a}
                                    << false << false << title(a);
        QTest::newRow("second page enables back")
            << QStringList{load(a), load(b)} << 2 << 2 << 0 << QStringList{a, b} << true << false << title(b);
        QTest::newRow("back") << QStringList{load(a), load(b), "back"} << 1 << 2 << 0 << QStringList{a, b}
                              << true << true << title(a);
        QTest::newRow("back, forward") << QStringList{load(a), load(b), "back", "forward"} << 2 << 2 << 0
                                       << QStringList{a, b} << true << true << title(b);
        QTest::newRow("back, forward, link")
            << QStringList{load(a), load(b), "back", "forward", load(c)} << 3 << 3 << 0
            << QStringList{a, b, c} << true << true << title(c);
        QTest::newRow("a link after going back lowers the furthest position")
            << QStringList{load(a), load(b), load(c), "back", "back", load(d)} << 2 << 2 << 0
            << QStringList{a, b, c, d} << true << true << title(d);
        QTest::newRow("back on the first page")
            << QStringList{load(a), "back"} << 0 << 1 << -1 << QStringList{a} << false << true << title(a);
        QTest::newRow("blank address keeps caption and flag")
            << QStringList{load(a), "back", "blank"} << 0 << 1 << -1 << QStringList{a} << false << true
            << title(a);
        QTest::newRow("blank address at the start") << QStringList{"blank"} << 0 << 0 << 0 << QStringList{}
                                                    << false << false << "RUZEZ";
        QTest::newRow("address already listed")
            << QStringList{load(a), load(b), load(a)} << 3 << 3 << 0 << QStringList{a, b} << true << false
            << title(a);
        QTest::newRow("same address as the box") << QStringList{load(a), load(a)} << 2 << 2 << 0
                                                 << QStringList{a} << true << false << title(a);
        QTest::newRow("addresses differing in case are both listed")
            << QStringList{load(a), load(A)} << 2 << 2 << 0 << QStringList{a, A} << true << false << title(A);
    }

    void eventSequences()
    {
        QFETCH(QStringList, steps);
        WindowHarness h;
        frmBrowser &w = *h.window;
        h.browser->autoComplete = true;
        ui(w).avant->setEnabled(false);
        ui(w).suivant->setEnabled(false);
        for (const QString &step : steps) {
            if (step.startsWith(QLatin1String("load:"))) {
                const QString url = step.mid(5);
                h.browser->titles.insert(url, QStringLiteral("Titre ") + url.right(6));
                h.browser->load(url);
            } else if (step == QLatin1String("back")) {
                w.avant_Click();
            } else if (step == QLatin1String("forward")) {
                w.suivant_Click();
            } else if (step == QLatin1String("blank")) {
                h.browser->locationURL = QStringLiteral("  ");
                h.browser->locationName = QStringLiteral("sans titre");
                emit h.browser->DownloadComplete();
            }
            h.settle();
        }

        QTEST(int(w.state().poshisto), "poshisto");
        QTEST(int(w.state().maxhisto), "maxhisto");
        QTEST(int(w.state().navhisto), "navhisto");
        QTEST(addresses(*ui(w).cboAddress), "listed");
        QTEST(ui(w).avant->isEnabled(), "backEnabled");
        QTEST(ui(w).suivant->isEnabled(), "forwardEnabled");
        QTEST(w.windowTitle(), "caption");
        // Recording an address never navigates to it again.
        QCOMPARE(navigations(h.browser->calls), 0);
        QCOMPARE(int(ui(w).quelk), 0);
        QVERIFY(!ui(w).stoppeur->isEnabled() || steps.endsWith(QStringLiteral("blank")));
    }

    void countersStopAtTheSixteenBitLimit()
    {
        WindowHarness h;
        for (int i = 0; i < 32770; ++i)
            h.window->suivant_Click();
        QCOMPARE(int(h.window->state().poshisto), 32767);
        h.browser->load(QStringLiteral("a")); // consumes the forward flag
        h.browser->load(QStringLiteral("b")); // ordinary: the step is refused
        QCOMPARE(int(h.window->state().poshisto), 32767);
        QCOMPARE(int(h.window->state().maxhisto), 32767);
    }

    void selectingWhileQuelkIsSetDoesNotNavigate()
    {
        WindowHarness h;
        ui(*h.window).cboAddress->addItem(QStringLiteral("file:///cd/x.html"));
        ui(*h.window).quelk = 1;
        h.window->cboAddress_Click();
        QVERIFY(ui(*h.window).timTimer->isActive());
        QCOMPARE(int(ui(*h.window).quelk), 0);
        QVERIFY(h.browser->calls.isEmpty());

        h.window->cboAddress_Click();
        QCOMPARE(h.browser->calls, QStringList{QStringLiteral("Navigate(file:///cd/x.html)")});
    }

    void onlyEnterInTheAddressBoxNavigates_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("navigations");
        QTest::newRow("Enter") << 13 << 1;
        QTest::newRow("letter") << int('a') << 0;
        QTest::newRow("Escape") << 27 << 0;
    }

    void onlyEnterInTheAddressBoxNavigates()
    {
        QFETCH(int, key);
        WindowHarness h;
        int KeyAscii = key;
        h.window->cboAddress_KeyPress(KeyAscii);
        QCOMPARE(KeyAscii, key);
        QTEST(navigations(h.browser->calls), "navigations");
    }

    void stopResetsCaptionAndDisablesStop()
    {
        WindowHarness h;
        h.browser->locationName = QStringLiteral("Le dioxyde de carbone");
        h.browser->busy = true;
        ui(*h.window).timTimer->start();
        h.window->stoppeur_Click();
        QVERIFY(!ui(*h.window).timTimer->isActive());
        QCOMPARE(h.browser->calls, QStringList{QStringLiteral("Stop()")});
        QCOMPARE(h.window->windowTitle(), QStringLiteral("RUZEZ - Le dioxyde de carbone"));
        QVERIFY(!ui(*h.window).stoppeur->isEnabled());

        emit h.browser->DownloadBegin();
        QVERIFY(ui(*h.window).stoppeur->isEnabled());
    }

    void busyTimerShowsLoadingThenTheTitle()
    {
        WindowHarness h;
        h.browser->locationName = QStringLiteral("Ozone");
        h.browser->busy = true;
        ui(*h.window).timTimer->start();
        QCOMPARE(ui(*h.window).timTimer->interval(), 5);
        QTRY_COMPARE(h.window->windowTitle(), QStringLiteral("RUZEZ - En cours..."));
        QVERIFY(ui(*h.window).timTimer->isActive());
        h.browser->busy = false;
        QTRY_COMPARE(h.window->windowTitle(), QStringLiteral("RUZEZ - Ozone"));
        QVERIFY(!ui(*h.window).timTimer->isActive());
    }

    void helpOpensTheHelpFileContents_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("file");
        QTest::newRow("plain folder") << "/opt/ruzez" << "/opt/ruzez/ZK2.hlp";
        QTest::newRow("folder ending in a separator") << "/opt/ruzez/" << "/opt/ruzez/ZK2.hlp";
        QTest::newRow("root") << "/" << "/ZK2.hlp";
    }

    void helpOpensTheHelpFileContents()
    {
        QFETCH(QString, folder);
        QFETCH(QString, file);
        WindowHarness h(folder);
        h.window->Command5_Click();
        QCOMPARE(h.help.requests.size(), 1);
        QCOMPARE(h.help.requests[0].file, file);
        QCOMPARE(h.help.requests[0].command, 11);
    }

    void newWindowRequests_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("redirected");
        QTest::newRow("web address") << "http://www.exemple.fr/air.html" << true;
        QTest::newRow("secure web address") << "https://www.exemple.fr/" << true;
        QTest::newRow("mixed case") << "HtTp://www.exemple.fr/" << true;
        QTest::newRow("lower case, short") << "http" << true;
        QTest::newRow("leading blank") << " http://www.exemple.fr/" << false;
        QTest::newRow("local file") << "file:///cd/re2rira/air/index.html" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("three letters") << "htt" << false;
    }

    void newWindowRequests()
    {
        QFETCH(QString, status);
        QFETCH(bool, redirected);
        WindowHarness h;
        emit h.browser->BeforeNavigate2(QStringLiteral("http://www.exemple.fr/pub.html"));
        emit h.browser->StatusTextChange(status);
        QCOMPARE(ui(*h.window).Label1->text(), status);

        bool cancel = false;
        emit h.browser->NewWindow2(&cancel);
        QCOMPARE(cancel, redirected);
        const QStringList expected = redirected
            ? QStringList{QStringLiteral("Navigate(http://www.exemple.fr/pub.html)"),
                          QStringLiteral("StatusBar(false)"), QStringLiteral("Navigate(%1)").arg(status)}
            : QStringList{};
        QCOMPARE(h.browser->calls, expected);
    }

    void progressBarOnTheStatusStrip_data()
    {
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("progressMax");
        QTest::addColumn<float>("fraction"); // of the strip's width; -1: left as it was
        QTest::newRow("half") << 50 << 100 << 0.5f;
        QTest::newRow("all") << 7 << 7 << 1.0f;
        QTest::newRow("maximum 1 draws nothing") << 1 << 1 << -1.0f;
        QTest::newRow("maximum 0 draws nothing") << 3 << 0 << -1.0f;
        QTest::newRow("negative maximum draws nothing") << 3 << -5 << -1.0f;
    }

    void progressBarOnTheStatusStrip()
    {
        QFETCH(int, progress);
        QFETCH(int, progressMax);
        QFETCH(float, fraction);
        WindowHarness h;
        StatusStrip &strip = *ui(*h.window).etat;
        emit h.browser->ProgressChange(1, 4);
        const float before = test::StatusStripProbe::barWidth(strip);
        QCOMPARE(before, strip.width() / 4.0f);

        emit h.browser->ProgressChange(progress, progressMax);
        QCOMPARE(test::StatusStripProbe::barWidth(strip), fraction < 0 ? before : strip.width() * fraction);

        h.browser->locationURL = QStringLiteral("file:///cd/a.html");
        emit h.browser->DownloadComplete();
        QCOMPARE(test::StatusStripProbe::barWidth(strip), 0.0f);
    }

    void searchPanelOpensAndCloses()
    {
        WindowHarness h;
        frmBrowser &w = *h.window;
        w.Command8_Click();
        w.Command8_Click();
        QVERIFY(ui(w).Frame1->isVisibleTo(&w));
        QCOMPARE(ui(w).brwWebBrowser->x(), ui(w).Frame1->width());
        QCOMPARE(ui(w).brwWebBrowser->x() + ui(w).brwWebBrowser->width(), w.width());

        emit ui(w).Frame1->Image1_Click();
        QVERIFY(!ui(w).Frame1->isVisibleTo(&w));
        QCOMPARE(ui(w).brwWebBrowser->x(), 0);
        QCOMPARE(ui(w).brwWebBrowser->width(), w.width());
    }

    // The search reads the links table beside the program once the course
    // has been found, and nothing before.
    void searchReadsTheLinksTableOnceTheCourseIsFound_data()
    {
        QTest::addColumn<bool>("started");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("course found") << true << QStringList{QStringLiteral("L'ozone")};
        QTest::newRow("course never looked for") << false << QStringList{};
    }

    void searchReadsTheLinksTableOnceTheCourseIsFound()
    {
        QFETCH(bool, started);
        WindowHarness h;
        JetWriter links(QStringLiteral("LINKS"), {{QStringLiteral("LinkID"), JetWriter::ColumnType::LongInteger},
                                                  {QStringLiteral("URL"), JetWriter::ColumnType::Text},
                                                  {QStringLiteral("SubCategory"), JetWriter::ColumnType::Text},
                                                  {QStringLiteral("Description"), JetWriter::ColumnType::Memo}});
        QVERIFY(links.addRow({"1", "air/pagesair/ozone.html", "L'ozone", "L'ozone, un polluant"}));
        QVERIFY(links.addRow({"2", "air/pagesair/cfc.html", "Les CFC", "Les aérosols"}));
        QVERIFY(links.write(h.program.filePath(QStringLiteral("environ.mdb"))));
        if (started) {
            h.browser->autoComplete = true;
            h.window->Form_Load();
            h.settle();
        }

        ui(*h.window).Frame1->Text2->setText(QStringLiteral("ozone"));
        ui(*h.window).Frame1->Command6_Click();
        const QAbstractItemModel *list = ui(*h.window).Frame1->List1->model();
        QStringList titles;
        for (int i = 0; i < list->rowCount(); ++i)
            titles << list->index(i, 0).data().toString();
        QTEST(titles, "found");
    }

    void searchResultOpensUnderTheCourseFolder()
    {
        WindowHarness h;
        h.writeActivity("0");
        h.browser->autoComplete = true;
        h.window->Form_Load();
        h.settle();
        h.browser->calls.clear();
        emit ui(*h.window).Frame1->List1_DblClick(QStringLiteral("air/pagesair/ozone.html"));
        QCOMPARE(h.browser->calls,
                 QStringList{QStringLiteral("Navigate2(%1air/pagesair/ozone.html)").arg(h.discRoot())});
    }

    void searchResultWithoutCourseFolderIsTheAddressAlone()
    {
        WindowHarness h;
        emit ui(*h.window).Frame1->List1_DblClick(QStringLiteral("air/pagesair/ozone.html"));
        QCOMPARE(h.browser->calls, QStringList{QStringLiteral("Navigate2(air/pagesair/ozone.html)")});
    }
};

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"

#include "browser/browser_component.h"
#include "favourites/ajouteur.h"
#include "favourites/favoris.h"
#include "favourites/favourites_file.h"
#include "favourites/menuf.h"
#include "fake_message_boxes.h"
#include "test_files.h"

#include <QApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace ruzez;
using test::readAll;
using test::record;

namespace {

// A browser that shows whatever page the test sets and logs the calls the
// favourites make.
class FavFakeBrowser final : public BrowserComponent
{
public:
    bool Navigate(const QString &address) override { return log("Navigate " + address); }
    bool Navigate2(const QString &address) override { return log("Navigate2 " + address); }
    bool GoBack() override { return log("GoBack"); }
    bool GoForward() override { return log("GoForward"); }
    bool Refresh() override { return log("Refresh"); }
    bool Refresh2() override { return log("Refresh2"); }
    bool Stop() override { return log("Stop"); }
    bool ExecWB(int, int) override { return log("ExecWB"); }
    QString LocationName() const override { return name; }
    QString LocationURL() const override { return url; }
    bool Busy() const override { return false; }
    void setStatusBar(bool) override {}

    QString name;
    QString url;
    QStringList calls;

private:
    bool log(const QString &call)
    {
        calls << call;
        return true;
    }
};

const QString kFailure = QStringLiteral("Impossible d'ajouter aux favoris: disque non valide pour l'\u00e9criture.");

QByteArray entries(const QList<QPair<QByteArray, QByteArray>> &list)
{
    QByteArray bytes;
    for (const auto &[title, address] : list)
        bytes += record(title) + record(address);
    return bytes;
}

QStringList listed(const QListWidget *list)
{
    QStringList titles;
    for (int i = 0; i < list->count(); ++i)
        titles << list->item(i)->text();
    return titles;
}

} // namespace

class TestFavouritesWindow : public QObject
{
    Q_OBJECT

private:
    // A fresh program folder, holding a favourites file when bytes are given.
    QString folder(const QByteArray *bytes = nullptr)
    {
        const QString path = m_dir.filePath(QString::number(++m_count));
        QDir().mkpath(path);
        if (bytes)
            test::writeAll(FavouritesFile::pathIn(path), *bytes);
        return path;
    }
    QString file(const QString &folder) const { return FavouritesFile::pathIn(folder); }

    void checkFailureBox(const test::FakeMessageBoxes &boxes)
    {
        QCOMPARE(boxes.calls.size(), 1);
        QCOMPARE(boxes.calls[0].text, kFailure);
        QCOMPARE(boxes.calls[0].style, vb::OKOnly + vb::Critical);
        QCOMPARE(boxes.calls[0].title, QStringLiteral("Ecriture impossible sur disque"));
    }

    QTemporaryDir m_dir;
    int m_count = 0;
    FavFakeBrowser m_browser;
    test::FakeMessageBoxes m_boxes;

private slots:
    void init()
    {
        m_browser.name = QStringLiteral("Dioxyde de carbone");
        m_browser.url = QStringLiteral("file:///cd/re2rira/air/pagesair/dioxyde.html");
        m_browser.calls.clear();
        m_boxes.calls.clear();
    }

    void ajouteurCreatesTheFileWithTheFirstEntry()
    {
        const QString dir = folder();
        ajouteur(m_browser, dir, m_boxes);
        QCOMPARE(readAll(file(dir)),
                 entries({{"Dioxyde de carbone", "file:///cd/re2rira/air/pagesair/dioxyde.html"}}));
        QVERIFY(m_boxes.calls.isEmpty());
    }

    void ajouteurSkipsAPageWithoutTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("empty") << QString();
        QTest::newRow("spaces only") << QStringLiteral("    ");
    }
    void ajouteurSkipsAPageWithoutTitle()
    {
        QFETCH(QString, title);
        const QString dir = folder();
        m_browser.name = title;
        ajouteur(m_browser, dir, m_boxes);
        QVERIFY(!QFile::exists(file(dir)));
        QVERIFY(m_boxes.calls.isEmpty());
    }

    void ajouteurReportsEveryFailure_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("address of 127 characters") << QString(127, QLatin1Char('u')) << false;
        QTest::newRow("read-only disk") << QStringLiteral("file:///x.html") << true;
    }
    void ajouteurReportsEveryFailure()
    {
        QFETCH(QString, url);
        QFETCH(bool, readOnly);
        const QByteArray before = entries({{"A", "a"}});
        const QString dir = folder(&before);
        m_browser.url = url;
        std::optional<test::ReadOnlyGuard> guard;
        if (readOnly) {
            guard.emplace(file(dir));
            if (!guard->effective())
                QSKIP("cannot make a read-only file here");
        }
        ajouteur(m_browser, dir, m_boxes);
        checkFailureBox(m_boxes);
        QCOMPARE(readAll(file(dir)), before);
    }

    void windowLayout()
    {
        favoris window(m_browser, folder(), m_boxes);
        QCOMPARE(window.windowTitle(), QStringLiteral("Sites favoris"));
        QCOMPARE(window.size(), QSize(487, 373));
        QCOMPARE(window.Frame1->geometry(), QRect(8, 0, 465, 297));
        QCOMPARE(window.Frame1->title(), QString());
        QCOMPARE(window.Liste->geometry(), QRect(16, 16, 433, 264));
        QCOMPARE(window.Liste->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(window.Command3->text(), QStringLiteral("Fermer"));
        QCOMPARE(window.Command1->text(), QStringLiteral("Enlever"));
        QCOMPARE(window.Command2->text(), QStringLiteral("Aller \u00e0..."));
        QCOMPARE(window.Command3->geometry(), QRect(152, 312, 57, 49));
        QCOMPARE(window.Command1->geometry(), QRect(224, 312, 57, 49));
        QCOMPARE(window.Command2->geometry(), QRect(296, 312, 57, 49));
        for (QToolButton *button : {window.Command1, window.Command2, window.Command3}) {
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            QVERIFY(!button->icon().isNull());
        }

        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.Liste);
        const QList<QWidget *> order = {window.Command2, window.Command1, window.Command3, window.Liste};
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void formLoadListsTheTitles()
    {
        const QByteArray bytes = entries({{" Air ", "a"}, {" Air ", "b"}, {"", ""}, {"Cach\xe9", "c"}});
        favoris window(m_browser, folder(&bytes), m_boxes);
        window.Form_Load();
        QCOMPARE(listed(window.Liste), (QStringList{" Air ", " Air "}));
        QVERIFY(window.Liste->selectedItems().isEmpty());
        QVERIFY(m_boxes.calls.isEmpty());
    }

    void formLoadReportsAFileThatCannotBeOpened()
    {
        const QString dir = folder();
        test::ReadOnlyGuard guard(dir);
        if (!guard.effective())
            QSKIP("cannot make a read-only folder here");
        favoris window(m_browser, dir, m_boxes);
        window.Form_Load();
        checkFailureBox(m_boxes);
        QCOMPARE(window.Liste->count(), 0);
    }

    void enleverRemovesAndRefills_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("nothing selected") << -1 << QStringList{"A", "B", "C"};
        QTest::newRow("first") << 0 << QStringList{"B", "C"};
        QTest::newRow("middle") << 1 << QStringList{"A", "C"};
        QTest::newRow("last") << 2 << QStringList{"A", "B"};
    }
    void enleverRemovesAndRefills()
    {
        QFETCH(int, row);
        QFETCH(QStringList, left);
        const QByteArray bytes = entries({{"A", "a"}, {"B", "b"}, {"C", "c"}});
        const QString dir = folder(&bytes);
        favoris window(m_browser, dir, m_boxes);
        window.Form_Load();
        window.Liste->setCurrentRow(row);
        QTest::mouseClick(window.Command1, Qt::LeftButton);
        QCOMPARE(listed(window.Liste), left);
        QVERIFY(window.Liste->selectedItems().isEmpty());
        QCOMPARE(QFileInfo(file(dir)).size(), bytes.size());

        // A page added now goes right after the remaining entries.
        ajouteur(m_browser, dir, m_boxes);
        window.Liste->clear();
        window.Form_Load();
        QCOMPARE(window.Liste->count(), left.size() + 1);
        QCOMPARE(window.Liste->item(left.size())->text(), m_browser.name);
    }

    void enleverOnAReadOnlyDiskChangesNothing()
    {
        const QByteArray bytes = entries({{"A", "a"}, {"B", "b"}});
        const QString dir = folder(&bytes);
        test::ReadOnlyGuard guard(file(dir));
        if (!guard.effective())
            QSKIP("cannot make a read-only file here");
        favoris window(m_browser, dir, m_boxes);
        window.Form_Load();
        window.Liste->setCurrentRow(0);
        window.Command1_Click();
        QCOMPARE(readAll(file(dir)), bytes);
        QCOMPARE(listed(window.Liste), (QStringList{"A", "B"}));
        QVERIFY(m_boxes.calls.isEmpty());
    }

    void allerOpensTheEntryOfItsPosition_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("nothing selected") << -1 << false << QStringList();
        QTest::newRow("first of two same titles") << 0 << false << QStringList{"Stop", "Navigate file:///un.html"};
        QTest::newRow("second of two same titles") << 1 << false << QStringList{"Stop", "Navigate file:///deux.html"};
        QTest::newRow("double click") << 1 << true << QStringList{"Stop", "Navigate file:///deux.html"};
    }
    void allerOpensTheEntryOfItsPosition()
    {
        QFETCH(int, row);
        QFETCH(bool, doubleClick);
        QFETCH(QStringList, calls);
        const QByteArray bytes = entries({{"Page", "file:///un.html"}, {"Page", "file:///deux.html"}});
        favoris window(m_browser, folder(&bytes), m_boxes);
        window.Form_Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (doubleClick) {
            const QPoint at = window.Liste->visualItemRect(window.Liste->item(row)).center();
            QTest::mouseClick(window.Liste->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(window.Liste->viewport(), Qt::LeftButton, {}, at);
        } else {
            window.Liste->setCurrentRow(row);
            QTest::mouseClick(window.Command2, Qt::LeftButton);
        }
        QCOMPARE(m_browser.calls, calls);
        QCOMPARE(window.isVisible(), calls.isEmpty());
    }

    void doubleClickInAnEmptyListDoesNothing()
    {
        favoris window(m_browser, folder(), m_boxes);
        window.Form_Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseDClick(window.Liste->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(m_browser.calls.isEmpty());
        QVERIFY(window.isVisible());
    }

    void allerStillNavigatesAndClosesWhenTheAddressCannotBeRead()
    {
        const QByteArray bytes = entries({{"A", "a"}});
        const QString dir = folder(&bytes);
        favoris window(m_browser, dir, m_boxes);
        window.Form_Load();
        window.show();
        QVERIFY(QFile::remove(file(dir)));
        test::ReadOnlyGuard guard(dir);
        if (!guard.effective())
            QSKIP("cannot make a read-only folder here");
        window.Liste->setCurrentRow(0);
        window.Command2_Click();
        QCOMPARE(m_browser.calls, (QStringList{"Stop", "Navigate "}));
        QVERIFY(!window.isVisible());
    }

    void menuAddsAndOpensTheList()
    {
        QWidget mainWindow;
        const QString dir = folder();
        menuf menu(m_browser, dir, m_boxes, &mainWindow);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QVERIFY(menu.isHidden());
        QCOMPARE(menu.menufav->actions(), (QList<QAction *>{menu.ajoutsite, menu.voirliste}));
        QCOMPARE(menu.ajoutsite->text(), QStringLiteral("Ajouter ce site"));
        QCOMPARE(menu.voirliste->text(), QStringLiteral("Voir la liste"));

        menu.popup();
        QTRY_VERIFY(menu.menufav->isVisible());
        menu.menufav->hide();

        menu.ajoutsite->trigger();
        QCOMPARE(readAll(file(dir)),
                 entries({{"Dioxyde de carbone", "file:///cd/re2rira/air/pagesair/dioxyde.html"}}));

        QStringList shown;
        QTimer::singleShot(0, &mainWindow, [&shown] {
            auto *window = qobject_cast<favoris *>(QApplication::activeModalWidget());
            if (!window)
                return;
            shown = listed(window->Liste);
            window->Command3_Click();
        });
        menu.voirliste->trigger();
        QCOMPARE(shown, QStringList{"Dioxyde de carbone"});
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(TestFavouritesWindow)
#include "tst_favourites_window.moc"

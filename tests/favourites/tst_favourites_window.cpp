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

#include <optional>

using namespace ruzez;
using test::readAll;

namespace {

// Shows the page the test sets and logs Stop and Navigate.
class FavFakeBrowser final : public BrowserComponent
{
public:
    bool Navigate(const QString &address) override { return log("Navigate " + address); }
    bool Navigate2(const QString &) override { return false; }
    bool GoBack() override { return false; }
    bool GoForward() override { return false; }
    bool Refresh() override { return false; }
    bool Refresh2() override { return false; }
    bool Stop() override { return log("Stop"); }
    bool ExecWB(int, int) override { return false; }
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

QByteArray bytesOf(const QList<QPair<QByteArray, QByteArray>> &entries)
{
    QByteArray bytes;
    for (const auto &[title, address] : entries)
        bytes += test::record(title) + test::record(address);
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

    // A fresh program folder with the given favourites file (none if null).
    QString folder(const QByteArray &bytes = QByteArray())
    {
        const QString path = m_dir.filePath(QString::number(++m_count));
        QDir().mkpath(path);
        if (!bytes.isNull())
            test::writeAll(FavouritesFile::pathIn(path), bytes);
        return path;
    }
    static QByteArray fileIn(const QString &folder) { return readAll(FavouritesFile::pathIn(folder)); }
    // Makes the favourites file of folder read-only when asked; false when
    // that cannot be done here.
    static bool readOnlyWhen(bool readOnly, const QString &folder, std::optional<test::ReadOnlyGuard> &guard)
    {
        if (readOnly)
            guard.emplace(FavouritesFile::pathIn(folder));
        return !readOnly || guard->effective();
    }

    bool failureReported() const
    {
        return m_boxes.calls.size() == 1
            && m_boxes.calls[0].text == QStringLiteral("Impossible d'ajouter aux favoris: disque non valide pour l'\u00e9criture.")
            && m_boxes.calls[0].style == vb::OKOnly + vb::Critical
            && m_boxes.calls[0].title == QStringLiteral("Ecriture impossible sur disque");
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

    void ajouteur_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("added");
        const QByteArray one = bytesOf({{"A", "a"}});
        QTest::newRow("missing file created") << QByteArray() << "Dioxyde" << "file:///d.html" << false << true;
        QTest::newRow("added after the list") << one << "Dioxyde" << "file:///d.html" << false << true;
        QTest::newRow("no title: silence") << one << "" << "file:///d.html" << false << false;
        QTest::newRow("blank title: silence") << one << "   " << "file:///d.html" << false << false;
        QTest::newRow("address of 127") << one << "Dioxyde" << QString(127, QLatin1Char('u')) << false << false;
        QTest::newRow("read-only disk") << one << "Dioxyde" << "file:///d.html" << true << false;
    }
    void ajouteur()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, title);
        QFETCH(QString, url);
        QFETCH(bool, readOnly);
        QFETCH(bool, added);
        const QString dir = folder(before);
        std::optional<test::ReadOnlyGuard> guard;
        if (!readOnlyWhen(readOnly, dir, guard))
            QSKIP("cannot make a read-only file here");
        m_browser.name = title;
        m_browser.url = url;
        ruzez::ajouteur(m_browser, dir, m_boxes);
        QCOMPARE(fileIn(dir), added ? before + bytesOf({{title.toLatin1(), url.toLatin1()}}) : before);
        // Only a failure of the file speaks; a page without title is silence.
        const bool silent = added || FavouritesFile::isBlank(title);
        QCOMPARE(m_boxes.calls.isEmpty(), silent);
        QCOMPARE(failureReported(), !silent);
    }

    void windowLayout()
    {
        favoris window(m_browser, folder(), m_boxes);
        QCOMPARE(window.windowTitle(), QStringLiteral("Sites favoris"));
        QCOMPARE(window.size(), QSize(487, 373));
        QCOMPARE(window.Frame1->geometry(), QRect(8, 0, 465, 297));
        QCOMPARE(window.Liste->geometry(), QRect(16, 16, 433, 264));
        QCOMPARE(window.Liste->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(window.Command3->text() + window.Command1->text() + window.Command2->text(),
                 QStringLiteral("FermerEnleverAller \u00e0..."));
        QCOMPARE(window.Command3->geometry(), QRect(152, 312, 57, 49));
        QCOMPARE(window.Command1->geometry().left(), 224);
        QCOMPARE(window.Command2->geometry().left(), 296);
        QVERIFY(!window.Command2->icon().isNull());

        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), window.Liste);
        for (QWidget *next : QList<QWidget *>{window.Command2, window.Command1, window.Command3, window.Liste}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void formLoad()
    {
        favoris window(m_browser, folder(bytesOf({{" Air ", "a"}, {" Air ", "b"}, {"", ""}, {"Cach\xe9", "c"}})), m_boxes);
        window.Form_Load();
        QCOMPARE(listed(window.Liste), (QStringList{" Air ", " Air "}));
        QVERIFY(m_boxes.calls.isEmpty());

        const QString dir = folder();
        test::ReadOnlyGuard guard(dir);
        if (!guard.effective())
            QSKIP("cannot make a read-only folder here");
        favoris unopenable(m_browser, dir, m_boxes);
        unopenable.Form_Load();
        QVERIFY(failureReported());
        QCOMPARE(unopenable.Liste->count(), 0);
    }

    void enlever_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("nothing selected") << -1 << false << QStringList{"A", "B", "C"};
        QTest::newRow("middle") << 1 << false << QStringList{"A", "C"};
        QTest::newRow("read-only disk") << 1 << true << QStringList{"A", "B", "C"};
    }
    void enlever()
    {
        QFETCH(int, row);
        QFETCH(bool, readOnly);
        QFETCH(QStringList, left);
        const QByteArray before = bytesOf({{"A", "a"}, {"B", "b"}, {"C", "c"}});
        const QString dir = folder(before);
        favoris window(m_browser, dir, m_boxes);
        window.Form_Load();
        window.Liste->setCurrentRow(row);
        {
            std::optional<test::ReadOnlyGuard> guard;
            if (!readOnlyWhen(readOnly, dir, guard))
                QSKIP("cannot make a read-only file here");
            QTest::mouseClick(window.Command1, Qt::LeftButton);
        }
        QCOMPARE(listed(window.Liste), left);
        QVERIFY(window.Liste->selectedItems().isEmpty());
        QCOMPARE(fileIn(dir).size(), before.size());
        QVERIFY(m_boxes.calls.isEmpty());

        // A page added now goes right after the remaining entries.
        ruzez::ajouteur(m_browser, dir, m_boxes);
        window.Liste->clear();
        window.Form_Load();
        QCOMPARE(listed(window.Liste), left + QStringList{m_browser.name});
    }

    void allerA_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QString>("opened"); // null: nothing happens
        QTest::newRow("nothing selected") << -1 << false << QString();
        QTest::newRow("first of two same titles") << 0 << false << "file:///un.html";
        QTest::newRow("second of two same titles") << 1 << false << "file:///deux.html";
        QTest::newRow("double click on a title") << 1 << true << "file:///deux.html";
        QTest::newRow("double click, nothing selected") << -1 << true << QString();
    }
    void allerA()
    {
        QFETCH(int, row);
        QFETCH(bool, doubleClick);
        QFETCH(QString, opened);
        favoris window(m_browser, folder(bytesOf({{"Page", "file:///un.html"}, {"Page", "file:///deux.html"}})), m_boxes);
        window.Form_Load();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        if (!doubleClick) {
            window.Liste->setCurrentRow(row);
            QTest::mouseClick(window.Command2, Qt::LeftButton);
        } else {
            const QPoint at = row < 0 ? QPoint(20, 200) : window.Liste->visualItemRect(window.Liste->item(row)).center();
            if (row < 0)
                window.Liste->setCurrentRow(-1);
            if (row >= 0)
                QTest::mouseClick(window.Liste->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(window.Liste->viewport(), Qt::LeftButton, {}, at);
        }
        const QStringList calls = opened.isNull() ? QStringList() : QStringList{"Stop", "Navigate " + opened};
        QCOMPARE(m_browser.calls, calls);
        QCOMPARE(window.isVisible(), opened.isNull());
    }

    void allerAWithAnUnreadableFileStillStopsNavigatesAndCloses()
    {
        const QString dir = folder(bytesOf({{"A", "a"}}));
        favoris window(m_browser, dir, m_boxes);
        window.Form_Load();
        window.show();
        QVERIFY(QFile::remove(FavouritesFile::pathIn(dir)));
        test::ReadOnlyGuard guard(dir);
        if (!guard.effective())
            QSKIP("cannot make a read-only folder here");
        window.Liste->setCurrentRow(0);
        window.Command2_Click();
        QCOMPARE(m_browser.calls, (QStringList{"Stop", "Navigate "}));
        QVERIFY(!window.isVisible());
    }

    void popupMenu()
    {
        QWidget mainWindow;
        const QString dir = folder();
        menuf menu(m_browser, dir, m_boxes, &mainWindow);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QVERIFY(menu.isHidden());
        QCOMPARE(menu.menufav->actions(), (QList<QAction *>{menu.ajoutsite, menu.voirliste}));
        QCOMPARE(menu.ajoutsite->text() + '|' + menu.voirliste->text(), QStringLiteral("Ajouter ce site|Voir la liste"));
        menu.popup();
        QTRY_VERIFY(menu.menufav->isVisible());
        menu.menufav->hide();

        menu.ajoutsite->trigger();
        QStringList shown;
        QTimer::singleShot(0, &mainWindow, [&shown] {
            if (auto *window = qobject_cast<favoris *>(QApplication::activeModalWidget())) {
                shown = listed(window->Liste);
                window->Command3_Click();
            }
        });
        menu.voirliste->trigger();
        QCOMPARE(shown, QStringList{"Dioxyde de carbone"});
    }

    // Opened, the window has its first entry selected: "Aller à..." and
    // Enter in the list go there at once.
    void keyboardGoesToTheFirstEntry_data()
    {
        QTest::addColumn<bool>("enterInList");
        QTest::addColumn<int>("key");
        QTest::newRow("Aller à... pressed by Enter") << false << int(Qt::Key_Return);
        QTest::newRow("Enter in the list") << true << int(Qt::Key_Return);
        QTest::newRow("keypad Enter in the list") << true << int(Qt::Key_Enter);
    }
    void keyboardGoesToTheFirstEntry()
    {
        QFETCH(bool, enterInList);
        QFETCH(int, key);
        favoris window(m_browser, folder(bytesOf({{"Un", "file:///un.html"}, {"Deux", "file:///deux.html"}})), m_boxes);
        window.Form_Load();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(window.Liste->selectedItems().size(), 1);
        QCOMPARE(window.Liste->currentRow(), 0);
        QWidget *target = enterInList ? static_cast<QWidget *>(window.Liste) : window.Command2;
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QTRY_COMPARE(m_browser.calls, (QStringList{"Stop", "Navigate file:///un.html"}));
        QTRY_VERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestFavouritesWindow)
#include "tst_favourites_window.moc"

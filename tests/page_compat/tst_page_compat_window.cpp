// Course pages in the real browser of the program, offscreen, with the page
// policy and the compatibility script in place: drive-letter links, the
// windows pages open, window.print(), vbscript: links and the question
// before leaving a page.

#include "browser/javascript_dialogs.h"
#include "browser/outside_content.h"
#include "browser/popup_limit.h"
#include "browser/separate_browser_window.h"
#include "browser/web_engine_browser.h"
#include "fake_message_boxes.h"
#include "page_compat/modal_dialogs.h"
#include "page_compat/page_compat.h"
#include "page_compat/popup_compat.h"
#include "page_policy/page_policy.h"
#include "page_script.h"
#include "recording_desktop.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace ruzez;

namespace {

constexpr int kTimeout = test::kEngineTimeout;

QString js(QWebEnginePage *page, const QString &script)
{
    return test::runJavaScript(page, script).toString();
}

bool load(WebEngineBrowser &browser, const QString &address)
{
    QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
    return browser.Navigate(address) && complete.wait(kTimeout)
        && QTest::qWaitFor([&] { return !browser.Busy(); }, kTimeout);
}

// A click of the pupil, repeated until the page reacts: the first ones may
// come before the page takes input.
bool clickUntil(QWebEngineView *view, const QString &id, const std::function<bool()> &reacted)
{
    for (int attempt = 0; attempt < 20 && !reacted(); ++attempt) {
        const QVariantList box = test::runJavaScript(view->page(),
            QStringLiteral("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                           "return [r.left + 3, r.top + 3];})()").arg(id)).toList();
        if (box.size() != 2 || !view->focusProxy())
            return false;
        QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
        (void)QTest::qWaitFor(reacted, 1000);
    }
    return reacted();
}

// The text of the page's question box once it shows; the box is answered
// Annuler, so the page stays.
QString answerLeavingQuestion(const std::function<void()> &leave)
{
    QString shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<JavaScriptDialog *>(widget);
            if (!dialog || !dialog->isVisible())
                continue;
            for (const QLabel *label : dialog->findChildren<QLabel *>())
                shown += label->text();
            dialog->reject();
        }
    });
    watch.start(50);
    leave();
    (void)QTest::qWaitFor([&] { return !shown.isEmpty(); }, kTimeout);
    return shown;
}

} // namespace

class TestPageCompatWindow : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_course;
    std::unique_ptr<PagePolicy> m_policy;
    std::unique_ptr<PageCompat> m_compat;
    std::unique_ptr<ModalDialogs> m_dialogs;

    QString course(const QString &name) const { return m_course + QLatin1Char('/') + name; }
    static QWebEngineView *viewOf(WebEngineBrowser &browser) { return browser.findChild<QWebEngineView *>(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_course = m_dir.filePath(QStringLiteral("disc/re2rira"));
        QVERIFY(QDir().mkpath(m_course));
        const QDir pages(qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/tests/page_compat/pages"));
        for (const QString &name : pages.entryList(QDir::Files))
            QVERIFY(QFile::copy(pages.filePath(name), course(name)));
        QWebEngineProfile *profile = QWebEngineProfile::defaultProfile();
        m_policy = std::make_unique<PagePolicy>(profile, [this] { return QStringList{m_course}; });
        m_compat = std::make_unique<PageCompat>(profile);
        m_dialogs = std::make_unique<ModalDialogs>(profile);
    }

    void cleanupTestCase()
    {
        m_dialogs.reset();
        m_compat.reset();
        m_policy.reset();
    }

    void driveLetterLinks_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("D:\\ with backslashes") << QStringLiteral("document.getElementById('contre-obliques').click()")
                                               << QStringLiteral("Cible");
        QTest::newRow("file:///E:/ upper case") << QStringLiteral("document.getElementById('adresse-fichier').click()")
                                                << QStringLiteral("Cible");
        QTest::newRow("file://d:\\") << QStringLiteral("document.getElementById('fichier-contre-obliques').click()")
                                     << QStringLiteral("Cible");
        QTest::newRow("other drive folder refused")
            << QStringLiteral("document.getElementById('autre-dossier').click()") << QStringLiteral("Page introuvable");
    }

    void driveLetterLinks()
    {
        QFETCH(QString, script);
        QFETCH(QString, expectedTitle);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        test::FakeMessageBoxes &boxes = desktop.boxes;
        QVERIFY(load(browser, course(QStringLiteral("liens_lecteur.htm"))));
        QCOMPARE(js(browser.page(), QStringLiteral("document.getElementById('cadre').contentDocument.title")),
                 QStringLiteral("Cible"));
        js(browser.page(), script);
        QTest::qWait(300);
        QTRY_VERIFY_WITH_TIMEOUT(!browser.Busy(), kTimeout);
        QCOMPARE(browser.LocationName(), expectedTitle);
        if (expectedTitle == QLatin1String("Cible"))
            QCOMPARE(browser.LocationURL(), QUrl::fromLocalFile(course(QStringLiteral("cible.htm"))).toString());
    }

    void driveLetterAddressesTyped_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("opens");
        QTest::newRow("E:\\re2rira\\") << QStringLiteral("E:\\re2rira\\cible.htm") << true;
        QTest::newRow("file:///d:/RE2RIRA/") << QStringLiteral("file:///d:/RE2RIRA/cible.htm") << true;
        QTest::newRow("C:\\Windows\\") << QStringLiteral("C:\\Windows\\cible.htm") << false;
    }

    void driveLetterAddressesTyped()
    {
        QFETCH(QString, address);
        QFETCH(bool, opens);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, address));
        QCOMPARE(browser.LocationName() == QLatin1String("Cible"), opens);
    }

    void popupTakesTheSizeItAsks()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        browser.resize(800, 600);
        browser.show();
        QVERIFY(load(browser, course(QStringLiteral("fenetres.htm"))));
        const PopupLimit *limit = browser.findChild<PopupLimit *>();
        QVERIFY(clickUntil(viewOf(browser), QStringLiteral("ouvrir"), [&] { return !limit->windows().isEmpty(); }));
        SeparateBrowserWindow *popup = limit->windows().constFirst();
        QTRY_COMPARE_WITH_TIMEOUT(popup->geometry(), QRect(40, 50, 300, 200), kTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(popup->page()->title(), QStringLiteral("Cible"), kTimeout);

        js(popup->page(), QStringLiteral("window.resizeTo(400, 250); window.moveTo(60, 70)"));
        QTRY_COMPARE_WITH_TIMEOUT(popup->frameGeometry(), QRect(60, 70, 400, 250), kTimeout);
        js(popup->page(), QStringLiteral("window.resizeBy(-100, 10)"));
        QTRY_COMPARE_WITH_TIMEOUT(popup->frameGeometry().size(), QSize(300, 260), kTimeout);

        // The main window's page cannot move or size its window.
        const QRect before = browser.geometry();
        js(browser.page(), QStringLiteral("window.resizeTo(200, 100); window.moveTo(300, 300)"));
        QTest::qWait(300);
        QCOMPARE(browser.geometry(), before);
    }

    void windowPrintOpensThePrintDialog()
    {
        int asked = 0;
        test::RecordingDesktop desktop;
        WebEngineBrowser browser(desktop.handOff(), [&asked](QPrinter &) { ++asked; return false; });
        QVERIFY(load(browser, course(QStringLiteral("cible.htm"))));
        js(browser.page(), QStringLiteral("window.print()"));
        QTRY_COMPARE_WITH_TIMEOUT(asked, 1, kTimeout);

        QWebEngineView popup;
        int popupAsked = 0;
        new PopupCompat(&popup, [&popupAsked](QPrinter &) { ++popupAsked; return false; });
        QSignalSpy loaded(popup.page(), &QWebEnginePage::loadFinished);
        popup.load(QUrl::fromLocalFile(course(QStringLiteral("cible.htm"))));
        QVERIFY(loaded.wait(kTimeout));
        js(popup.page(), QStringLiteral("window.print()"));
        QTRY_COMPARE_WITH_TIMEOUT(popupAsked, 1, kTimeout);
    }

    void vbscriptLinksDoNothing()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        test::FakeMessageBoxes &boxes = desktop.boxes;
        QVERIFY(load(browser, course(QStringLiteral("fenetres.htm"))));
        js(browser.page(), QStringLiteral("document.getElementById('vbs').click()"));
        QVERIFY(browser.Navigate(QStringLiteral("vbscript:MsgBox(1)")));
        QTest::qWait(500);
        QCOMPARE(boxes.calls.size(), 0);
        QCOMPARE(browser.LocationURL(), QUrl::fromLocalFile(course(QStringLiteral("fenetres.htm"))).toString());
    }

    void addFavoriteOnAClickOnly()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        browser.resize(800, 600);
        browser.show();
        QVERIFY(load(browser, course(QStringLiteral("favoris.htm"))));
        QSignalSpy asked(&browser, &WebEngineBrowser::favouriteRequested);
        js(browser.page(), QStringLiteral("window.external.AddFavorite('cible.htm', 'Sans clic')"));
        QVERIFY(clickUntil(viewOf(browser), QStringLiteral("ajouter"), [&] {
            return js(browser.page(), QStringLiteral("document.getElementById('ajouter').value")) == QLatin1String("OK");
        }));
        QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 1, kTimeout);
        QCOMPARE(asked.first().at(0).toUrl(), QUrl::fromLocalFile(course(QStringLiteral("cible.htm"))));
        QCOMPARE(asked.first().at(1).toString(), QStringLiteral("La page visee"));
    }

    void showModalDialogWaitsForItsAnswer()
    {
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        QVERIFY(load(browser, course(QStringLiteral("modal.htm"))));
        QString question;
        QSize size;
        QPointer<ModalDialogWindow> dialog;
        connect(m_dialogs.get(), &ModalDialogs::dialogShown, this, [&](ModalDialogWindow *window) { dialog = window; });
        QString answer;
        browser.page()->runJavaScript(QStringLiteral("demander()"), [&](const QVariant &value) { answer = value.toString(); });
        QTRY_VERIFY_WITH_TIMEOUT(dialog, kTimeout);
        size = dialog->size();
        // Read the page as the pupil would, and answer.
        QWebEnginePage *page = dialog->view()->page();
        QTRY_COMPARE_WITH_TIMEOUT(js(page, QStringLiteral("document.getElementById('oui') ? 'prêt' : ''")),
                                  QStringLiteral("prêt"), kTimeout);
        question = js(page, QStringLiteral("document.getElementById('question').innerText"));
        js(page, QStringLiteral("document.getElementById('oui').click()"));
        QTRY_COMPARE_WITH_TIMEOUT(answer, QStringLiteral("oui"), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog, kTimeout);
        QCOMPARE(question, QStringLiteral("Le CO2 est-il un polluant ?"));
        QCOMPARE(size, QSize(320, 180));
        m_dialogs->disconnect(this);
    }

    void leavingAsksThePagesQuestion_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("text");
        QTest::newRow("window.onbeforeunload returns") << QStringLiteral("quitter.htm")
                                                       << QStringLiteral("Vos réponses seront perdues.");
        QTest::newRow("body attribute, event.returnValue") << QStringLiteral("quitter_body.htm")
                                                           << QStringLiteral("Le test n'est pas fini.");
    }

    void leavingAsksThePagesQuestion()
    {
        QFETCH(QString, page);
        QFETCH(QString, text);
        test::RecordingDesktop desktop;
        WebEngineBrowser browser{desktop.handOff()};
        browser.resize(800, 600);
        browser.show();
        QVERIFY(load(browser, course(page)));
        // The engine asks only once the pupil has used the page.
        QVERIFY(clickUntil(viewOf(browser), QStringLiteral("ici"), [&] {
            return js(browser.page(), QStringLiteral("document.getElementById('ici').value")) == QLatin1String("OK");
        }));
        const QString shown = answerLeavingQuestion([&] { browser.Navigate(course(QStringLiteral("cible.htm"))); });
        QVERIFY2(shown.contains(text), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("Voulez-vous vraiment quitter cette page ?")));
        QTRY_VERIFY_WITH_TIMEOUT(!browser.Busy(), kTimeout);
        QCOMPARE(browser.LocationName(), QStringLiteral("Exercice"));
    }
};

int main(int argc, char *argv[])
{
    registerModalDialogScheme(); // as main.cpp: before the engine starts
    QApplication app(argc, argv);
    TestPageCompatWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_page_compat_window.moc"

// What the pupil meets inside the page, with the real engine offscreen and
// the system's locale left as it is (C.UTF-8 on CI): the engine's language,
// the right-click menu, JavaScript dialogs, and what the engine cannot show.

#include "browser/engine_language.h"
#include "browser/javascript_dialogs.h"
#include "browser/outside_content.h"
#include "browser/web_engine_browser.h"
#include "fake_message_boxes.h"
#include "page_script.h"
#include "recording_desktop.h"
#include "test_files.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

using namespace ruzez;

namespace {

constexpr int kTimeout = test::kEngineTimeout;

const QByteArray kPage = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>Essai</title>
<style>body{margin:0} .at{position:absolute;left:10px;width:200px;height:30px}</style></head><body>
<p class="at" id="text" style="top:10px;margin:0">Du texte simple</p>
<a class="at" id="link" href="autre.html" style="top:60px">Un lien</a>
<input class="at" id="field" style="top:110px">
<img class="at" id="image" src="image.png" style="top:160px">
<a class="at" id="mail" href="mailto:prof@example.org" style="top:210px">Écrire</a>
<a class="at" id="doc" href="fiche.doc" style="top:260px">La fiche</a>
<script>
function run(kind) {
  var answers = [];
  for (var i = 0; i < 6; i++) {
    if (kind == 'alert') answers.push(String(alert('message ' + i)));
    if (kind == 'confirm') answers.push(String(confirm('question ' + i)));
    if (kind == 'prompt') answers.push(String(prompt('saisie ' + i, 'd')));
  }
  document.title = answers.join(',');
}
</script></body></html>)";

// A page of our own in a folder of its own, shown in a real component.
struct Shown
{
    Shown()
    {
        test::makeFile(folder.filePath(QStringLiteral("page.html")), kPage);
        test::makeFile(folder.filePath(QStringLiteral("autre.html")), "<title>Autre</title>");
        test::makeFile(folder.filePath(QStringLiteral("fiche.doc")), QByteArray("\xD0\xCF\x11\xE0", 4));
        QImage image(20, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.save(folder.filePath(QStringLiteral("image.png")));
        browser.resize(600, 400);
        browser.show();
        ready = QTest::qWaitForWindowExposed(&browser) && load(QStringLiteral("page.html"));
    }

    bool load(const QString &page)
    {
        const QString url = QUrl::fromLocalFile(folder.filePath(page)).toString();
        browser.Navigate(url);
        return QTest::qWaitFor([&] { return !browser.Busy() && browser.LocationURL() == url; },
                               kTimeout);
    }

    QWidget *input() const { return QWebEngineView::forPage(browser.page())->focusProxy(); }

    // The centre of an element of the page, in the view's pixels.
    QPoint centreOf(const QString &id) const
    {
        const QVariantList box =
            test::runJavaScript(browser.page(),
                                QStringLiteral("(function(){var r=document.getElementById('%1')"
                                               ".getBoundingClientRect();return [r.left+r.width/2,"
                                               "r.top+r.height/2];})()")
                                    .arg(id))
                .toList();
        return box.size() == 2 ? QPoint(box[0].toInt(), box[1].toInt()) : QPoint();
    }

    QTemporaryDir folder;
    test::RecordingDesktop desktop;
    WebEngineBrowser browser{desktop.handOff()};
    bool ready = false;
};

QStringList entriesOf(const QMenu &menu)
{
    QStringList entries;
    for (const QAction *action : menu.actions()) {
        if (!action->isSeparator())
            entries << action->text();
    }
    return entries;
}

// Answers every JavaScript dialog as it opens (from a timer: a dialog runs
// its own event loop), noting what it showed; ticks the offer to stop the
// page's dialogs when asked to.
class DialogAnswerer : public QObject
{
public:
    explicit DialogAnswerer(bool stopWhenOffered)
        : m_stopWhenOffered(stopWhenOffered)
    {
        connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::answer);
        m_timer.start(20);
    }

    QStringList titles;
    QList<bool> offers;

private:
    void answer()
    {
        auto *dialog = qobject_cast<JavaScriptDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        titles << dialog->windowTitle();
        auto *stop = dialog->findChild<QCheckBox *>();
        offers << (stop && stop->isVisible());
        if (stop && m_stopWhenOffered)
            stop->setChecked(true);
        dialog->accept();
    }

    bool m_stopWhenOffered;
    QTimer m_timer;
};

} // namespace

class TestEngineFrench : public QObject
{
    Q_OBJECT

private slots:
    void engineSpeaksFrench()
    {
        Shown shown;
        QVERIFY(shown.ready);
        const QString language = QStringLiteral("navigator.language + '|' + navigator.languages");
        QCOMPARE(test::runJavaScript(shown.browser.page(), language).toString(), QStringLiteral("fr|fr"));
    }

    // Each menu exactly: French, short, and nothing that shows the source,
    // saves the page or opens another window.
    void rightClickMenuIsFrenchAndShort_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("the page") << "" << false
                                  << QStringList{"Précédent", "Suivant", "Actualiser",
                                                 "Tout sélectionner", "Imprimer..."};
        QTest::newRow("selected text") << "text" << true << QStringList{"Copier"};
        QTest::newRow("a link") << "link" << false
                                << QStringList{"Ouvrir le lien", "Copier l'adresse du lien"};
        QTest::newRow("a text field")
            << "field" << false
            << QStringList{"Annuler", "Couper", "Copier", "Coller", "Tout sélectionner"};
        QTest::newRow("an image") << "image" << false << QStringList{"Copier l'image"};
    }
    void rightClickMenuIsFrenchAndShort()
    {
        QFETCH(QString, element);
        QFETCH(bool, selected);
        QFETCH(QStringList, entries);
        Shown shown;
        QVERIFY(shown.ready);
        if (selected)
            test::runJavaScript(shown.browser.page(),
                                QStringLiteral("getSelection().selectAllChildren("
                                               "document.getElementById('%1'))").arg(element));
        const QPoint at = element.isEmpty() ? QPoint(500, 350) : shown.centreOf(element);
        QTest::mouseClick(shown.input(), Qt::RightButton, {}, at);
        QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), kTimeout);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QCOMPARE(entriesOf(*menu), entries);
        menu->close();
    }

    // A loop of dialogs: French titles, the offer to stop from the third,
    // and once stopped, the page runs on without one more dialog, getting
    // Annuler's answers.
    void repeatedDialogsCanBeStopped_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("answers");
        QTest::newRow("alert") << "alert" << "undefined,undefined,undefined,undefined,undefined,undefined";
        QTest::newRow("confirm") << "confirm" << "true,true,true,false,false,false";
        QTest::newRow("prompt") << "prompt" << "d,d,d,null,null,null";
    }
    void repeatedDialogsCanBeStopped()
    {
        QFETCH(QString, kind);
        QFETCH(QString, answers);
        Shown shown;
        QVERIFY(shown.ready);
        {
            DialogAnswerer answerer(true);
            shown.browser.page()->runJavaScript(QStringLiteral("run('%1')").arg(kind));
            QTRY_COMPARE_WITH_TIMEOUT(shown.browser.LocationName(), answers, kTimeout);
            QCOMPARE(answerer.titles, QStringList(3, kJavaScriptDialogTitle));
            QCOMPARE(answerer.offers, (QList<bool>{false, false, true}));
        }
        // A new page load shows the page's dialogs again.
        QVERIFY(shown.load(QStringLiteral("page.html")));
        DialogAnswerer answerer(false);
        shown.browser.page()->runJavaScript(QStringLiteral("run('%1')").arg(kind));
        QTRY_COMPARE_WITH_TIMEOUT(answerer.titles.size(), 6, kTimeout);
        QCOMPARE(answerer.offers, (QList<bool>{false, false, true, true, true, true}));
    }

    // A link the engine cannot show goes to the desktop; when the desktop
    // cannot open it either, the pupil is told so in French.
    void whatTheEngineCannotShow_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("desktopOpens");
        QTest::addColumn<QString>("handedOn");
        QTest::addColumn<QString>("message");
        QTest::newRow("mail, opened") << "mail" << true << "mailto:prof@example.org" << "";
        QTest::newRow("mail, nothing to open it")
            << "mail" << false << "mailto:prof@example.org" << kCannotOpenLink;
        QTest::newRow("a .doc file, opened") << "doc" << true << "fiche.doc" << "";
        QTest::newRow("a .doc file, nothing to open it")
            << "doc" << false << "fiche.doc" << kCannotOpenFile;
    }
    void whatTheEngineCannotShow()
    {
        QFETCH(QString, link);
        QFETCH(bool, desktopOpens);
        QFETCH(QString, handedOn);
        QFETCH(QString, message);
        Shown shown;
        QVERIFY(shown.ready);
        shown.desktop.opens = desktopOpens;
        const QList<QUrl> &opened = shown.desktop.opened;
        const test::FakeMessageBoxes &boxes = shown.desktop.boxes;
        const QString page = shown.browser.LocationURL();

        QTest::mouseClick(shown.input(), Qt::LeftButton, {}, shown.centreOf(link));
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, kTimeout);
        QVERIFY2(opened.first().toString().endsWith(handedOn), qPrintable(opened.first().toString()));
        if (message.isEmpty()) {
            QVERIFY(boxes.calls.isEmpty());
        } else {
            QCOMPARE(boxes.calls.size(), 1);
            QCOMPARE(boxes.calls.first().text, message);
        }
        QCOMPARE(shown.browser.LocationURL(), page);
    }

    // What a page starts by itself opens nothing and says nothing; the
    // pupil's click afterwards still opens the file, once.
    void whatAPageStartsByItselfGoesNowhere_data()
    {
        QTest::addColumn<QString>("script");
        const auto add = [](const char *html) {
            return QStringLiteral("document.body.insertAdjacentHTML('beforeend', '%1')").arg(QLatin1String(html));
        };
        QTest::newRow("script moves to a file") << "location.href = 'fiche.doc'";
        QTest::newRow("script moves to mail") << "location.href = 'mailto:prof@example.org'";
        QTest::newRow("script clicks a link") << "document.getElementById('doc').click()";
        QTest::newRow("embed") << add("<embed src=\"fiche.doc\" width=50 height=50>");
        QTest::newRow("hidden embed") << add("<embed src=\"fiche.doc\" hidden=\"true\">");
        QTest::newRow("object") << add("<object data=\"fiche.doc\" width=50 height=50></object>");
        QTest::newRow("frame") << add("<iframe src=\"fiche.doc\"></iframe>");
        QTest::newRow("refresh") << "location.href = 'refresh.html'";
    }
    void whatAPageStartsByItselfGoesNowhere()
    {
        QFETCH(QString, script);
        Shown shown;
        QVERIFY(shown.ready);
        test::makeFile(shown.folder.filePath(QStringLiteral("refresh.html")),
                       "<meta http-equiv=\"refresh\" content=\"0; url=fiche.doc\"><title>Refresh</title>");
        const QList<QUrl> &opened = shown.desktop.opened;
        const test::FakeMessageBoxes &boxes = shown.desktop.boxes;

        test::runJavaScript(shown.browser.page(), script);
        QTest::qWait(2000);
        QVERIFY2(opened.isEmpty(), qPrintable(opened.value(0).toString()));
        QVERIFY(boxes.calls.isEmpty());
        QVERIFY(shown.load(QStringLiteral("page.html")));
        QTest::mouseClick(shown.input(), Qt::LeftButton, {}, shown.centreOf(QStringLiteral("doc")));
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, kTimeout);
        QVERIFY(opened.first().toString().endsWith(QLatin1String("fiche.doc")));
        QCOMPARE(boxes.calls.size(), 1);
    }
};

int main(int argc, char *argv[])
{
    chooseFrenchForTheEngine();
    QApplication app(argc, argv);
    TestEngineFrench test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_engine_french.moc"

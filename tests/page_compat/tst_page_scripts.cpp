// The injected script on our own 2000-era pages (pages/), in the real
// engine offscreen: the old engine's objects and calls, the symbol faces,
// cookies between course pages, and pages of the web left alone.

#include "local_http_server.h"
#include "page_compat/page_compat.h"
#include "page_script.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>

using namespace ruzez;

namespace {

QUrl pageUrl(const QString &name)
{
    return QUrl::fromLocalFile(qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/tests/page_compat/pages/")
                               + name);
}

bool load(QWebEnginePage &page, const QUrl &url)
{
    QSignalSpy finished(&page, &QWebEnginePage::loadFinished);
    page.load(url);
    return finished.wait(test::kEngineTimeout) && finished.first().first().toBool();
}

QString js(QWebEnginePage &page, const QString &script)
{
    return test::runJavaScript(&page, script).toString();
}

} // namespace

class TestPageScripts : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PageCompat> m_compat;
    std::unique_ptr<QWebEnginePage> m_page;
    QString m_loaded;

    // Loads the page once for all the rows that read it.
    void show(const QString &name)
    {
        if (m_loaded == name)
            return;
        QVERIFY(load(*m_page, pageUrl(name)));
        m_loaded = name;
    }

private slots:
    void initTestCase()
    {
        m_compat = std::make_unique<PageCompat>(QWebEngineProfile::defaultProfile());
        m_page = std::make_unique<QWebEnginePage>();
    }

    void cleanupTestCase()
    {
        m_page.reset();
        m_compat.reset();
    }

    void oldEngineCalls_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *page, const char *script, const char *expected) {
            QTest::newRow(name) << QString::fromLatin1(page) << QString::fromUtf8(script) << QString::fromUtf8(expected);
        };
        row("quiz shows its solution", "quiz.htm",
            "voirSolution(); document.getElementById('solution').style.display + '/' + document.getElementById('bouton').value",
            "block/Solution affichée");
        row("document.layers still absent", "quiz.htm", "String(document.layers)", "undefined");
        row("document.all is true", "appels_ie.htm", "document.all ? 'oui' : 'non'", "oui");
        row("document.all by id", "appels_ie.htm", "document.all.titre.tagName", "H1");
        row("document.all called", "appels_ie.htm", "document.all('second').id", "second");
        row("document.all.item by id", "appels_ie.htm", "document.all.item('titre').id", "titre");
        row("document.all by name, a group", "appels_ie.htm", "document.all.reponse.length + document.all.reponse[1].value", "2b");
        row("document.all.item with index", "appels_ie.htm", "document.all.item('reponse', 1).value", "b");
        row("document.all by position", "appels_ie.htm", "document.all[0].tagName", "HTML");
        row("document.all.tags", "appels_ie.htm", "String(document.all.tags('P').length)", "2");
        row("document.all unknown name", "appels_ie.htm", "String(document.all.absent) + String(document.all.item('absent'))", "undefinednull");
        row("element.all", "appels_ie.htm", "document.all.second.all.length + document.all.second.all.tags('B')[0].tagName", "1B");
        row("attachEvent and fireEvent", "appels_ie.htm",
            "journal = ''; var f = function (e) { note((this === window) + ':' + e.type + ';'); };"
            "document.all.titre.attachEvent('onclick', f); document.all.titre.fireEvent('onclick'); journal",
            "true:click;");
        row("detachEvent", "appels_ie.htm",
            "journal = ''; var g = function () { note('g'); }; var t = document.all.titre;"
            "t.attachEvent('onmouseover', g); t.detachEvent('onmouseover', g); t.fireEvent('onmouseover'); journal + '.'",
            ".");
        row("attachEvent handler returning false cancels", "appels_ie.htm",
            "var b = document.all.second; b.attachEvent('onclick', function () { return false; });"
            "String(b.fireEvent('onclick'))", "false");
        row("script for event", "appels_ie.htm", "journal = ''; document.all.bouton.click(); journal", "for-event;");
        row("currentStyle", "appels_ie.htm", "document.all.titre.currentStyle.color", "rgb(255, 0, 0)");
        row("document.frames by name", "appels_ie.htm", "document.frames('cadre').name + document.frames.length", "cadre1");
        row("clipboardData text", "appels_ie.htm",
            "window.clipboardData.setData('Text', 'CO2'); window.clipboardData.getData('Text')", "CO2");
        row("XML document from text", "appels_ie.htm",
            "var x = new ActiveXObject('Microsoft.XMLDOM'); x.async = false;"
            "x.loadXML('<q>\\n <r>CO2</r>\\n</q>'); x.documentElement.childNodes[0].text + x.parseError.errorCode",
            "CO20");
        row("XML document from a file", "appels_ie.htm",
            "var x = new ActiveXObject('MSXML2.DOMDocument'); x.async = false; x.load('questions.xml');"
            "x.selectNodes('//question').length + x.selectSingleNode('//question[@numero=2]/reponse').text",
            "2O3");
        row("XML document, broken text", "appels_ie.htm",
            "var x = new ActiveXObject('Microsoft.XMLDOM'); String(x.loadXML('<a><b></a>')) + (x.parseError.errorCode != 0)",
            "falsetrue");
        row("XMLHTTP", "appels_ie.htm",
            "var h = new ActiveXObject('Microsoft.XMLHTTP'); h.open('GET', 'vide.htm', false); h.send(null);"
            "String(h.responseText.indexOf('cadre') > 0)", "true");
        row("other controls missing", "appels_ie.htm",
            "try { new ActiveXObject('Scripting.FileSystemObject'); 'créé' } catch (e) { e.message.split(':')[0] }",
            "Un composant ActiveX ne peut pas créer un objet");
        row("createPopup", "appels_ie.htm",
            "var p = window.createPopup(); p.document.body.innerHTML = 'Indice'; p.show(10, 10, 80, 30, document.body);"
            "p.isOpen + p.document.body.innerText", "trueIndice");
        row("filter alpha", "appels_ie.htm", "getComputedStyle(document.all.transparent).opacity", "0.5");
        row("filter FlipH", "appels_ie.htm", "getComputedStyle(document.all.miroir).transform", "matrix(-1, 0, 0, 1, 0, 0)");
        row("filter gradient", "appels_ie.htm", "getComputedStyle(document.all.degrade).backgroundImage",
            "linear-gradient(rgb(255, 0, 0), rgb(0, 0, 255))");
        row("filter glow", "appels_ie.htm", "getComputedStyle(document.all.lueur).textShadow", "rgb(255, 255, 0) 0px 0px 4px");
        row("style.filter set by a script", "appels_ie.htm",
            "document.all.fondu.style.filter = 'alpha(opacity=30)'; getComputedStyle(document.all.fondu).opacity", "0.3");
        row("filters.alpha.opacity", "appels_ie.htm",
            "document.all.fondu.filters.alpha.opacity = 20; document.all.fondu.style.opacity + '/' + document.all.fondu.filters.alpha.opacity",
            "0.2/20");
    }

    void oldEngineCalls()
    {
        QFETCH(QString, page);
        QFETCH(QString, script);
        QFETCH(QString, expected);
        show(page);
        QCOMPARE(js(*m_page, script), expected);
    }

    void navigateGoesToTheAddress()
    {
        show(QStringLiteral("quiz.htm"));
        QSignalSpy finished(m_page.get(), &QWebEnginePage::loadFinished);
        js(*m_page, QStringLiteral("window.navigate('vide.htm')"));
        QVERIFY(finished.wait(test::kEngineTimeout));
        QCOMPARE(m_page->url(), pageUrl(QStringLiteral("vide.htm")));
        m_loaded.clear();
    }

    // Each character against the fonts' published mappings.
    void symbolFaces_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        const auto characters = [](const char *id, const QString &expected) {
            for (qsizetype i = 0; i < expected.size(); ++i)
                QTest::addRow("%s %lld %s", id, qlonglong(i), qPrintable(expected.mid(i, 1)))
                    << QString::fromLatin1(id) << int(i) << expected.mid(i, 1);
        };
        characters("majuscules", QStringLiteral("ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩ"));
        characters("minuscules", QStringLiteral("αβγδεζηθικλμνξοπρστυφχψω"));
        characters("signes", QStringLiteral("≤≥≠≈∞±×÷∂√∑∫∈∅↔←↑→↓⇒⇔"));
    }

    void symbolFaces()
    {
        QFETCH(QString, id);
        QFETCH(int, position);
        QFETCH(QString, expected);
        show(QStringLiteral("symboles.htm"));
        QCOMPARE(js(*m_page, QStringLiteral("document.getElementById('%1').textContent").arg(id)).mid(position, 1), expected);
    }

    void symbolText_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *action, const char *read, const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(action) << QString::fromUtf8(read) << QString::fromUtf8(expected);
        };
        row("formula, font face", "", "document.getElementById('formule').innerText", "CO2 + H2O → H2CO3 ; ΔH < 0");
        row("style rule", "", "document.getElementById('classe').firstChild.data", "π ρ");
        row("inherited", "", "document.getElementById('herite').textContent", "λ");
        row("another face inside stays Latin", "", "document.getElementById('latin').textContent", "abc");
        row("Wingdings", "", "document.getElementById('wingdings').textContent", "☺✔\U0001F87A");
        row("Webdings", "", "document.getElementById('webdings').textContent", "✔");
        row("private-use codes",
            "var s = document.createElement('font'); s.id = 'prive'; s.face = 'Symbol'; s.textContent = '\\uF061\\uF0AE';"
            "document.body.appendChild(s)", "document.getElementById('prive').textContent", "α→");
        row("text a script adds later",
            "document.getElementById('plus-tard').innerHTML = '<font face=\"Symbol\">p</font> = 3,14'",
            "document.getElementById('plus-tard').innerText", "π = 3,14");
        row("text a script changes, once", "document.getElementById('herite').firstChild.data = 'b'",
            "document.getElementById('herite').textContent", "β");
    }

    void symbolText()
    {
        QFETCH(QString, action);
        QFETCH(QString, read);
        QFETCH(QString, expected);
        show(QStringLiteral("symboles.htm"));
        js(*m_page, action);
        QCOMPARE(js(*m_page, read), expected);
    }

    void pageWithoutFacesIsLeftAlone()
    {
        show(QStringLiteral("quiz.htm"));
        QCOMPARE(js(*m_page, QStringLiteral("document.body.innerText.indexOf('dioxyde de carbone') > 0 ? 'ok' : 'changé'")),
                 QStringLiteral("ok"));
    }

    void cookiesBetweenCoursePages()
    {
        show(QStringLiteral("score1.htm"));
        js(*m_page, QStringLiteral("bonneReponse()"));
        show(QStringLiteral("score2.htm"));
        QCOMPARE(js(*m_page, QStringLiteral("lireScore()")), QStringLiteral("3"));
        QVERIFY(js(*m_page, QStringLiteral("document.cookie")).contains(QStringLiteral("joueur=Lea")));
        js(*m_page, QStringLiteral("document.cookie = 'joueur=; expires=Thu, 01 Jan 1970 00:00:00 GMT'"));
        QCOMPARE(js(*m_page, QStringLiteral("document.cookie")), QStringLiteral("score=3"));

        // Another page of the same run, in its own window, shares them.
        QWebEnginePage other;
        QVERIFY(load(other, pageUrl(QStringLiteral("score2.htm"))));
        QCOMPARE(js(other, QStringLiteral("lireScore()")), QStringLiteral("3"));
    }

    void webPagesMeetTheEngineAsItIs()
    {
        test::LocalHttpServer server;
        QVERIFY(server.listening());
        QWebEnginePage web;
        QVERIFY(load(web, QUrl(server.url(QStringLiteral("/page.html")))));
        QCOMPARE(js(web, QStringLiteral("(document.all ? 'ie' : 'dom') + typeof window.ActiveXObject + document.cookie")),
                 QStringLiteral("domundefined"));
    }
};

QTEST_MAIN(TestPageScripts)
#include "tst_page_scripts.moc"

// The fonts course pages name, through RUZEZ's own fontconfig file as the
// program sets it up before the engine starts: each is drawn by the free
// font meant for it (the same text measures the same), not by the
// engine's default.

#include "page_compat/course_fonts.h"
#include "page_script.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>

using namespace ruzez;

class TestCourseFonts : public QObject
{
    Q_OBJECT

private:
    QWebEnginePage m_page;

    double width(const QString &family)
    {
        return test::runJavaScript(&m_page, QStringLiteral(
            "(function () { var s = document.createElement('span'); s.style.fontSize = '40px';"
            "s.style.fontFamily = '%1'; s.textContent = 'Le dioxyde de carbone, WWW iii 0123';"
            "document.body.appendChild(s); var w = s.getBoundingClientRect().width; s.remove(); return w; })()")
            .arg(family)).toDouble();
    }

private slots:
    void initTestCase()
    {
        QSignalSpy loaded(&m_page, &QWebEnginePage::loadFinished);
        m_page.setHtml(QStringLiteral("<html><body></body></html>"));
        QVERIFY(loaded.wait(test::kEngineTimeout));
    }

    void windowsFaces_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("drawnBy");
        QTest::newRow("Arial") << QStringLiteral("Arial") << QStringLiteral("Liberation Sans");
        QTest::newRow("Times New Roman") << QStringLiteral("Times New Roman") << QStringLiteral("Liberation Serif");
        QTest::newRow("Courier New") << QStringLiteral("Courier New") << QStringLiteral("Liberation Mono");
        QTest::newRow("Verdana") << QStringLiteral("Verdana") << QStringLiteral("DejaVu Sans");
        QTest::newRow("Tahoma") << QStringLiteral("Tahoma") << QStringLiteral("DejaVu Sans");
        QTest::newRow("MS Sans Serif") << QStringLiteral("MS Sans Serif") << QStringLiteral("DejaVu Sans");
        QTest::newRow("Comic Sans MS") << QStringLiteral("Comic Sans MS") << QStringLiteral("Comic Neue");
    }

    void windowsFaces()
    {
        QFETCH(QString, asked);
        QFETCH(QString, drawnBy);
        const double meant = width(drawnBy);
        QVERIFY(meant > 0);
        QCOMPARE(width(asked), meant);
        // The font meant differs from what the engine falls back to.
        if (drawnBy != QLatin1String("Liberation Serif"))
            QVERIFY(width(QStringLiteral("serif")) != meant);
    }
};

int main(int argc, char *argv[])
{
    // As main.cpp: before the engine starts.
    useCourseFonts(courseFontsFile(qEnvironmentVariable("RUZEZ_PROGRAM_DIR")));
    QApplication app(argc, argv);
    TestCourseFonts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_course_fonts.moc"

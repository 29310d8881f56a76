// The cost of the course-page script on a large page: a 3,000-paragraph
// page with or without text in the Symbol face, loaded a few times in the
// real engine. Reports the time the script itself spent (its own
// performance measures: the symbol-face scan, the filters, the rest after
// the page is parsed) and the whole load with and without the script.
//
//   page_compat_benchmark [paragraphs] [runs]

#include "page_compat/course_fonts.h"
#include "page_compat/page_compat.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

QByteArray largePage(int paragraphs, bool withSymbols)
{
    QByteArray page = "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1252\">"
                      "<TITLE>Grande page</TITLE></HEAD><BODY>\n";
    for (int i = 0; i < paragraphs; ++i) {
        page += "<P>Paragraphe " + QByteArray::number(i)
            + " : les oxydes d'azote et le dioxyde de soufre <B>acidifient</B> les pluies";
        if (withSymbols && i % 10 == 0)
            page += " ; CO2 + H2O <FONT FACE=\"Symbol\">\xae</FONT> H2CO3, <FONT FACE=\"Symbol\">D</FONT>H &lt; 0";
        page += ".</P>\n";
    }
    return page + "</BODY></HTML>\n";
}

QVariant run(QWebEnginePage &page, const QString &script)
{
    QVariant result;
    QEventLoop loop;
    page.runJavaScript(script, [&](const QVariant &value) {
        result = value;
        loop.quit();
    });
    loop.exec();
    return result;
}

struct Figures
{
    double scriptMs = 0;
    double loadMs = 0;
};

Figures loadOnce(const QString &file)
{
    QWebEnginePage page;
    QEventLoop loop;
    QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, &QEventLoop::quit);
    QElapsedTimer timer;
    timer.start();
    page.load(QUrl::fromLocalFile(file));
    loop.exec();
    Figures figures;
    figures.loadMs = timer.nsecsElapsed() / 1e6;
    figures.scriptMs = run(page, QStringLiteral(
        "performance.getEntriesByName('ruzez-page-compat').reduce(function (s, e) { return s + e.duration; }, 0)"))
                           .toDouble();
    return figures;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    // The fonts as the program has them (the build's program folder).
    ruzez::useCourseFonts(ruzez::courseFontsFile(QString::fromLocal8Bit(RUZEZ_PROGRAM_DIR)));
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const int paragraphs = args.size() > 1 ? args.at(1).toInt() : 3000;
    const int runs = args.size() > 2 ? args.at(2).toInt() : 7;

    QTemporaryDir dir;
    for (const bool symbols : {false, true}) {
        QFile file(dir.filePath(symbols ? QStringLiteral("symboles.htm") : QStringLiteral("texte.htm")));
        if (!file.open(QIODevice::WriteOnly) || file.write(largePage(paragraphs, symbols)) < 0)
            return 1;
    }

    std::printf("%d paragraphs, median of %d loads\n", paragraphs, runs);
    for (const bool symbols : {false, true}) {
        const QString file = dir.filePath(symbols ? QStringLiteral("symboles.htm") : QStringLiteral("texte.htm"));
        QList<double> bare, withScript, script;
        loadOnce(file); // the engine's first start is not counted
        for (int i = 0; i < runs; ++i) {
            bare << loadOnce(file).loadMs;
            auto compat = std::make_unique<ruzez::PageCompat>(QWebEngineProfile::defaultProfile());
            const Figures figures = loadOnce(file);
            withScript << figures.loadMs;
            script << figures.scriptMs;
        }
        std::printf("%-22s script %6.1f ms   load without %6.1f ms, with %6.1f ms\n",
                    symbols ? "with Symbol text:" : "without symbol faces:", median(script), median(bare),
                    median(withScript));
    }
    return 0;
}

#include "worksheet/worksheet_box.h"
#include "worksheet/worksheet_picture.h"
#include "worksheet/worksheet_texts.h"

#include <QFontMetrics>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

using namespace ruzez;

namespace {

using Writer = void (*)(QTextEdit &);

// The texts of the box that share a format, read back from its document;
// a paragraph break reads as "\n" at the end of the text before it.
QStringList textsWhere(const QTextEdit &box, bool (*test)(const QTextCharFormat &))
{
    QStringList out;
    bool previous = false;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        if (previous)
            out.last() += QLatin1Char('\n');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const bool now = test(it.fragment().charFormat());
            if (now && previous)
                out.last() += it.fragment().text();
            else if (now)
                out << it.fragment().text();
            previous = now;
        }
    }
    return out;
}

bool isBold(const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; }
bool isItalic(const QTextCharFormat &f) { return f.fontItalic(); }
// Anything but black Arial 10, or both bold and italic.
bool isOffStyle(const QTextCharFormat &f)
{
    return f.fontFamilies().toStringList() != QStringList{kWorksheetFontFamily}
        || f.fontPointSize() != 10.0 || f.foreground().color() != QColor(Qt::black)
        || (isBold(f) && isItalic(f));
}

} // namespace

Q_DECLARE_METATYPE(Writer)

class TestWorksheet : public QObject
{
    Q_OBJECT

private slots:
    void boxShowsWorksheet_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<QList<WorksheetRun>>("runs");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QStringList>("bold");
        QTest::addColumn<QStringList>("italic");
        QTest::addColumn<int>("bullets");
        QTest::addColumn<int>("typographicApostrophes");

        QTest::newRow("worksheet 1: two plain lines, two bulleted")
            << Writer(fiche1) << worksheetRuns1() << 4 << QStringList{"effet de serre."}
            << QStringList{} << 2 << 0;
        QTest::newRow("worksheet 2: six questions, bold labels")
            << Writer(fiche2) << worksheetRuns2() << 6
            << QStringList{"a.", "b.", "c.", "d.", "e.", "f."} << QStringList{} << 0 << 0;
        QTest::newRow("worksheet 3: mixed fourth line, last question on two lines")
            << Writer(fiche3) << worksheetRuns3() << 9
            << QStringList{"a.", "b.", "c.", "d., e. ", "f.", "d. ", "e. ", "f. ", "g. "}
            << QStringList{"mail, news, chat, world, wide, web ",
                           QStringLiteral(" surf.\nLes réponses aux questions "), "et "}
            << 0 << 4;
    }
    void boxShowsWorksheet()
    {
        QFETCH(Writer, writer);
        QFETCH(QList<WorksheetRun>, runs);
        QFETCH(int, lines);
        QFETCH(QStringList, bold);
        QFETCH(QStringList, italic);
        QFETCH(int, bullets);
        QFETCH(int, typographicApostrophes);

        QString written;
        for (const WorksheetRun &run : runs)
            written += run.text;
        QVERIFY(!written.endsWith(QLatin1Char('\n')));
        QCOMPARE(written.count(QStringLiteral("\r\n")), lines - 1);
        QCOMPARE(written.count(QChar(0x2019)), typographicApostrophes);

        // Written over formatted text, twice: one copy stays.
        QTextEdit box;
        box.setHtml(QStringLiteral("<p style='color:red'><i><b>old</b></i></p><p>text</p>"));
        writer(box);
        writer(box);

        QCOMPARE(box.toPlainText(), QString(written).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(box.document()->blockCount(), lines);
        QCOMPARE(textsWhere(box, isBold), bold);
        QCOMPARE(textsWhere(box, isItalic), italic);
        QCOMPARE(textsWhere(box, isOffStyle), QStringList{});

        // The bullet must draw as a bullet: U+2022, which the worksheet's
        // font holds, never 0xB7, a middle dot in Unicode fonts.
        QVERIFY(!written.contains(QChar(0xB7)));
        QCOMPARE(written.count(kBullet), bullets);
        const QTextCharFormat first = box.document()->begin().begin().fragment().charFormat();
        QVERIFY(QFontMetrics(first.font()).inFont(QChar(kBullet)));
    }

    // Drawn for the screen: as many pixels as the screen's scale asks, the
    // same place in the window.
    void pictureBesideTheWorksheet_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("pixels");
        QTest::newRow("100 %") << 1.0 << QSize(47, 49);
        QTest::newRow("150 %") << 1.5 << QSize(71, 74);
        QTest::newRow("200 %") << 2.0 << QSize(94, 98);
    }
    void pictureBesideTheWorksheet()
    {
        QFETCH(qreal, ratio);
        QFETCH(QSize, pixels);
        const QPixmap picture = worksheetPicture(ratio);
        QCOMPARE(picture.size(), pixels);
        QCOMPARE(picture.deviceIndependentSize().toSize(), QSize(47, 49));
        const QImage image = picture.toImage();
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                drawn += qAlpha(image.pixel(x, y)) > 0;
        QVERIFY(drawn > pixels.width() * pixels.height() / 3);
    }
};

QTEST_MAIN(TestWorksheet)
#include "tst_worksheet.moc"

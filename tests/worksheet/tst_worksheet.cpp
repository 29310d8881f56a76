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

struct Piece
{
    QString text;
    QTextCharFormat format;
};

// The box's text cut where the format changes, read back from its document.
QList<Piece> pieces(const QTextEdit &box)
{
    QList<Piece> out;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        // A break ends the text written before it.
        if (!out.isEmpty())
            out.last().text += QLatin1Char('\n');
        for (auto it = block.begin(); !it.atEnd(); ++it)
            out.append({it.fragment().text(), it.fragment().charFormat()});
    }
    return out;
}

QStringList textsWhere(const QTextEdit &box, bool (*test)(const QTextCharFormat &))
{
    QStringList out;
    bool previous = false;
    for (const Piece &p : pieces(box)) {
        const bool now = test(p.format);
        if (now && previous)
            out.last() += p.text;
        else if (now)
            out << p.text;
        previous = now;
    }
    return out;
}

bool isBold(const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; }
bool isItalic(const QTextCharFormat &f) { return f.fontItalic(); }

QString joined(const QList<WorksheetRun> &runs)
{
    QString all;
    for (const WorksheetRun &run : runs)
        all += run.text;
    return all;
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
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("bold");
        QTest::addColumn<QStringList>("italic");

        const QString bullet(kBullet);
        QTest::newRow("worksheet 1: two plain lines, two bulleted")
            << Writer(fiche1)
            << QStringList{
                   QStringLiteral("Exemple d'un hypertexte : un document sur l'un des polluants de l'air, le dioxyde de carbone."),
                   QStringLiteral("Cet hypertexte comporte des textes et des images."),
                   bullet + QStringLiteral(" En cliquant sur le lien « Le dioxyde de carbone », vous obtiendrez une nouvelle page sur le dioxyde de carbone qui comporte elle aussi différents liens."),
                   bullet + QStringLiteral(" De retour sur la première page, à l'aide du bouton « précédent » dans la barre de menu principale, vous pouvez cliquer sur le lien « mécanisme » qui ouvre une page expliquant l'effet de serre. Depuis cette nouvelle page, vous accéderez à un schéma explicatif en cliquant sur le lien « image »."),
               }
            << QStringList{QStringLiteral("effet de serre.")} << QStringList{};

        QTest::newRow("worksheet 2: six questions, bold labels")
            << Writer(fiche2)
            << QStringList{
                   QStringLiteral("a. Quelle est la différence entre un texte et un hypertexte ?"),
                   QStringLiteral("b. Repérer tous les liens qui apparaissent dans l'hypertexte présenté dans la page sur le dioxyde de carbone."),
                   QStringLiteral("c. Citer un polluant de l'air, un polluant de l'eau et un polluant des sols."),
                   QStringLiteral("d. Chercher sur ce site la pollution engendrée par chacun de ces polluants."),
                   QStringLiteral("e. Pour quelles raisons, le dioxyde de carbone est-il à la fois indispensable à la vie et polluant ?"),
                   QStringLiteral("f. Chercher sur ce site les origines du dioxyde de carbone dans l'air."),
               }
            << QStringList{QStringLiteral("a."), QStringLiteral("b."), QStringLiteral("c."),
                           QStringLiteral("d."), QStringLiteral("e."), QStringLiteral("f.")}
            << QStringList{};

        QTest::newRow("worksheet 3: mixed fourth line, last question on two lines")
            << Writer(fiche3)
            << QStringList{
                   QStringLiteral("a. À partir du texte ci-dessus indiquer les conséquences de la disparition de la couche d’ozone à certains endroits."),
                   QStringLiteral("b. Pourquoi les mots « réseau trophique » sont-ils écrits en bleu ? Que signifient-ils ?"),
                   QStringLiteral("c. Chercher dans un dictionnaire anglais, la traduction des mots mail, news, chat, world, wide, web et surf."),
                   QStringLiteral("Les réponses aux questions d., e. et f. sont à rechercher sur le site."),
                   QStringLiteral("d. Quels sont les gaz responsables de la disparition de la couche d’ozone ?"),
                   QStringLiteral("e. D’où proviennent ces gaz ?"),
                   QStringLiteral("f. Ces gaz sont responsables également d’une autre forme de pollution. Laquelle ?"),
                   QStringLiteral("g. Justifier la raison pour laquelle les CFC ne peuvent plus être utilisés dans les aérosols."),
                   QStringLiteral("Depuis quand a-t-on interdit leur utilisation ?"),
               }
            << QStringList{QStringLiteral("a."), QStringLiteral("b."), QStringLiteral("c."),
                           QStringLiteral("d., e. "), QStringLiteral("f."), QStringLiteral("d. "),
                           QStringLiteral("e. "), QStringLiteral("f. "), QStringLiteral("g. ")}
            << QStringList{QStringLiteral("mail, news, chat, world, wide, web "),
                           QStringLiteral(" surf.\nLes réponses aux questions "), QStringLiteral("et ")};
    }
    void boxShowsWorksheet()
    {
        QFETCH(Writer, writer);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, bold);
        QFETCH(QStringList, italic);

        QTextEdit box;
        writer(box);

        QCOMPARE(box.toPlainText().split(QLatin1Char('\n')), lines);
        QCOMPARE(box.document()->blockCount(), lines.size());
        QVERIFY(!box.toPlainText().contains(QLatin1Char('\r')));
        QCOMPARE(textsWhere(box, isBold), bold);
        QCOMPARE(textsWhere(box, isItalic), italic);

        for (const Piece &p : pieces(box)) {
            QVERIFY2(!(isBold(p.format) && isItalic(p.format)), qPrintable(p.text));
            QCOMPARE(p.format.fontFamilies().toStringList(), QStringList{kWorksheetFontFamily});
            QCOMPARE(p.format.fontPointSize(), 10.0);
            QCOMPARE(p.format.foreground().color(), QColor(Qt::black));
        }
    }

    void secondWritingReplacesTheFirst_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::newRow("worksheet 1") << Writer(fiche1);
        QTest::newRow("worksheet 2") << Writer(fiche2);
        QTest::newRow("worksheet 3") << Writer(fiche3);
    }
    void secondWritingReplacesTheFirst()
    {
        QFETCH(Writer, writer);
        QTextEdit once;
        writer(once);

        QTextEdit twice;
        twice.setHtml(QStringLiteral("<p style='color:red'><b>old</b> text</p><p>more</p>"));
        writer(twice);
        fiche2(twice);
        writer(twice);
        QCOMPARE(twice.toPlainText(), once.toPlainText());
        QCOMPARE(twice.document()->blockCount(), once.document()->blockCount());
        QCOMPARE(textsWhere(twice, isBold), textsWhere(once, isBold));
        QCOMPARE(pieces(twice).first().format.foreground().color(), QColor(Qt::black));
    }

    // 0xB7 is a middle dot in Unicode fonts; the worksheet's bullet must be
    // a true bullet that the worksheet's font can draw.
    void bulletIsDrawnAsABullet()
    {
        QTextEdit box;
        fiche1(box);
        int bullets = 0;
        for (const Piece &p : pieces(box)) {
            QVERIFY(!p.text.contains(QChar(0xB7)));
            if (p.text.contains(kBullet)) {
                bullets += p.text.count(kBullet);
                QVERIFY(QFontMetrics(p.format.font()).inFont(QChar(kBullet)));
            }
        }
        QCOMPARE(bullets, 2);
    }

    void runsFollowTheWritingRules_data()
    {
        QTest::addColumn<QList<WorksheetRun>>("runs");
        QTest::addColumn<int>("typographicApostrophes");
        QTest::addColumn<int>("bullets");
        QTest::newRow("worksheet 1") << worksheetRuns1() << 0 << 2;
        QTest::newRow("worksheet 2") << worksheetRuns2() << 0 << 0;
        QTest::newRow("worksheet 3") << worksheetRuns3() << 4 << 0;
    }
    void runsFollowTheWritingRules()
    {
        QFETCH(QList<WorksheetRun>, runs);
        QFETCH(int, typographicApostrophes);
        QFETCH(int, bullets);

        const QString all = joined(runs);
        QVERIFY(!all.endsWith(QLatin1Char('\n')));
        // Every line break is CR LF: as many CR as LF, and each LF after a CR.
        QCOMPARE(all.count(QLatin1Char('\r')), all.count(QLatin1Char('\n')));
        QCOMPARE(all.count(QLatin1String("\r\n")), all.count(QLatin1Char('\n')));
        QCOMPARE(all.count(QChar(0x2019)), typographicApostrophes);
        QVERIFY(!all.contains(QChar(0xA0)) && !all.contains(QChar(0x202F)));
        QCOMPARE(all.count(QStringLiteral("« ")), all.count(QChar(0xAB)));
        QCOMPARE(all.count(QStringLiteral(" »")), all.count(QChar(0xBB)));

        int bulletRuns = 0;
        for (const WorksheetRun &run : runs) {
            QVERIFY(!(run.bold && run.italic));
            if (run.font == WorksheetRun::Font::Bullet) {
                ++bulletRuns;
                QCOMPARE(run.text, QString(kBullet));
            } else {
                QVERIFY(!run.text.contains(kBullet));
            }
        }
        QCOMPARE(bulletRuns, bullets);
    }

    void pictureBesideTheWorksheet()
    {
        const QPixmap picture = worksheetPicture();
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.size(), QSize(47, 49));
    }
};

QTEST_MAIN(TestWorksheet)
#include "tst_worksheet.moc"

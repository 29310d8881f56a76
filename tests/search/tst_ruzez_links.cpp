// The course authors' tool, run as they run it.

#include "access/csv_text.h"
#include "held_link_rows.h"
#include "search/keyword_search.h"
#include "search/links_table.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;

namespace {

using Run = test::ProgramRun;

Run run(const QStringList &args)
{
    return test::runProgram(QStringLiteral("ruzez-links"), args);
}

const QByteArray kHeader = "LinkID,URL,SubCategory,Description\r\n";

} // namespace

class TestRuzezLinks : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void commandLine_data();
    void commandLine();
    void exportThenBuildKeepsTheTable();
    void check();
    void search_data();
    void search();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestRuzezLinks::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("csv");  // written to rows.csv first when not null
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");  // a part of the one-line error
    const QStringList build = {"build", "%/rows.csv", "%/out.mdb"};
    QTest::newRow("no command") << QStringList{} << QByteArray() << 2 << "";
    QTest::newRow("help") << QStringList{"--help"} << QByteArray() << 0 << "";
    QTest::newRow("unknown command") << QStringList{"merge"} << QByteArray() << 2 << "unknown command";
    QTest::newRow("build without database") << QStringList{"build", "%/rows.csv"} << QByteArray() << 2 << "expected";
    QTest::newRow("missing CSV") << build << QByteArray() << 1 << "cannot read";
    QTest::newRow("empty CSV") << build << QByteArray("") << 1 << "first line must be";
    QTest::newRow("wrong header") << build << QByteArray("ID,URL,Title,Text\n") << 1 << "first line must be";
    QTest::newRow("missing field") << build << kHeader + "1,a.html,A,x\n2,b.html,B\n" << 1
                                   << "record 2 has 3 fields";
    QTest::newRow("LinkID not a number") << build << kHeader + "un,a.html,A,x\n" << 1 << "not a whole number";
    QTest::newRow("unclosed quote") << build << kHeader + "1,a.html,\"A,x\n" << 1 << "line 2: a quoted field";
    QTest::newRow("not UTF-8") << build << kHeader + "1,a.html,\xe9t\xe9,x\n" << 1 << "not UTF-8";
    QTest::newRow("title too long") << build << kHeader + "1,a.html," + QByteArray(256, 't') + ",x\n" << 1
                                    << "more than the 255";
    QTest::newRow("export missing file") << QStringList{"export", "%/none.mdb"} << QByteArray() << 1
                                         << "cannot open";
    QTest::newRow("export CSV given as database") << QStringList{"export", "%/rows.csv"} << kHeader << 1
                                                  << "not an Access database";
    QTest::newRow("check without folder") << QStringList{"check", "%/rows.csv", "%/nowhere"} << kHeader
                                          << 1 << "is not a folder";
}

void TestRuzezLinks::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, csv);
    QFETCH(int, code);
    QFETCH(QString, message);
    if (!csv.isNull())
        QVERIFY(test::writeAll(path(QStringLiteral("rows.csv")), csv));
    args.replaceInStrings(QStringLiteral("%"), m_dir.path());
    const Run result = run(args);
    QCOMPARE(result.code, code);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    if (code != 0)
        QVERIFY2(result.err.count(u'\n') <= 1, qPrintable(result.err));
    if (code == 1)
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("out.mdb"))));
    if (args.value(0) == QLatin1String("--help"))
        QVERIFY(result.out.contains("ruzez-links build ROWS.csv") || result.out.contains("build ROWS.csv"));
}

void TestRuzezLinks::exportThenBuildKeepsTheTable()
{
    const QByteArray rows = "\xef\xbb\xbf" + kHeader
        + "1,air/presentair.html#CO2,\"Le CO2, gaz à effet de serre\",\"Il dit \"\"bonjour\"\"\r\nligne 2\"\n"
          "2,air/pagesair/dioxyde.html,Dioxyde d'azote,\"œuvre « NO₂ », 大気汚染\"\n"
          ",partages/index.html,,\n"
          "4,air/pagesair/CFC.html#pollutions,Les CFC," + QByteArray(6000, 'c') + "\n";
    QVERIFY(test::writeAll(path(QStringLiteral("rows.csv")), rows));
    QCOMPARE(run({"build", path("rows.csv"), path("one.mdb")}).code, 0);
    const Run first = run({"export", path("one.mdb")});
    QCOMPARE(first.code, 0);
    QString error;
    const auto records = csv::parse(first.out, &error);
    QVERIFY(records);
    QCOMPARE(records->size(), size_t(5));
    QCOMPARE((*records)[1], (QStringList{"1", "air/presentair.html#CO2", "Le CO2, gaz à effet de serre",
                                         "Il dit \"bonjour\"\r\nligne 2"}));
    QCOMPARE((*records)[2][3], QStringLiteral("œuvre « NO₂ », 大気汚染"));
    QCOMPARE((*records)[3], (QStringList{"", "partages/index.html", "", ""}));
    QCOMPARE((*records)[4][3], QString(6000, u'c'));

    QVERIFY(test::writeAll(path(QStringLiteral("again.csv")), first.out));
    QCOMPARE(run({"build", path("again.csv"), path("two.mdb")}).code, 0);
    QCOMPARE(run({"export", path("two.mdb")}).out, first.out);
    QCOMPARE(test::readAll(path("two.mdb")), test::readAll(path("one.mdb")));
}

void TestRuzezLinks::check()
{
    const QString root = path(QStringLiteral("re2rira"));
    QVERIFY(test::makeFile(root + "/air/presentair.html"));
    QVERIFY(test::makeFile(root + "/partages/Index.html"));
    QVERIFY(test::makeFile(path("outside.html")));
    const QByteArray rows = kHeader
        + "1,air/presentair.html#CO2,Le CO2,x\n"
          "2,air\\presentair.html,Le CO2 encore,x\n"
          "3,partages/index.html,Accueil,x\n"
          "4,air/absent.html,Absent,x\n"
          "5,../outside.html,Dehors,x\n"
          "6,http://example.org/,Ailleurs,x\n"
          "7,AIR/PRESENTAIR.HTML,Majuscules,x\n";
    QVERIFY(test::writeAll(path(QStringLiteral("rows.csv")), rows));
    QCOMPARE(run({"build", path("rows.csv"), path("links.mdb")}).code, 0);
    const Run result = run({"check", path("links.mdb"), root});
    QCOMPARE(result.code, 1);
    const QString out = QString::fromUtf8(result.out);
    QCOMPARE(out.split(u'\n', Qt::SkipEmptyParts),
             (QStringList{"case only: LinkID 3: partages/index.html is partages/Index.html on the disc",
                          "missing: LinkID 4: air/absent.html", "missing: LinkID 5: ../outside.html",
                          "missing: LinkID 6: http://example.org/",
                          "case only: LinkID 7: AIR/PRESENTAIR.HTML is air/presentair.html on the disc"}));
    QVERIFY(result.err.contains("3 of 7 links lead to no file, 2 only when letter case is ignored"));

    QVERIFY(test::writeAll(path(QStringLiteral("good.csv")), kHeader + "1,air/presentair.html,A,x\n"));
    QCOMPARE(run({"build", path("good.csv"), path("good.mdb")}).code, 0);
    const Run good = run({"check", path("good.mdb"), root});
    QCOMPARE(good.code, 0);
    QVERIFY(good.out.isEmpty());
}

void TestRuzezLinks::search_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("any word by default")
        << QStringList{} << QStringList{"Ozone", "soufre"} << 0
        << QByteArray("3 pages trouvées\nOzone\tair/ozone.html\nSmog\tair/smog.html\n"
                      "Soufre\tair/so2.html\n");
    QTest::newRow("all words, accents stripped first")
        << QStringList{"--all"} << QStringList{"ozône", "été"} << 0
        << QByteArray("Une page trouvée\nSmog\tair/smog.html\n");
    QTest::newRow("all words keeps duplicated titles")
        << QStringList{"--all"} << QStringList{"ozone"} << 0
        << QByteArray("3 pages trouvées\nOzone\tair/ozone.html\nSmog\tair/smog.html\n"
                      "Ozone\tair/ozone2.html\n");
    QTest::newRow("nothing found") << QStringList{"--any"} << QStringList{"radon"} << 0
                                   << QByteArray("Aucune page trouvée\n");
    QTest::newRow("blank words") << QStringList{} << QStringList{"  "} << 2 << QByteArray();
    QTest::newRow("no word") << QStringList{"--all"} << QStringList{} << 2 << QByteArray();
    QTest::newRow("unknown option") << QStringList{"--some"} << QStringList{"ozone"} << 2 << QByteArray();
}

// The tool must give what the panel gives: same normalisation, same order.
void TestRuzezLinks::search()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, words);
    QFETCH(int, code);
    QFETCH(QByteArray, out);
    QVERIFY(test::writeAll(path(QStringLiteral("rows.csv")),
                           kHeader + "1,air/ozone.html,Ozone,L'ozone protège en altitude\n"
                                     "2,air/smog.html,Smog,\"Smog d'ete : ozone et soleil\"\n"
                                     "3,air/so2.html,Soufre,Le dioxyde de soufre\n"
                                     "4,air/ozone2.html,Ozone,Encore l'OZONE\n"));
    QCOMPARE(run({"build", path("rows.csv"), path("links.mdb")}).code, 0);
    const Run result = run(QStringList{"search"} + options + QStringList{path("links.mdb")} + words);
    QCOMPARE(result.code, code);
    QCOMPARE(result.out, out);
    if (code != 0)
        return;

    const auto rows = LinksTable(path("links.mdb")).rows();
    QVERIFY(rows);
    const SearchMode mode = options.contains(QStringLiteral("--all")) ? SearchMode::TousLesMots
                                                                      : SearchMode::AuMoinsUnMot;
    const KeywordSearch panel = keywordSearch(&*rows, words.join(u' '), mode);
    QByteArray expected = panel.message.toUtf8() + '\n';
    for (const SearchHit &hit : panel.hits)
        expected += hit.title.toUtf8() + '\t' + hit.address.toUtf8() + '\n';
    QCOMPARE(result.out, expected);
}

QTEST_GUILESS_MAIN(TestRuzezLinks)
#include "tst_ruzez_links.moc"

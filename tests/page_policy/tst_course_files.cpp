#include "page_policy/course_files.h"
#include "page_policy/page_policy.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using Kind = CourseFiles::Kind;

Q_DECLARE_METATYPE(CourseFiles::Kind)

// A course as a disc made on Windows leaves it on a case-sensitive disk.
class TestCourseFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_course;

    QString at(const QString &relative) const { return m_dir.filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_course = at(QStringLiteral("disc/re2rira"));
        for (const char *file : {"disc/re2rira/Air/PresentAir.HTML", "disc/re2rira/Air/pagesair/dioxyde.html",
                                 "disc/re2rira/partages/index.html", "disc/re2rira/partages/Index.html",
                                 "disc/re2rira/Twice/a.html", "disc/re2rira/twice/b.html",
                                 "disc/re2rira/Mixed/X.html", "disc/re2rira/Mixed/x.html",
                                 "disc/re2rira/été/Page.html", "disc/secret.txt", "elsewhere/passwd"})
            QVERIFY(test::makeFile(at(QString::fromUtf8(file)), "x"));
        QVERIFY(QFile::link(at(QStringLiteral("elsewhere")), at(QStringLiteral("disc/re2rira/lien"))));
        QVERIFY(QFile::link(at(QStringLiteral("disc/re2rira/Air")), at(QStringLiteral("disc/re2rira/raccourci"))));
    }

    void find_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<CourseFiles::Kind>("kind");
        QTest::addColumn<QString>("found");

        const auto row = [](const char *name, const QString &path, Kind kind, const QString &found = {}) {
            QTest::newRow(name) << path << kind << found;
        };
        const QString c = QStringLiteral("disc/re2rira/");
        row("exact name", at(c + "Air/PresentAir.HTML"), Kind::File, at(c + "Air/PresentAir.HTML"));
        row("file in other case", at(c + "Air/presentair.html"), Kind::File, at(c + "Air/PresentAir.HTML"));
        row("folder and file in other case", at(c + "air/presentair.html"), Kind::File,
            at(c + "Air/PresentAir.HTML"));
        row("exact name wins over its other case", at(c + "partages/index.html"), Kind::File,
            at(c + "partages/index.html"));
        row("several cases: first in byte order", at(c + "mixed/X.HTML"), Kind::File, at(c + "Mixed/X.html"));
        row("several folders: first in byte order only", at(c + "TWICE/b.html"), Kind::Missing,
            at(c + "Twice/b.html"));
        row("accented name in other case", at(c + "ÉTÉ/page.html"), Kind::File, at(c + "été/Page.html"));
        row("dot-dot inside the course", at(c + "partages/../Air/presentair.html"), Kind::File,
            at(c + "Air/PresentAir.HTML"));
        row("missing file", at(c + "Air/absente.html"), Kind::Missing, at(c + "Air/absente.html"));
        row("file used as a folder", at(c + "Air/PresentAir.HTML/x.html"), Kind::Missing,
            at(c + "Air/PresentAir.HTML/x.html"));
        row("the course folder", m_course, Kind::Folder, m_course);
        row("a folder in other case", at(c + "AIR/"), Kind::Folder, at(c + "Air"));
        row("link inside the course", at(c + "raccourci/pagesair/dioxyde.html"), Kind::File,
            at(c + "raccourci/pagesair/dioxyde.html"));
        row("link leading outside", at(c + "lien/passwd"), Kind::Outside);
        row("dot-dot out of the course", at(c + "../secret.txt"), Kind::Outside);
        row("beside the course folder", at(QStringLiteral("disc/re2rira2/x.html")), Kind::Outside);
        row("system file", QStringLiteral("/etc/passwd"), Kind::Outside);
    }

    void find()
    {
        QFETCH(QString, path);
        QFETCH(CourseFiles::Kind, kind);
        QFETCH(QString, found);
        const CourseFiles files({m_course + QLatin1Char('/')});
        const CourseFiles::Found result = files.find(path);
        QCOMPARE(result.kind, kind);
        if (!found.isNull())
            QCOMPARE(result.path, found);
    }

    void courseFolders_data()
    {
        QTest::addColumn<QString>("racinesite");
        QTest::addColumn<QString>("pageaccueil");
        QTest::addColumn<QStringList>("folders");
        const QString root = QStringLiteral("/media/cdrom/re2rira/");
        QTest::newRow("course found") << root << root + "partages/index.html" << QStringList{root};
        QTest::newRow("start page beside the program")
            << QString() << QStringLiteral("/opt/prog/index.html") << QStringList{QStringLiteral("/opt/prog")};
        QTest::newRow("disc given up") << QString() << QString() << QStringList{};
        QTest::newRow("another index.html") << QString() << QStringLiteral("/opt/prog/sub/index.html")
                                            << QStringList{};
    }

    void courseFolders()
    {
        QFETCH(QString, racinesite);
        QFETCH(QString, pageaccueil);
        QFETCH(QStringList, folders);
        QCOMPARE(ruzez::courseFolders(racinesite, pageaccueil, QStringLiteral("/opt/prog")), folders);
    }
};

QTEST_GUILESS_MAIN(TestCourseFiles)
#include "tst_course_files.moc"

#include "shell/content_root.h"
#include "shell/drives.h"
#include "fake_drives.h"
#include "fake_message_boxes.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;

namespace {
const QString kAskText = QStringLiteral("Veuillez introduire le CD-ROM « MIRAVEL » dans le lecteur.");
}

class TestContentRoot : public QObject
{
    Q_OBJECT

private:
    // A drive root under the temporary folder, with or without the course.
    QString drive(const QString &label, bool withCourse)
    {
        const QString root = m_dir.filePath(label) + QLatin1Char('/');
        QDir().mkpath(root);
        if (withCourse)
            test::makeFile(root + QStringLiteral("re2rira/partages/index.html"), "<html></html>");
        return root;
    }

    QTemporaryDir m_dir;

private slots:
    void firstDriveHoldingTheFileWins()
    {
        test::FakeDrives drives;
        const QString d = drive(QStringLiteral("d"), true);
        const QString c = drive(QStringLiteral("c"), true);
        drives.list = {drive(QStringLiteral("e"), false), d, c};
        test::FakeMessageBoxes boxes;
        ContentLocation location;
        QString name = QStringLiteral("index.html");
        cherchecd(name, drives, boxes, QStringLiteral("/opt/ruzez"), location);
        QCOMPARE(name, d + QStringLiteral("re2rira/partages/index.html"));
        QCOMPARE(location.racinesite, d + QStringLiteral("re2rira/"));
        QCOMPARE(location.databaseName, QStringLiteral("/opt/ruzez/environ.mdb"));
        QVERIFY(boxes.calls.isEmpty());
    }

    void onlyTheFileNameIsLookedFor_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("windows path") << "X:\\autre\\dossier\\index.html";
        QTest::newRow("linux path") << "/autre/dossier/index.html";
        QTest::newRow("surrounding blanks kept in the test") << "index.html";
    }
    void onlyTheFileNameIsLookedFor()
    {
        QFETCH(QString, name);
        test::FakeDrives drives;
        const QString d = drive(QStringLiteral("d2"), true);
        drives.list = {d};
        test::FakeMessageBoxes boxes;
        ContentLocation location;
        cherchecd(name, drives, boxes, QStringLiteral("/p/"), location);
        QCOMPARE(name, d + QStringLiteral("re2rira/partages/index.html"));
        QCOMPARE(location.databaseName, QStringLiteral("/p/environ.mdb"));
    }

    void blankNameReturnsAtOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("blanks") << "   ";
    }
    void blankNameReturnsAtOnce()
    {
        QFETCH(QString, name);
        const QString before = name;
        test::FakeDrives drives;
        test::FakeMessageBoxes boxes;
        ContentLocation location{QStringLiteral("old/"), QStringLiteral("old.mdb")};
        cherchecd(name, drives, boxes, QStringLiteral("/p"), location);
        QCOMPARE(name, before);
        QCOMPARE(location.racinesite, QStringLiteral("old/"));
        QCOMPARE(drives.listings, 0);
        QVERIFY(boxes.calls.isEmpty());
    }

    void retryAfterInsertingTheDiscFindsIt()
    {
        test::FakeDrives drives;
        const QString d = drive(QStringLiteral("cdrom"), false);
        drives.list = {d};
        test::FakeMessageBoxes boxes;
        boxes.answerWith({vb::Retry});
        // The disc arrives while the first question is open.
        drives.beforeListing = [&] {
            if (drives.listings == 2)
                test::makeFile(d + QStringLiteral("re2rira/partages/index.html"));
        };
        ContentLocation location;
        QString name = QStringLiteral("index.html");
        cherchecd(name, drives, boxes, QStringLiteral("/p"), location);
        QCOMPARE(drives.listings, 2);
        QCOMPARE(boxes.calls.size(), 1);
        QCOMPARE(boxes.calls[0].text, kAskText);
        QCOMPARE(boxes.calls[0].title, QStringLiteral("CD-ROM absent"));
        QCOMPARE(boxes.calls[0].style, 53);
        QCOMPARE(boxes.beeps, 0);
        QCOMPARE(name, d + QStringLiteral("re2rira/partages/index.html"));
        QCOMPARE(location.racinesite, d + QStringLiteral("re2rira/"));
    }

    void givingUpLeavesEverythingEmpty_data()
    {
        QTest::addColumn<int>("retries");
        QTest::newRow("cancel at once") << 0;
        QTest::newRow("retry twice then cancel") << 2;
    }
    void givingUpLeavesEverythingEmpty()
    {
        QFETCH(int, retries);
        test::FakeDrives drives;
        drives.list = {drive(QStringLiteral("empty"), false)};
        test::FakeMessageBoxes boxes;
        for (int i = 0; i < retries; ++i)
            boxes.answerWith({vb::Retry});
        boxes.answerWith({vb::Cancel});
        ContentLocation location;
        QString name = QStringLiteral("index.html");
        cherchecd(name, drives, boxes, QStringLiteral("/p"), location);
        QCOMPARE(name, QString());
        QCOMPARE(boxes.beeps, 1);
        QCOMPARE(boxes.calls.size(), retries + 1);
        QCOMPARE(drives.listings, retries + 1);
        QCOMPARE(location.racinesite, QString());
        QCOMPARE(location.databaseName, QString());
    }

    void aFolderNamedLikeTheFileDoesNotCount()
    {
        test::FakeDrives drives;
        const QString d = drive(QStringLiteral("dirfile"), false);
        QDir().mkpath(d + QStringLiteral("re2rira/partages/index.html"));
        drives.list = {d};
        test::FakeMessageBoxes boxes;
        ContentLocation location;
        QString name = QStringLiteral("index.html");
        cherchecd(name, drives, boxes, QStringLiteral("/p"), location);
        QCOMPARE(name, QString());
    }

    void systemDrivesTryMappedLettersFromZDown()
    {
        QTemporaryDir program;
        const QString dos = program.filePath(QStringLiteral("dosdevices"));
        QDir().mkpath(dos + QStringLiteral("/c:"));
        QDir().mkpath(m_dir.filePath(QStringLiteral("disc")));
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("disc")), dos + QStringLiteral("/d:")));
        QDir().mkpath(dos + QStringLiteral("/x:"));
        test::makeFile(dos + QStringLiteral("/e:"), "not a folder");
        const QStringList roots = SystemDrives(program.path()).roots();
        QVERIFY(roots.size() >= 3);
        QCOMPARE(roots.mid(0, 3), QStringList({dos + QStringLiteral("/x:/"), dos + QStringLiteral("/d:/"),
                                               dos + QStringLiteral("/c:/")}));
        QVERIFY(roots.contains(QStringLiteral("/")));
    }
};

QTEST_GUILESS_MAIN(TestContentRoot)
#include "tst_content_root.moc"

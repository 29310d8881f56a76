#include "shell/content_root.h"
#include "shell/drives.h"
#include "fake_drives.h"
#include "fake_message_boxes.h"
#include "test_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <memory>
#include <mutex>

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

    // The program's own letters, then its Wine prefix's, $WINEPREFIX's and
    // ~/.wine's, each Z down to A, then the mounted volumes, removable first.
    void systemDrivesOrder()
    {
        test::ScratchFolder scratch;
        const auto prefix = [&] {
            const QString p = scratch.newFolder();
            QDir().mkpath(p + QStringLiteral("/drive_c/cours"));
            QDir().mkpath(p + QStringLiteral("/dosdevices/e:"));
            QFile::link(QStringLiteral("../drive_c"), p + QStringLiteral("/dosdevices/c:"));
            return p;
        };
        const QString coursePrefix = prefix(), environmentPrefix = prefix(), home = scratch.newFolder();
        QVERIFY(QFile::rename(prefix(), home + QStringLiteral("/.wine")));
        const QString program = coursePrefix + QStringLiteral("/drive_c/cours");
        const QString course = coursePrefix + QStringLiteral("/dosdevices/");
        const QString environment = environmentPrefix + QStringLiteral("/dosdevices/");
        QDir().mkpath(program + QStringLiteral("/dosdevices/x:"));
        QFile::link(m_dir.path(), program + QStringLiteral("/dosdevices/d:"));
        test::makeFile(program + QStringLiteral("/dosdevices/f:"), "not a folder");
        const QString mounts = scratch.newFile("/dev/sda1 / ext4 rw 0 0\n"
                                               "proc /proc proc rw 0 0\n"
                                               "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                                               "//nas/cours /mnt/Cours\\040ZK cifs rw 0 0\n"
                                               "/dev/sr0 /media/cdrom0 iso9660 ro 0 0\n"
                                               "/dev/sdb1 /run/media/prof/CLE vfat rw 0 0\n");
        const QString dos = program + QStringLiteral("/dosdevices/");
        const QString homeDos = home + QStringLiteral("/.wine/dosdevices/");

        const QStringList roots = SystemDrives(program, {environmentPrefix, home},
                                               VolumeProbe(), mounts).roots();
        QCOMPARE(roots, QStringList({dos + "x:/", dos + "d:/",
                                     course + "e:/", course + "c:/",
                                     environment + "e:/", environment + "c:/",
                                     homeDos + "e:/", homeDos + "c:/",
                                     "/media/cdrom0/", "/run/media/prof/CLE/", "/", "/mnt/Cours ZK/"}));
    }

    // A volume that never answers (a dead network share) is given up after
    // the probe's limit; the search goes on to the next volume, stops at the
    // first holding the course, and never touches the ones after it. The
    // abandoned test stays blocked until this program ends: that it ends at
    // all is part of the check.
    void aVolumeThatDoesNotAnswerIsSkipped()
    {
        test::ScratchFolder scratch;
        const QString dos = scratch.newFolder() + QStringLiteral("/dosdevices/");
        for (const char *letter : {"z:", "y:", "x:"})
            QDir().mkpath(dos + QLatin1String(letter));
        test::makeFile(dos + QStringLiteral("y:/re2rira/partages/index.html"));
        test::makeFile(dos + QStringLiteral("x:/re2rira/partages/index.html"));
        auto touched = std::make_shared<QStringList>();
        auto mutex = std::make_shared<std::mutex>();
        auto never = std::make_shared<std::promise<void>>();
        const VolumeProbe probe(std::chrono::milliseconds(300), [=, future = never->get_future().share()](const QString &path) {
            {
                const std::lock_guard lock(*mutex);
                touched->append(path);
            }
            if (path.startsWith(dos + QStringLiteral("z:")))
                future.wait();
            return VolumeProbe::isRegularFile(path);
        });
        const QString program = QDir::cleanPath(dos + QStringLiteral(".."));
        SystemDrives drives(program, {}, probe, scratch.newFile());
        test::FakeMessageBoxes boxes;
        ContentLocation location;
        QString name = QStringLiteral("index.html");
        cherchecd(name, drives, boxes, program, location);
        QCOMPARE(location.racinesite, dos + QStringLiteral("y:/re2rira/"));
        QVERIFY(boxes.calls.isEmpty());
        const std::lock_guard lock(*mutex);
        QCOMPARE(*touched, QStringList({dos + QStringLiteral("z:/re2rira/partages/index.html"),
                                        dos + QStringLiteral("y:/re2rira/partages/index.html")}));
    }
};

QTEST_GUILESS_MAIN(TestContentRoot)
#include "tst_content_root.moc"

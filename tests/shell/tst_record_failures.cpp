// The favourites and the settings on a real file system that fails as shares
// and worn discs do (failing_fs.py over FUSE); files checked byte for byte.

#include "favourites/ajouteur.h"
#include "favourites/favoris.h"
#include "settings/param.h"
#include "settings/settings_file.h"
#include "fake_browser.h"
#include "fake_message_boxes.h"
#include "test_files.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace ruzez;
using test::readAll;
using test::record;

namespace {

const QByteArray kSettings = test::records({"http://accueil", "http://recherche", "Dupont", "a@b.fr",
                                            "smtp.b.fr", "C:\\cartes", "http://maj", "http://cartes"});

QByteArray favourites(int count)
{
    QByteArray bytes;
    for (int k = 1; k <= count; ++k)
        bytes += record("Page " + QByteArray::number(k)) + record("file:///p.html");
    return bytes;
}

bool mounted(const QString &path)
{
    return readAll(QStringLiteral("/proc/self/mounts")).contains(' ' + QFile::encodeName(path) + ' ');
}

// FOLDER (holding `name` with `bytes`) through failing_fs.py, run by the
// system's Python, which has fusepy; it unmounts as it stops.
struct FailingFolder
{
    FailingFolder(const QString &mode, int record, const QString &name, const QByteArray &bytes)
    {
        QDir().mkpath(backing);
        QDir().mkpath(path);
        test::writeAll(QDir(backing).filePath(name), bytes);
        file = QDir(backing).filePath(name);
        fs.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(FAILING_FS), backing, path, mode, QString::number(record)});
        if (!QTest::qWaitFor([this] { return mounted(path) || fs.state() == QProcess::NotRunning; }, 20000) || !mounted(path))
            problem = fs.errorString() + ' ' + QString::fromLocal8Bit(fs.readAllStandardError());
    }
    ~FailingFolder()
    {
        fs.terminate();
        fs.waitForFinished(10000);
        if (mounted(path))
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path});
    }
    QTemporaryDir dir;
    QString backing = dir.filePath(QStringLiteral("folder"));
    QString path = dir.filePath(QStringLiteral("mnt"));
    QString file;
    QString problem;
    QProcess fs;
};

// Skips only where FUSE cannot mount; a missing Python module is a broken set-up.
#define MOUNT_OR_SKIP(folder)                                                                              \
    if (!(folder).problem.isEmpty()) {                                                                     \
        QVERIFY2(!(folder).problem.contains(QLatin1String("ModuleNotFoundError")), qPrintable((folder).problem)); \
        QSKIP(qPrintable(QStringLiteral("FUSE cannot mount here: ") + (folder).problem));                  \
    }

} // namespace

class TestRecordFailures : public QObject
{
    Q_OBJECT

private slots:
    // Refused only at the sync or the close, a save is a failure, with its message.
    void failureAtSyncOrCloseIsReported_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("settings");
        for (const char *mode : {"none", "close", "sync"}) {
            QTest::addRow("favourites, %s fails", mode) << QString::fromLatin1(mode) << false;
            QTest::addRow("settings, %s fails", mode) << QString::fromLatin1(mode) << true;
        }
    }
    void failureAtSyncOrCloseIsReported()
    {
        QFETCH(QString, mode);
        QFETCH(bool, settings);
        const bool fails = mode != QLatin1String("none");
        FailingFolder folder(mode, 0, settings ? kSettingsFileName : QStringLiteral("FAVORIS.LST"),
                             settings ? kSettings : favourites(2));
        MOUNT_OR_SKIP(folder)
        test::FakeMessageBoxes boxes;
        if (settings) {
            param window(folder.path, boxes);
            window.Form_Load();
            window.open();
            window.Text3->setText(QStringLiteral("Lycée"));
            window.Command3->click();
            QCOMPARE(window.isVisible(), fails); // failed, it stays open with the input
        } else {
            test::FakeBrowser browser;
            browser.locationName = browser.locationURL = QStringLiteral("Ozone");
            ajouteur(browser, folder.path, boxes);
        }
        QCOMPARE(boxes.calls.size(), fails ? 1 : 0);
        if (fails)
            QVERIFY(boxes.calls[0].text.startsWith(settings ? "Impossible d'écrire les paramètres" : "Impossible d'ajouter aux favoris"));
        else
            QCOMPARE(readAll(folder.file).mid(settings ? 2 * 128 : 4 * 128, 128), record(settings ? "Lyc\xe9" "e" : "Ozone"));
    }

    // One unreadable record: the favourites before it are listed (with the
    // message) and nothing is added over it; behind the list it is never read.
    void favouritesBeforeAnUnreadableRecordAreListed_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("badRecord");
        QTest::addColumn<int>("listed");
        QTest::newRow("title of entry 20 of 600") << 600 << 39 << 19;
        QTest::newRow("address of entry 20 of 600") << 600 << 40 << 19;
        QTest::newRow("title of entry 1") << 30 << 1 << 0;
        QTest::newRow("behind the end of a list of 3") << 3 << 40 << 3;
    }
    void favouritesBeforeAnUnreadableRecordAreListed()
    {
        QFETCH(int, entries);
        QFETCH(int, badRecord);
        QFETCH(int, listed);
        const QByteArray bytes = favourites(entries) + QByteArray(40 * 128, '\0');
        FailingFolder folder(QStringLiteral("read"), badRecord, QStringLiteral("FAVORIS.LST"), bytes);
        MOUNT_OR_SKIP(folder)
        test::FakeBrowser browser;
        test::FakeMessageBoxes boxes;
        favoris window(browser, folder.path, boxes);
        window.Form_Load();
        QCOMPARE(window.Liste->count(), listed);
        QCOMPARE(boxes.calls.size(), listed < entries ? 1 : 0);
        browser.locationName = QStringLiteral("Ozone");
        ajouteur(browser, folder.path, boxes);
        QCOMPARE(readAll(folder.file).startsWith(bytes), listed < entries);
    }

    // One unreadable settings record: the fields before it are shown, and
    // "Valider" writes a field only when it was read or typed into.
    void settingsBeforeAnUnreadableRecordAreKept_data()
    {
        QTest::addColumn<int>("badRecord");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("typedIntoServer");
        QTest::newRow("record 6: every field read") << 6 << QStringList{"Dupont", "a@b.fr", "smtp.b.fr"} << "";
        QTest::newRow("record 4: mail and server kept") << 4 << QStringList{"Dupont", "@", ""} << "";
        QTest::newRow("record 4, server typed: written") << 4 << QStringList{"Dupont", "@", ""} << "smtp.neuf.fr";
        QTest::newRow("record 1: nothing read, nothing written") << 1 << QStringList{"", "@", ""} << "";
    }
    void settingsBeforeAnUnreadableRecordAreKept()
    {
        QFETCH(int, badRecord);
        QFETCH(QStringList, fields);
        QFETCH(QString, typedIntoServer);
        FailingFolder folder(QStringLiteral("read"), badRecord, kSettingsFileName, kSettings);
        MOUNT_OR_SKIP(folder)
        test::FakeMessageBoxes boxes;
        param window(folder.path, boxes);
        window.Form_Load();
        QCOMPARE(boxes.calls.size(), 1);
        QCOMPARE((QStringList{window.Text3->text(), window.Text4->text(), window.Text5->text()}), fields);
        window.open();
        QTest::keyClicks(window.Text5, typedIntoServer);
        window.Command3->click();
        QVERIFY(!window.isVisible());
        QByteArray saved = kSettings;
        if (!typedIntoServer.isEmpty())
            saved.replace(4 * 128, 128, record(typedIntoServer.toLatin1()));
        QCOMPARE(readAll(folder.file), saved);
    }
};

QTEST_MAIN(TestRecordFailures)
#include "tst_record_failures.moc"

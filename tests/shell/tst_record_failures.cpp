// The favourites and the settings on a real file system that fails as
// shares and worn discs do: failing_fs.py, mounted with FUSE for each case.
// The files are checked byte for byte in the folder behind it.

#include "favourites/ajouteur.h"
#include "favourites/favoris.h"
#include "favourites/favourites_file.h"
#include "settings/param.h"
#include "settings/settings_file.h"
#include "fake_browser.h"
#include "fake_message_boxes.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using ruzez::test::readAll;
using ruzez::test::record;

namespace {

const QString kFavouritesFailure = QStringLiteral("Impossible d'ajouter aux favoris: disque non valide pour l'écriture.");
const QString kSettingsFailure = QStringLiteral("Impossible d'écrire les paramètres: disque non valide pour l'écriture.");
const QByteArray kInstalled = test::records({"http://accueil", "http://recherche", "Dupont", "a@b.fr",
                                             "smtp.b.fr", "C:\\cartes", "http://maj", "http://cartes"});

QByteArray favourites(int count)
{
    QByteArray bytes;
    for (int k = 1; k <= count; ++k)
        bytes += record("Page " + QByteArray::number(k)) + record("file:///p" + QByteArray::number(k) + ".html");
    return bytes;
}

bool mounted(const QString &path)
{
    return readAll(QStringLiteral("/proc/self/mounts")).contains(' ' + QFile::encodeName(path) + ' ');
}

// A folder seen through failing_fs.py in the given mode, with the system's
// Python, which has the fusepy package.
class FailingFolder
{
public:
    explicit FailingFolder(const QString &mode, int record = 0)
    {
        QDir().mkpath(backing());
        QDir().mkpath(path());
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(FAILING_FS), backing(), path(), mode, QString::number(record)});
        const bool settled = QTest::qWaitFor([this] { return mounted(path()) || m_process.state() == QProcess::NotRunning; }, 20000);
        if (!settled || !mounted(path()))
            problem = m_process.errorString() + ' ' + QString::fromLocal8Bit(m_process.readAllStandardError());
    }
    ~FailingFolder()
    {
        m_process.terminate(); // it unmounts as it stops
        m_process.waitForFinished(10000);
        if (mounted(path()))
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path()});
    }
    QString path() const { return m_dir.filePath(QStringLiteral("mnt")); }
    QString backing() const { return m_dir.filePath(QStringLiteral("folder")); }
    QString file(const QString &name) const { return QDir(backing()).filePath(name); }
    QString problem; // why it could not mount

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

// Skips only where FUSE cannot mount (no /dev/fuse, no right to mount); a
// missing Python module is a broken set-up.
#define MOUNT_OR_SKIP(folder)                                                                      \
    if (!(folder).problem.isEmpty()) {                                                             \
        QVERIFY2(!(folder).problem.contains(QLatin1String("ModuleNotFoundError")), qPrintable((folder).problem)); \
        QSKIP(qPrintable(QStringLiteral("FUSE cannot mount here: ") + (folder).problem));          \
    }

} // namespace

class TestRecordFailures : public QObject
{
    Q_OBJECT

private slots:
    // A write refused only at the sync or at the close is the operation's
    // failure, with its message; a healthy share shows the harness works.
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
        FailingFolder folder(mode);
        MOUNT_OR_SKIP(folder)
        const bool fails = mode != QLatin1String("none");
        test::FakeMessageBoxes boxes;

        if (!settings) {
            QVERIFY(test::writeAll(folder.file(QStringLiteral("FAVORIS.LST")), favourites(2)));
            test::FakeBrowser browser;
            browser.locationName = QStringLiteral("Ozone");
            browser.locationURL = QStringLiteral("file:///ozone.html");
            ajouteur(browser, folder.path(), boxes);
            QCOMPARE(boxes.calls.size(), fails ? 1 : 0);
            if (fails)
                QCOMPARE(boxes.calls[0].text, kFavouritesFailure);
            else
                QCOMPARE(readAll(folder.file(QStringLiteral("FAVORIS.LST"))),
                         favourites(2) + record("Ozone") + record("file:///ozone.html"));
            return;
        }

        QVERIFY(test::writeAll(folder.file(kSettingsFileName), kInstalled));
        param window(folder.path(), boxes);
        window.Form_Load();
        QVERIFY(boxes.calls.isEmpty());
        window.open();
        window.Text3->setText(QStringLiteral("Lycée"));
        window.Command3->click();
        QCOMPARE(boxes.calls.size(), fails ? 1 : 0);
        // Failed, the window stays open with the input, to try again.
        QCOMPARE(window.isVisible(), fails);
        if (fails)
            QCOMPARE(boxes.calls[0].text, kSettingsFailure);
        else
            QCOMPARE(readAll(folder.file(kSettingsFileName)).mid(2 * 128, 128), record("Lyc\xe9" "e"));
    }

    // One unreadable record: the favourites before it are listed, with the
    // message; past the end of the list it is never read.
    void favouritesBeforeAnUnreadableRecordAreListed_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("badRecord");
        QTest::addColumn<int>("listed");
        QTest::addColumn<bool>("reported");
        QTest::newRow("title of entry 20 of 600") << 600 << 39 << 19 << true;
        QTest::newRow("address of entry 20 of 600") << 600 << 40 << 19 << true;
        QTest::newRow("title of entry 1") << 30 << 1 << 0 << true;
        QTest::newRow("behind the end of a list of 3") << 3 << 40 << 3 << false;
    }
    void favouritesBeforeAnUnreadableRecordAreListed()
    {
        QFETCH(int, entries);
        QFETCH(int, badRecord);
        QFETCH(int, listed);
        QFETCH(bool, reported);
        FailingFolder folder(QStringLiteral("read"), badRecord);
        MOUNT_OR_SKIP(folder)
        const QByteArray bytes = favourites(entries) + QByteArray(40 * 128, '\0');
        QVERIFY(test::writeAll(folder.file(QStringLiteral("FAVORIS.LST")), bytes));
        test::FakeBrowser browser;
        test::FakeMessageBoxes boxes;

        favoris window(browser, folder.path(), boxes);
        window.Form_Load();
        QCOMPARE(window.Liste->count(), listed);
        if (listed > 0)
            QCOMPARE(window.Liste->item(listed - 1)->text(), QStringLiteral("Page %1").arg(listed));
        QCOMPARE(boxes.calls.size(), reported ? 1 : 0);

        // Nothing is added over the entries that could not be read.
        browser.locationName = QStringLiteral("Ozone");
        ajouteur(browser, folder.path(), boxes);
        QCOMPARE(readAll(folder.file(QStringLiteral("FAVORIS.LST"))).left(bytes.size()) == bytes, reported);
    }

    // One unreadable record of the settings: the fields read before it are
    // shown, and "Valider" writes a field only when it was read or typed in,
    // never its initial content over a record it could not read.
    void settingsBeforeAnUnreadableRecordAreKept_data()
    {
        QTest::addColumn<int>("badRecord");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("typedIntoServer");
        QTest::addColumn<QByteArray>("saved");
        const QByteArray typed = QByteArray(kInstalled).replace(4 * 128, 128, record("smtp.neuf.fr"));
        QTest::newRow("record 6: every field read")
            << 6 << QStringList{"Dupont", "a@b.fr", "smtp.b.fr"} << QString() << kInstalled;
        QTest::newRow("record 4: mail and server kept")
            << 4 << QStringList{"Dupont", "@", ""} << QString() << kInstalled;
        QTest::newRow("record 4, server typed: written")
            << 4 << QStringList{"Dupont", "@", ""} << QStringLiteral("smtp.neuf.fr") << typed;
        QTest::newRow("record 1: nothing read, nothing written")
            << 1 << QStringList{"", "@", ""} << QString() << kInstalled;
    }
    void settingsBeforeAnUnreadableRecordAreKept()
    {
        QFETCH(int, badRecord);
        QFETCH(QStringList, fields);
        QFETCH(QString, typedIntoServer);
        QFETCH(QByteArray, saved);
        FailingFolder folder(QStringLiteral("read"), badRecord);
        MOUNT_OR_SKIP(folder)
        QVERIFY(test::writeAll(folder.file(kSettingsFileName), kInstalled));
        test::FakeMessageBoxes boxes;

        param window(folder.path(), boxes);
        window.Form_Load();
        QCOMPARE(boxes.calls.size(), 1);
        QCOMPARE(boxes.calls[0].text, kSettingsFailure);
        QCOMPARE((QStringList{window.Text3->text(), window.Text4->text(), window.Text5->text()}), fields);

        window.open();
        if (!typedIntoServer.isEmpty()) {
            window.Text5->setFocus();
            QTest::keyClicks(window.Text5, typedIntoServer);
        }
        window.Command3->click();
        QCOMPARE(boxes.calls.size(), 1);
        QVERIFY(!window.isVisible());
        QCOMPARE(readAll(folder.file(kSettingsFileName)), saved);
    }
};

QTEST_MAIN(TestRecordFailures)
#include "tst_record_failures.moc"

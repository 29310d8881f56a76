#include "settings/settings_file.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using ruzez::test::readAll;
using ruzez::test::record;

namespace {

QByteArray records(std::initializer_list<QByteArray> texts)
{
    QByteArray bytes;
    for (const QByteArray &text : texts)
        bytes += record(text);
    return bytes;
}

const QByteArray kInstalled = records({"http://accueil", "http://recherche", "Dupont", "a@b.fr",
                                       "smtp.b.fr", "C:\\cartes", "http://maj", "http://cartes"});

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private:
    QString folder()
    {
        const QString path = m_dir.filePath(QString::number(++m_count));
        QDir().mkpath(path);
        return path;
    }
    QString fileIn(const QString &folder) { return QDir(folder).filePath(kSettingsFileName); }

    QTemporaryDir m_dir;
    int m_count = 0;

private slots:
    void loadBuildsTheInformationText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("information");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("installed file: record 8 shown before record 7")
            << kInstalled
            << QStringLiteral("Adresse de la page d'accueil:\r\nhttp://accueil\r\n\r\n"
                              "Adresse de la page de recherche:\r\nhttp://recherche\r\n\r\n"
                              "Destination des cartes des espèces chimiques:\r\nC:\\cartes\r\n\r\n"
                              "Adresse des cartes à télécharger:\r\nhttp://cartes\r\n\r\n"
                              "Adresse du fichier de procédures de mise à jour en ligne:\r\nhttp://maj")
            << QStringList{QStringLiteral("Dupont"), QStringLiteral("a@b.fr"), QStringLiteral("smtp.b.fr")};
        QTest::newRow("only records 1 and 2: items read as empty, not kept")
            << records({"x", "y"})
            << QStringLiteral("Adresse de la page d'accueil:\r\nx\r\n\r\n"
                              "Adresse de la page de recherche:\r\ny\r\n\r\n"
                              "Destination des cartes des espèces chimiques:\r\n\r\n\r\n"
                              "Adresse des cartes à télécharger:\r\n\r\n\r\n"
                              "Adresse du fichier de procédures de mise à jour en ligne:\r\n")
            << QStringList{QString(), QString(), QString()};
        QTest::newRow("blanks and accents kept as stored")
            << records({" \xe9t\xe9 ", "", "  ", "@", "\x80"}) + QByteArray(2, '\0')
            << QStringLiteral("Adresse de la page d'accueil:\r\n été \r\n\r\n"
                              "Adresse de la page de recherche:\r\n\r\n\r\n"
                              "Destination des cartes des espèces chimiques:\r\n\r\n\r\n"
                              "Adresse des cartes à télécharger:\r\n\r\n\r\n"
                              "Adresse du fichier de procédures de mise à jour en ligne:\r\n")
            << QStringList{QStringLiteral("  "), QStringLiteral("@"), QStringLiteral("€")};
    }
    void loadBuildsTheInformationText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, information);
        QFETCH(QStringList, items);
        const QString dir = folder();
        test::writeAll(fileIn(dir), bytes);

        const SettingsLoad load = loadSettings(dir);
        QVERIFY(load.ok);
        QCOMPARE(load.information, information);
        QCOMPARE((QStringList{load.name.value(), load.mail.value(), load.server.value()}), items);
        QCOMPARE(readAll(fileIn(dir)), bytes);
    }

    void missingFileIsCreatedEmpty()
    {
        const QString dir = folder();
        const SettingsLoad load = loadSettings(dir);
        QVERIFY(load.ok);
        QCOMPARE(load.information.count(QStringLiteral("\r\n\r\n\r\n")), 4);
        QVERIFY(load.information.endsWith(QStringLiteral("en ligne:\r\n")));
        QCOMPARE(load.mail, std::optional<QString>(QString()));
        QVERIFY(QFile::exists(fileIn(dir)));
        QCOMPARE(QFileInfo(fileIn(dir)).size(), 0);
    }

    // A file that cannot be opened at all reads nothing.
    void loadFailsWhenTheFileCannotBeOpened_data()
    {
        QTest::addColumn<bool>("folderInItsPlace");
        QTest::newRow("missing file in a read-only folder") << false;
        QTest::newRow("a folder where the file should be") << true;
    }
    void loadFailsWhenTheFileCannotBeOpened()
    {
        QFETCH(bool, folderInItsPlace);
        const QString dir = folder();
        if (folderInItsPlace)
            QDir().mkpath(fileIn(dir));
        test::ReadOnlyGuard guard(dir);
        if (!guard.effective())
            QSKIP("cannot make a read-only folder here");

        const SettingsLoad load = loadSettings(dir);
        QVERIFY(!load.ok);
        QCOMPARE(load.information, QString());
        QVERIFY(!load.name && !load.mail && !load.server);
        QCOMPARE(QFileInfo(fileIn(dir)).isDir(), folderInItsPlace);
    }

    void readOnlyFileStillLoads()
    {
        const QString dir = folder();
        test::writeAll(fileIn(dir), kInstalled);
        test::ReadOnlyGuard guard(fileIn(dir));
        QVERIFY(guard.effective());
        const SettingsLoad load = loadSettings(dir);
        QVERIFY(load.ok);
        QCOMPARE(load.server, std::optional<QString>(QStringLiteral("smtp.b.fr")));
    }

    void saveWritesRecordsThreeToFiveInOrder_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("empty file: records 1 and 2 left empty")
            << QByteArray() << QStringList{"Lycée", "@", "smtp"} << true
            << records({"", "", "Lyc\xe9" "e", "@", "smtp"});
        QTest::newRow("installed file: only 3, 4 and 5 replaced")
            << kInstalled << QStringList{"", "", ""} << true
            << records({"http://accueil", "http://recherche", "", "", "", "C:\\cartes", "http://maj",
                        "http://cartes"});
        QTest::newRow("a refused write stops there; record 3 stays written")
            << kInstalled << QStringList{"n", QString(127, QLatin1Char('m')), "s"} << false
            << records({"http://accueil", "http://recherche", "n", "a@b.fr", "smtp.b.fr", "C:\\cartes",
                        "http://maj", "http://cartes"});
    }
    void saveWritesRecordsThreeToFiveInOrder()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, items);
        QFETCH(bool, ok);
        QFETCH(QByteArray, after);
        const QString dir = folder();
        test::writeAll(fileIn(dir), before);

        QCOMPARE(saveSettings(dir, {items[0], items[1], items[2]}), ok);
        QCOMPARE(readAll(fileIn(dir)), after);
    }

    void saveFailsOnAReadOnlyFile()
    {
        const QString dir = folder();
        test::writeAll(fileIn(dir), kInstalled);
        {
            test::ReadOnlyGuard guard(fileIn(dir));
            QVERIFY(guard.effective());
            QVERIFY(!saveSettings(dir, {"n", "m", "s"}));
        }
        QCOMPARE(readAll(fileIn(dir)), kInstalled);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"

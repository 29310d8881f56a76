#include "settings/settings_file.h"
#include "test_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using ruzez::test::readAll;
using ruzez::test::record;
using ruzez::test::records;

namespace {

const QByteArray kInstalled = test::records({"http://accueil", "http://recherche", "Dupont", "a@b.fr",
                                       "smtp.b.fr", "C:\\cartes", "http://maj", "http://cartes"});

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private:
    QString folder(const QByteArray *bytes = nullptr)
    {
        const QString path = m_scratch.newFolder();
        if (bytes)
            test::writeAll(fileIn(path), *bytes);
        return path;
    }
    static QString fileIn(const QString &folder) { return QDir(folder).filePath(kSettingsFileName); }

    test::ScratchFolder m_scratch;

private slots:
    void loadBuildsTheInformationText_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("information");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("installed file: record 8 shown before record 7") << true << kInstalled
            << QStringLiteral("Adresse de la page d'accueil:\r\nhttp://accueil\r\n\r\n"
                              "Adresse de la page de recherche:\r\nhttp://recherche\r\n\r\n"
                              "Destination des cartes des espèces chimiques:\r\nC:\\cartes\r\n\r\n"
                              "Adresse des cartes à télécharger:\r\nhttp://cartes\r\n\r\n"
                              "Adresse du fichier de procédures de mise à jour en ligne:\r\nhttp://maj")
            << QStringList{"Dupont", "a@b.fr", "smtp.b.fr"};
        const QString emptyAfterTwo =
            QStringLiteral("Destination des cartes des espèces chimiques:\r\n\r\n\r\n"
                           "Adresse des cartes à télécharger:\r\n\r\n\r\n"
                           "Adresse du fichier de procédures de mise à jour en ligne:\r\n");
        QTest::newRow("records 1 and 2 only, kept as stored") << true << records({" \xe9t\xe9 ", "@"})
            << QStringLiteral("Adresse de la page d'accueil:\r\n été \r\n\r\n"
                              "Adresse de la page de recherche:\r\n@\r\n\r\n") + emptyAfterTwo
            << QStringList{"", "", ""};
        QTest::newRow("missing file, created empty") << false << QByteArray()
            << QStringLiteral("Adresse de la page d'accueil:\r\n\r\n\r\n"
                              "Adresse de la page de recherche:\r\n\r\n\r\n") + emptyAfterTwo
            << QStringList{"", "", ""};
    }
    void loadBuildsTheInformationText()
    {
        QFETCH(bool, exists);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, information);
        QFETCH(QStringList, items);
        const QString dir = folder(exists ? &bytes : nullptr);

        const SettingsLoad load = loadSettings(dir);
        QVERIFY(load.ok);
        QCOMPARE(load.information, information);
        QCOMPARE((QStringList{load.name.value(), load.mail.value(), load.server.value()}), items);
        QCOMPARE(readAll(fileIn(dir)), bytes);
        QVERIFY(QFileInfo(fileIn(dir)).isFile());
    }

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
        QVERIFY(guard.effective());

        const SettingsLoad load = loadSettings(dir);
        QVERIFY(!load.ok);
        QCOMPARE(load.information, QString());
        QVERIFY(!load.name && !load.mail && !load.server);
        QCOMPARE(QFileInfo::exists(fileIn(dir)), folderInItsPlace);
    }

    void saveWritesRecordsThreeToFiveInOrder_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("empty fields replace only 3, 4 and 5") << QStringList{"", "", ""} << true
            << records({"http://accueil", "http://recherche", "", "", "", "C:\\cartes", "http://maj",
                        "http://cartes"});
        QTest::newRow("a refused write stops there; record 3 stays written")
            << QStringList{"n", QString(127, QLatin1Char('m')), "s"} << false
            << records({"http://accueil", "http://recherche", "n", "a@b.fr", "smtp.b.fr", "C:\\cartes",
                        "http://maj", "http://cartes"});
    }
    void saveWritesRecordsThreeToFiveInOrder()
    {
        QFETCH(QStringList, items);
        QFETCH(bool, ok);
        QFETCH(QByteArray, after);
        const QString dir = folder(&kInstalled);
        QCOMPARE(saveSettings(dir, {items[0], items[1], items[2]}), ok);
        QCOMPARE(readAll(fileIn(dir)), after);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settings_file.moc"

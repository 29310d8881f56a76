#include "wine/wine_prefix.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace ruzez;

class TestWinePrefix : public QObject
{
    Q_OBJECT

private:
    // A prefix as wineboot leaves it: drive_c/, dosdevices/c: -> ../drive_c,
    // dosdevices/z: -> /, plus the folders named in `extra` under drive_c.
    QString makePrefix(const QString &name)
    {
        const QString prefix = m_scratch.newFolder() + QLatin1Char('/') + name;
        QDir().mkpath(prefix + QStringLiteral("/drive_c/Cours ZK"));
        QDir().mkpath(prefix + QStringLiteral("/dosdevices"));
        QFile::link(QStringLiteral("../drive_c"), prefix + QStringLiteral("/dosdevices/c:"));
        QFile::link(QStringLiteral("/"), prefix + QStringLiteral("/dosdevices/z:"));
        return prefix;
    }

    test::ScratchFolder m_scratch;

private slots:
    // Wine hands a Linux program the path of its executable through the
    // prefix's drive letters or through drive_c; a launcher may name the
    // folder through a link from elsewhere. Each must lead to the prefix.
    void prefixHolding()
    {
        const QString prefix = makePrefix(QStringLiteral("pfx"));
        const QString outside = m_scratch.newFolder();
        QFile::link(prefix + QStringLiteral("/drive_c/Cours ZK"), outside + QStringLiteral("/lien"));

        QCOMPARE(wine::prefixHolding(prefix + QStringLiteral("/drive_c/Cours ZK")), prefix);
        QCOMPARE(wine::prefixHolding(prefix + QStringLiteral("/dosdevices/c:/Cours ZK")), prefix);
        QCOMPARE(wine::prefixHolding(prefix + QStringLiteral("/drive_c")), prefix);
        QCOMPARE(wine::prefixHolding(outside + QStringLiteral("/lien")), prefix);
        QCOMPARE(wine::prefixHolding(outside), QString());
        // Through z: the path leads nowhere near the prefix's own folders.
        QCOMPARE(wine::prefixHolding(prefix + QStringLiteral("/dosdevices/z:") + outside), prefix);
    }

    void dosdevicesFoldersInOrder()
    {
        const QString program = makePrefix(QStringLiteral("programme"));
        const QString environment = makePrefix(QStringLiteral("winepfx"));
        const QString home = m_scratch.newFolder();
        QVERIFY(QFile::rename(makePrefix(QStringLiteral("x")), home + QStringLiteral("/.wine")));
        const QString folder = program + QStringLiteral("/drive_c/Cours ZK");
        const auto dos = [](const QString &prefix) { return prefix + QStringLiteral("/dosdevices"); };

        QCOMPARE(wine::dosdevicesFolders(folder, {environment, home}),
                 QStringList({dos(program), dos(environment), dos(home + QStringLiteral("/.wine"))}));
        // Named twice, or missing: looked at once, or not at all.
        QCOMPARE(wine::dosdevicesFolders(folder, {program, m_scratch.newFolder()}), QStringList({dos(program)}));
        QCOMPARE(wine::dosdevicesFolders(m_scratch.newFolder(), {QString(), home}),
                 QStringList({dos(home + QStringLiteral("/.wine"))}));
    }

    void driveLettersZDownToA()
    {
        const QString dos = m_scratch.newFolder();
        QDir().mkpath(dos + QStringLiteral("/c:"));
        QFile::link(QStringLiteral("/nulle/part"), dos + QStringLiteral("/e:")); // not followed
        QFile::link(QStringLiteral("/"), dos + QStringLiteral("/z:"));
        test::makeFile(dos + QStringLiteral("/d:"), "a file, not a drive");
        QDir().mkpath(dos + QStringLiteral("/d::")); // Wine's raw devices
        QDir().mkpath(dos + QStringLiteral("/com1"));
        QCOMPARE(wine::driveLetters(dos), QStringList({dos + QStringLiteral("/z:"), dos + QStringLiteral("/e:"),
                                                       dos + QStringLiteral("/c:")}));
        QCOMPARE(wine::driveLetters(dos + QStringLiteral("/absent")), QStringList());
    }

    void windowsPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("windows");
        QTest::newRow("under drive_c") << "/p/drive_c/Cours ZK/ZK2.hlp" << "/p" << "C:\\Cours ZK\\ZK2.hlp";
        QTest::newRow("drive_c itself") << "/p/drive_c" << "/p/" << "C:\\";
        QTest::newRow("elsewhere") << "/home/élève/ZK2.hlp" << "/p" << QStringLiteral("Z:\\home\\élève\\ZK2.hlp");
        QTest::newRow("no prefix") << "/p/drive_c/a" << "" << "Z:\\p\\drive_c\\a";
        QTest::newRow("similar name") << "/p/drive_cc/a" << "/p" << "Z:\\p\\drive_cc\\a";
    }
    void windowsPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, prefix);
        QFETCH(QString, windows);
        QCOMPARE(wine::windowsPath(path, prefix), windows);
    }
};

QTEST_GUILESS_MAIN(TestWinePrefix)
#include "tst_wine_prefix.moc"

// The teachers' tool, run as they run it, on folders compared byte for byte.

#include "course_folder.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace ruzez;

namespace {

using Run = test::ProgramRun;

Run runTool(const QStringList &args)
{
    return test::runProgram(QStringLiteral("ruzez-course"), args);
}

// Everything of a folder that install and uninstall could change: names,
// bytes, rights, link targets, modification times.
QStringList snapshot(const QString &folder)
{
    QStringList lines;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(info.fileName(), info.symLinkTarget())
                     .arg(int(info.permissions()))
                     .arg(info.lastModified().toMSecsSinceEpoch())
                     .arg(QString::fromLatin1(test::readAll(info.filePath()).toHex()));
    }
    lines.sort();
    return lines;
}

} // namespace

class TestRuzezCourse : public QObject
{
    Q_OBJECT

private slots:
    // Install then uninstall leaves the folder as it was, whatever held the
    // launcher's name; a second install changes nothing.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("existing"); // name of a Windows program already there, or ""
        QTest::newRow("no RUZEZ.EXE") << "";
        QTest::newRow("Windows RUZEZ.EXE") << "RUZEZ.EXE";
        QTest::newRow("lower-case ruzez.exe") << "ruzez.exe";
    }
    void roundTrip()
    {
        QFETCH(QString, existing);
        const QString folder = m_scratch.newFolder();
        test::makeFile(folder + QStringLiteral("/TEMPO.SZK"), test::records({"", "21"}));
        if (!existing.isEmpty()) {
            test::makeFile(folder + QLatin1Char('/') + existing, QByteArray("MZ\x90\0windows", 11));
            QFile::setPermissions(folder + QLatin1Char('/') + existing, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        const QStringList before = snapshot(folder);

        QCOMPARE(runTool({QStringLiteral("install"), folder}).code, 0);
        const QStringList installed = snapshot(folder);
        QCOMPARE(runTool({QStringLiteral("install"), folder}).code, 0);
        QCOMPARE(snapshot(folder), installed);
        const QFileInfo launcher(folder + QStringLiteral("/RUZEZ.EXE"));
        QVERIFY(launcher.isFile() && !launcher.isSymLink() && launcher.isExecutable());
        QVERIFY(test::readAll(launcher.filePath()).startsWith("#!/bin/sh\n"));
        QCOMPARE(QFileInfo::exists(folder + QLatin1Char('/') + existing + QStringLiteral(".windows")),
                 !existing.isEmpty());
        QCOMPARE(installed.size(), before.size() + 1);
        QVERIFY(QString::fromUtf8(runTool({QStringLiteral("status"), folder}).out).contains(QStringLiteral("Installé")));

        const Run uninstall = runTool({QStringLiteral("uninstall"), folder});
        QCOMPARE(uninstall.code, 0);
        QCOMPARE(snapshot(folder), before);
        QCOMPARE(runTool({QStringLiteral("uninstall"), folder}).code, 0);
        QCOMPARE(snapshot(folder), before);
    }

    // A refusal is one French line, a failure code, and an untouched folder.
    void refusals_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("code");
        QTest::newRow("missing folder") << "install" << "missing" << 1;
        QTest::newRow("a file, not a folder") << "install" << "file" << 1;
        QTest::newRow("a kept program already there") << "install" << "kept" << 1;
        QTest::newRow("RUZEZ.EXE is a folder") << "install" << "dir" << 1;
        QTest::newRow("uninstall what is not ours") << "uninstall" << "kept" << 1;
        QTest::newRow("status of a missing folder") << "status" << "missing" << 1;
        QTest::newRow("unknown command") << "installer" << "" << 2;
    }
    void refusals()
    {
        QFETCH(QString, command);
        QFETCH(QString, setup);
        QFETCH(int, code);
        QString folder = m_scratch.newFolder();
        if (setup == QLatin1String("missing"))
            folder += QStringLiteral("/absent");
        if (setup == QLatin1String("file"))
            folder = m_scratch.newFile("x");
        if (setup == QLatin1String("kept")) {
            test::makeFile(folder + QStringLiteral("/RUZEZ.EXE"), "MZ other");
            test::makeFile(folder + QStringLiteral("/RUZEZ.EXE.windows"), "MZ kept");
        }
        if (setup == QLatin1String("dir"))
            QDir().mkpath(folder + QStringLiteral("/RUZEZ.EXE"));
        const QStringList before = QFileInfo(folder).isDir() ? snapshot(folder) : QStringList();

        const Run run = runTool({command, folder});
        QCOMPARE(run.code, code);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
        QVERIFY2(run.err.startsWith(QStringLiteral("ruzez-course : ")), qPrintable(run.err));
        if (QFileInfo(folder).isDir())
            QCOMPARE(snapshot(folder), before);
    }

    // The launcher hands the folder to the browser exactly, whatever its name holds.
    void launcherQuotesTheFolder()
    {
        const QString folder = m_scratch.newFolder() + QStringLiteral("/l'élève $HOME `id` \"x\"");
        const QString script = m_scratch.newPath();
        QVERIFY(test::makeFile(script, course_tool::CourseFolder::launcher(QStringLiteral("/bin/echo"), folder)));
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {script, QStringLiteral("--extra")});
        QVERIFY(sh.waitForFinished());
        QCOMPARE(QString::fromUtf8(sh.readAllStandardOutput()),
                 QStringLiteral("--program-folder ") + folder + QStringLiteral(" --extra\n"));
    }

    void statusTellsWhereTheDiscIs()
    {
        const QString folder = m_scratch.newFolder();
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/dosdevices")));
        QVERIFY(QFile::link(qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/demo/disc"),
                            folder + QStringLiteral("/dosdevices/e:")));
        QFile::copy(qEnvironmentVariable("RUZEZ_PROGRAM_DIR") + QStringLiteral("/environ.mdb"),
                    folder + QStringLiteral("/environ.mdb"));
        const Run run = runTool({QStringLiteral("status"), folder});
        QCOMPARE(run.code, 0);
        const QString out = QString::fromUtf8(run.out);
        QVERIFY2(out.contains(QStringLiteral("Non installé")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("Disque du cours : ") + folder + QStringLiteral("/dosdevices/e:/re2rira/")),
                 qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("environ.mdb se lit")), qPrintable(out));
    }

private:
    test::ScratchFolder m_scratch;
};

QTEST_GUILESS_MAIN(TestRuzezCourse)
#include "tst_ruzez_course.moc"

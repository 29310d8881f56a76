// The teachers' tool, run as they run it, on folders compared byte for byte.

#include "course_folder.h"
#include "program_run.h"
#include "test_files.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

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

    // The launcher hands the browser the folder it lies in when it runs,
    // exactly, whatever its name holds and wherever it was written.
    void launcherQuotesTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("how"); // how the folder reaches the place it runs from
        QTest::newRow("quotes, $, backquotes") << "l'élève $HOME `id` \"x\"" << "";
        QTest::newRow("ends in a line break") << "classe\n" << "";
        QTest::newRow("copied with cp -a") << "modèle" << "cp";
        QTest::newRow("through a link to the folder") << "modèle" << "link";
        QTest::newRow("started as ./RUZEZ.EXE") << "modèle" << "relative";
    }
    void launcherQuotesTheFolder()
    {
        QFETCH(QString, name);
        QFETCH(QString, how);
        const QString parent = m_scratch.newFolder();
        const QString written = parent + QLatin1Char('/') + name;
        QVERIFY(QDir().mkpath(written));
        QVERIFY(test::makeFile(written + QStringLiteral("/RUZEZ.EXE"),
                               course_tool::CourseFolder::launcher(QStringLiteral("/bin/echo"))));
        QString folder = written;
        if (how == QLatin1String("cp")) {
            folder = parent + QStringLiteral("/copie élève");
            QCOMPARE(QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-a"), written, folder}), 0);
            QVERIFY(QDir(written).removeRecursively());
        } else if (how == QLatin1String("link")) {
            folder = parent + QStringLiteral("/lien");
            QVERIFY(QFile::link(written, folder));
        }
        QProcess sh;
        const bool relative = how == QLatin1String("relative");
        sh.setWorkingDirectory(folder);
        sh.start(QStringLiteral("/bin/sh"),
                 {relative ? QStringLiteral("./RUZEZ.EXE") : folder + QStringLiteral("/RUZEZ.EXE"), QStringLiteral("--extra")});
        QVERIFY(sh.waitForFinished());
        QCOMPARE(QString::fromUtf8(sh.readAllStandardOutput()),
                 QStringLiteral("--program-folder ") + folder + QStringLiteral(" --extra\n"));
    }

    // Once the package is removed, starting the course says so in one French
    // line and fails, where it used to fail with the shell's "not found".
    void launcherWithoutTheBrowser()
    {
        const QString folder = m_scratch.newFolder();
        const QString script = folder + QStringLiteral("/RUZEZ.EXE");
        QVERIFY(test::makeFile(script, course_tool::CourseFolder::launcher(folder + QStringLiteral("/absent/ruzez"))));
        QProcess sh;
        sh.start(QStringLiteral("/bin/sh"), {script});
        QVERIFY(sh.waitForFinished());
        QCOMPARE(sh.exitCode(), 127);
        QVERIFY(sh.readAllStandardOutput().isEmpty());
        const QString err = QString::fromUtf8(sh.readAllStandardError());
        QCOMPARE(err.count(QLatin1Char('\n')), 1);
        QVERIFY2(err.startsWith(QStringLiteral("RUZEZ n'est plus installé")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("ruzez-course uninstall ") + folder), qPrintable(err));
    }

    // A launcher written by an earlier version (it named its folder) is still
    // ours: status says so, install writes it afresh, uninstall puts the
    // Windows program back.
    void olderLauncherIsStillOurs()
    {
        const QString folder = m_scratch.newFolder();
        const QString launcher = folder + QStringLiteral("/RUZEZ.EXE");
        QVERIFY(test::makeFile(launcher, "#!/bin/sh\n# RUZEZ launcher written by ruzez-course\n"
                                         "# The course's main program starts RUZEZ.EXE from this folder; Wine runs this\n"
                                         "# script as a Linux program. ruzez-course uninstall removes it.\n"
                                         "exec '/usr/bin/ruzez' --program-folder '/srv/modele' \"$@\"\n"));
        QVERIFY(test::makeFile(folder + QStringLiteral("/RUZEZ.EXE.windows"), "MZ windows"));

        const QString status = QString::fromUtf8(runTool({QStringLiteral("status"), folder}).out);
        QVERIFY2(status.contains(QStringLiteral("autre version")) && status.contains(QStringLiteral("/srv/modele")),
                 qPrintable(status));
        QCOMPARE(runTool({QStringLiteral("install"), folder}).code, 0);
        QVERIFY(!test::readAll(launcher).contains("/srv/modele"));
        QVERIFY(QString::fromUtf8(runTool({QStringLiteral("status"), folder}).out).contains(QStringLiteral("sur le dossier où il se trouve")));
        QCOMPARE(runTool({QStringLiteral("uninstall"), folder}).code, 0);
        QCOMPARE(test::readAll(launcher), QByteArray("MZ windows"));
    }

    // What status says of the files RUZEZ writes, for the user who runs it
    // (as root, for an ordinary user: root may write anything).
    void statusTellsWhatTheUserCanWrite_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("tempoMode"); // 0: no TEMPO.SZK
        QTest::addColumn<QString>("expected");
        QTest::newRow("writable file") << 0755 << 0666 << "TEMPO.SZK : %1 peut l'écrire";
        QTest::newRow("read-only file") << 0777 << 0444 << "TEMPO.SZK : %1 ne peut pas l'écrire";
        QTest::newRow("missing, open folder") << 0777 << 0 << "TEMPO.SZK : absent, %1 peut le créer";
        QTest::newRow("missing, closed folder") << 0555 << 0 << "TEMPO.SZK : absent, et %1 ne peut pas le créer";
    }
    void statusTellsWhatTheUserCanWrite()
    {
        QFETCH(int, folderMode);
        QFETCH(int, tempoMode);
        QFETCH(QString, expected);
        const QString folder = m_scratch.newFolder();
        QVERIFY(::chmod(QFile::encodeName(QFileInfo(folder).path()).constData(), 0755) == 0);
        if (tempoMode) {
            QVERIFY(test::makeFile(folder + QStringLiteral("/TEMPO.SZK"), test::records({"", "21"})));
            QVERIFY(::chmod(QFile::encodeName(folder + QStringLiteral("/TEMPO.SZK")).constData(), tempoMode) == 0);
        }
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), folderMode) == 0);

        QProcess tool;
        const QString program = qEnvironmentVariable("RUZEZ_PROGRAM_DIR") + QStringLiteral("/ruzez-course");
        QString user = qEnvironmentVariable("USER");
        if (::geteuid() == 0) {
            user = QStringLiteral("nobody");
            tool.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                                  QStringLiteral("--clear-groups"), program, QStringLiteral("status"), folder});
        } else {
            tool.start(program, {QStringLiteral("status"), folder});
        }
        QVERIFY(tool.waitForFinished());
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        const QString out = QString::fromUtf8(tool.readAllStandardOutput());
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY2(out.contains(expected.arg(user)), qPrintable(out));
        QCOMPARE(out.count(QStringLiteral("LST : ")), 2);
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

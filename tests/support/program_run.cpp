#include "program_run.h"

#include <QProcess>

namespace ruzez::test {

ProgramRun runProgram(const QString &command, const QStringList &args)
{
    QProcess process;
    process.start(qEnvironmentVariable("RUZEZ_PROGRAM_DIR") + QLatin1Char('/') + command, args);
    ProgramRun result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.code = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace ruzez::test

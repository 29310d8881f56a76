#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ruzez::test {

// What one of the program folder's commands did: its exit code (-1 when it
// did not end by itself within a minute), its output and its messages.
struct ProgramRun
{
    int code = -1;
    QByteArray out;
    QString err;
};

// Runs `command` from the program folder the build lays out, as a user would.
ProgramRun runProgram(const QString &command, const QStringList &args);

} // namespace ruzez::test

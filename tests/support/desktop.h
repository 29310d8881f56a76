#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace ruzez::test {

// Xvfb and openbox for a whole test program, openbox set as a desktop that
// keeps new windows from taking the focus (another program started RUZEZ).
// start() sets DISPLAY for this process and the programs it starts; where
// either is not installed, `missing` says so and the tests skip.
struct Desktop
{
    QTemporaryDir folder;
    QProcess server;
    QProcess windowManager;
    QString missing;

    bool start();
    ~Desktop();
};

} // namespace ruzez::test

// Says "ready" once it watches for the end of the session, and "closing"
// when its closing handlers start; they then never finish.

#include "shell/session_end.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ruzez::SessionEnd sessionEnd([] {
        std::puts("closing");
        std::fflush(stdout);
        for (;;)
            ::pause();
    });
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

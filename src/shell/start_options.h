#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ruzez {

// What the command line asks of the browser. The main course program starts
// it with no argument; a launcher (see ruzez-course) names the program folder.
struct StartOptions
{
    // Where the exchange, favourites, settings, links and help files are.
    QString programFolder;
    // Set when the program must end at once: --help shown (0) or a wrong
    // option (2). The text to print is in `message`.
    std::optional<int> exitCode;
    QString message;
};

// Reads --program-folder DIR (or --program-folder=DIR) and --help from
// `arguments` (the program's name first). Other arguments are left to Qt and
// the web engine. Without the option the program folder is the folder of
// `startedAs`, the path the program was started by, made absolute against
// `workingFolder`: a symbolic link's own folder, not its target's, since a
// course folder may hold a link to the browser installed elsewhere.
StartOptions parseStartOptions(const QStringList &arguments, const QString &startedAs,
                               const QString &workingFolder);

// The same for this process: the path it was started by comes from the
// kernel (AT_EXECFN), or from argv[0] when that is missing. Call it before
// anything changes the working folder.
StartOptions startOptions(int argc, char **argv);

} // namespace ruzez

// ruzez-links: builds, exports and checks the course's links database.

#include "commands.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr const char *kHelp =
    "Usage: ruzez-links COMMAND ARGUMENTS\n"
    "\n"
    "Builds and checks environ.mdb, the links database the browser searches.\n"
    "\n"
    "Commands:\n"
    "  build ROWS.csv environ.mdb    write the database from CSV text (UTF-8, RFC 4180,\n"
    "                                header LinkID,URL,SubCategory,Description)\n"
    "  export environ.mdb            print the table as that CSV text, in stored order\n"
    "  check environ.mdb CONTENT_ROOT\n"
    "                                list every URL that leads to no file under CONTENT_ROOT,\n"
    "                                and those that match a file only when letter case is ignored\n"
    "\n"
    "Exit status: 0 on success, 1 on failure or broken links, 2 for a wrong command line.\n";

struct Command
{
    const char *name;
    int (*run)(const QStringList &, QTextStream &, QTextStream &);
};

// One entry per subcommand; a new one (such as a keyword search) is added here.
constexpr Command kCommands[] = {
    {"build", ruzez::links_tool::buildCommand},
    {"export", ruzez::links_tool::exportCommand},
    {"check", ruzez::links_tool::checkCommand},
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.front() == QLatin1String("--help") || args.front() == QLatin1String("-h")) {
        out << kHelp;
        return args.isEmpty() ? ruzez::links_tool::kUsage : ruzez::links_tool::kSuccess;
    }
    const QString name = args.takeFirst();
    for (const Command &command : kCommands) {
        if (name == QLatin1String(command.name)) {
            if (args.contains(QStringLiteral("--help"))) {
                out << kHelp;
                return ruzez::links_tool::kSuccess;
            }
            return command.run(args, out, err);
        }
    }
    err << "ruzez-links: unknown command \"" << name << "\" (try ruzez-links --help)\n";
    return ruzez::links_tool::kUsage;
}

#include "start_options.h"

#include <QDir>
#include <QFile>

#include <sys/auxv.h>

namespace ruzez {

namespace {

constexpr auto kOption = "--program-folder";

const QString kHelp = QStringLiteral(
    "Usage : ruzez [--program-folder DOSSIER]\n"
    "\n"
    "Navigateur du cours. Le programme principal du cours le lance après avoir écrit\n"
    "l'activité dans TEMPO.SZK, dans le dossier du programme.\n"
    "\n"
    "  --program-folder DOSSIER  dossier du programme (TEMPO.SZK, environ.mdb, FAVORIS.LST,\n"
    "                            PARANET.LST, ZK2.hlp, dosdevices/) ; par défaut le dossier\n"
    "                            du chemin par lequel le programme a été lancé\n"
    "  --help                    affiche cette aide\n");

QString folderOf(const QString &startedAs, const QString &workingFolder)
{
    // Only the text of the path: a link is not followed to its target.
    const QString absolute = QDir::isAbsolutePath(startedAs) ? startedAs : workingFolder + QLatin1Char('/') + startedAs;
    const QString clean = QDir::cleanPath(absolute);
    const qsizetype slash = clean.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : clean.left(slash);
}

} // namespace

StartOptions parseStartOptions(const QStringList &arguments, const QString &startedAs,
                               const QString &workingFolder)
{
    StartOptions options;
    const QString option = QLatin1String(kOption);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.exitCode = 0;
            options.message = kHelp;
            return options;
        }
        QString folder;
        if (argument == option) {
            if (i + 1 == arguments.size() || arguments[i + 1].isEmpty()) {
                options.exitCode = 2;
                options.message = QStringLiteral("ruzez : --program-folder attend un dossier.\n");
                return options;
            }
            folder = arguments[++i];
        } else if (argument.startsWith(option + QLatin1Char('='))) {
            folder = argument.mid(option.size() + 1);
        } else {
            continue;
        }
        options.programFolder = QDir::cleanPath(QDir(workingFolder).absoluteFilePath(folder));
    }
    if (options.programFolder.isEmpty())
        options.programFolder = folderOf(startedAs, workingFolder);
    return options;
}

StartOptions startOptions(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QFile::decodeName(argv[i]);
    const auto *execFn = reinterpret_cast<const char *>(::getauxval(AT_EXECFN));
    const QString startedAs = execFn ? QFile::decodeName(execFn) : arguments.value(0);
    return parseStartOptions(arguments, startedAs, QDir::currentPath());
}

} // namespace ruzez

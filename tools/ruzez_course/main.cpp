// ruzez-course: makes the folder of the course's main Windows program start
// the RUZEZ browser under Wine, undoes it, and tells how the folder stands.

#include "course_folder.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

constexpr const char *kHelp =
    "Usage : ruzez-course COMMANDE DOSSIER\n"
    "\n"
    "Prépare le dossier du programme principal du cours (le programme Windows lancé\n"
    "avec Wine) pour qu'il démarre le navigateur RUZEZ.\n"
    "\n"
    "Commandes :\n"
    "  install DOSSIER     écrit dans DOSSIER le lanceur RUZEZ.EXE, qui démarre ruzez sur le\n"
    "                      dossier où il se trouve (une copie du dossier marche donc seule) ;\n"
    "                      un RUZEZ.EXE qui n'est pas le nôtre est gardé sous le nom\n"
    "                      RUZEZ.EXE.windows. Rien d'autre n'est modifié ; relancer est sans effet.\n"
    "  uninstall DOSSIER   enlève le lanceur et remet en place le RUZEZ.EXE gardé, à l'identique\n"
    "  status DOSSIER      dit si le dossier est prêt, si l'utilisateur peut y écrire TEMPO.SZK,\n"
    "                      FAVORIS.LST et PARANET.LST, où le disque du cours serait trouvé et si\n"
    "                      la table des liens environ.mdb se lit\n"
    "\n"
    "Code de sortie : 0 en cas de réussite, 1 en cas d'échec (le dossier reste tel quel),\n"
    "2 pour une ligne de commande incorrecte.\n";

} // namespace

int main(int argc, char *argv[])
{
    using namespace ruzez::course_tool;
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << kHelp;
        return kSuccess;
    }
    if (args.size() != 2) {
        err << "ruzez-course : il faut une commande et un dossier (ruzez-course --help)." << Qt::endl;
        return kUsage;
    }
    CourseFolder folder(args[1], out, err);
    const QString &command = args[0];
    const QString browser = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ruzez"));
    if (command == QLatin1String("install"))
        return folder.install(browser);
    if (command == QLatin1String("uninstall"))
        return folder.uninstall();
    if (command == QLatin1String("status"))
        return folder.status(browser);
    err << "ruzez-course : commande inconnue « " << command << " » (ruzez-course --help)." << Qt::endl;
    return kUsage;
}

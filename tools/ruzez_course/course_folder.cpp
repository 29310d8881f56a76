#include "course_folder.h"

#include "search/links_table.h"
#include "shell/content_root.h"
#include "shell/drives.h"
#include "shell/program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <pwd.h>
#include <unistd.h>

namespace ruzez::course_tool {

namespace {

constexpr auto kPrefix = "ruzez-course : ";

QByteArray shellQuoted(const QString &text)
{
    QByteArray bytes = QFile::encodeName(text);
    bytes.replace('\'', "'\\''");
    return '\'' + bytes + '\'';
}

bool isLauncherName(const QString &name)
{
    return name.compare(QLatin1String(CourseFolder::kLauncherName), Qt::CaseInsensitive) == 0;
}

} // namespace

CourseFolder::CourseFolder(QString folder, QTextStream &out, QTextStream &err)
    : m_folder(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()))
    , m_out(out)
    , m_err(err)
{
}

QByteArray CourseFolder::launcher(const QString &browser)
{
    // The folder is the one this script lies in when it runs, not the one it
    // was written in: a copy of the folder (cp -a, rsync, a skeleton folder)
    // then keeps its own TEMPO.SZK, favourites and settings. It is taken as
    // the browser takes its own folder, through symbolic links left as they
    // are; the "." after pwd keeps a name ending in a line break whole.
    return "#!/bin/sh\n" + QByteArray(kMarker) + "\n"
        + "# The course's main program starts RUZEZ.EXE from this folder; Wine runs this\n"
          "# script as a Linux program. ruzez-course uninstall removes it.\n"
        + "browser=" + shellQuoted(browser) + "\n"
        + "case $0 in */*) folder=${0%/*} ;; *) folder=. ;; esac\n"
          "folder=$(CDPATH= cd -- \"${folder:-/}\" && pwd && echo .) || exit 1\n"
          "folder=${folder%?.}\n"
          "if [ ! -x \"$browser\" ]; then\n"
          "    printf '%s\\n' \"RUZEZ n'est plus installé sur cet ordinateur ($browser est absent) : \"\\\n"
          "\"réinstallez le paquet ruzez, ou remettez ce dossier comme avant avec \"\\\n"
          "\"« ruzez-course uninstall $folder » ou en renommant RUZEZ.EXE.windows, s'il existe, en RUZEZ.EXE.\" >&2\n"
          "    exit 127\n"
          "fi\n"
          "exec \"$browser\" --program-folder \"$folder\" \"$@\"\n";
}

QString CourseFolder::path(const QString &name) const
{
    return joinPath(m_folder, name);
}

int CourseFolder::fail(const QString &message)
{
    m_err << kPrefix << message << Qt::endl;
    return kFailure;
}

bool CourseFolder::checkFolder(bool forWriting)
{
    const QFileInfo info(m_folder);
    if (!info.exists()) {
        fail(QStringLiteral("le dossier %1 n'existe pas.").arg(m_folder));
        return false;
    }
    if (!info.isDir()) {
        fail(QStringLiteral("%1 n'est pas un dossier.").arg(m_folder));
        return false;
    }
    if (forWriting && ::access(QFile::encodeName(m_folder).constData(), W_OK | X_OK) != 0) {
        fail(QStringLiteral("le dossier %1 est en lecture seule : rien n'a été changé.").arg(m_folder));
        return false;
    }
    return true;
}

CourseFolder::Entry CourseFolder::launcherEntry(QString *name) const
{
    const QStringList names = QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : names) {
        if (!isLauncherName(entry))
            continue;
        *name = entry;
        const QFileInfo info(path(entry));
        if (!info.isSymLink() && info.isDir())
            return Entry::NotAFile;
        QFile file(path(entry));
        if (!info.isSymLink() && file.open(QIODevice::ReadOnly)) {
            const QByteArray head = file.read(256);
            if (head.startsWith("#!/bin/sh\n" + QByteArray(kMarker) + '\n'))
                return Entry::Ours;
        }
        return Entry::Foreign;
    }
    *name = QLatin1String(kLauncherName);
    return Entry::Missing;
}

QString CourseFolder::keptName() const
{
    const QStringList names = QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : names) {
        if (entry.endsWith(QLatin1String(kKeptSuffix)) && isLauncherName(entry.chopped(qstrlen(kKeptSuffix))))
            return entry;
    }
    return {};
}

int CourseFolder::install(const QString &browser)
{
    if (!checkFolder(true))
        return kFailure;
    QString name;
    const Entry entry = launcherEntry(&name);
    if (entry == Entry::NotAFile)
        return fail(QStringLiteral("%1 est un dossier : rien n'a été changé.").arg(path(name)));

    const QByteArray text = launcher(browser);
    if (entry == Entry::Ours) {
        QFile current(path(name));
        if (current.open(QIODevice::ReadOnly) && current.readAll() == text) {
            m_out << "Déjà installé : " << path(name) << " lance " << browser << Qt::endl;
            return kSuccess;
        }
    }

    // The Windows program is kept by renaming: its bytes, rights and dates stay as they were.
    QString kept;
    if (entry == Entry::Foreign) {
        if (!keptName().isEmpty())
            return fail(QStringLiteral("%1 existe déjà : rien n'a été changé.").arg(path(keptName())));
        kept = name + QLatin1String(kKeptSuffix);
        if (!QFile::rename(path(name), path(kept)))
            return fail(QStringLiteral("impossible de renommer %1 : rien n'a été changé.").arg(path(name)));
    }
    const QString target = entry == Entry::Ours ? name : QString::fromLatin1(kLauncherName);
    QSaveFile file(path(target));
    const bool written = file.open(QIODevice::WriteOnly) && file.write(text) == text.size()
        && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                               | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                               | QFileDevice::ExeOther)
        && file.commit();
    if (!written) {
        if (!kept.isEmpty())
            QFile::rename(path(kept), path(name));
        return fail(QStringLiteral("impossible d'écrire %1 (%2) : rien n'a été changé.").arg(path(target), file.errorString()));
    }
    m_out << "Installé : " << path(target) << " lance " << browser << Qt::endl;
    if (!kept.isEmpty())
        m_out << "Le programme Windows " << name << " est gardé sous le nom " << kept << Qt::endl;
    return kSuccess;
}

int CourseFolder::uninstall()
{
    if (!checkFolder(true))
        return kFailure;
    QString name;
    const Entry entry = launcherEntry(&name);
    const QString kept = keptName();
    if (entry != Entry::Ours && entry != Entry::Missing && !kept.isEmpty())
        return fail(QStringLiteral("%1 n'a pas été écrit par ruzez-course : rien n'a été changé.").arg(path(name)));
    if (entry != Entry::Ours && kept.isEmpty()) {
        m_out << "Rien à désinstaller dans " << m_folder << Qt::endl;
        return kSuccess;
    }
    // The kept program takes its name back first: where it was RUZEZ.EXE
    // too, the rename replaces the launcher in one step.
    if (!kept.isEmpty()) {
        const QString original = kept.chopped(qstrlen(kKeptSuffix));
        if (::rename(QFile::encodeName(path(kept)).constData(), QFile::encodeName(path(original)).constData()) != 0)
            return fail(QStringLiteral("impossible de rendre son nom à %1 : rien n'a été changé.").arg(path(kept)));
        m_out << "Le programme Windows " << original << " est remis en place." << Qt::endl;
        if (original == name)
            name.clear();
    }
    if (entry == Entry::Ours && !name.isEmpty() && !QFile::remove(path(name)))
        return fail(QStringLiteral("impossible de supprimer %1.").arg(path(name)));
    m_out << "Désinstallé de " << m_folder << Qt::endl;
    return kSuccess;
}

int CourseFolder::status(const QString &browser)
{
    if (!checkFolder(false))
        return kFailure;
    m_out << "Dossier : " << m_folder << Qt::endl;

    QString name;
    switch (launcherEntry(&name)) {
    case Entry::Ours: {
        QFile file(path(name));
        file.open(QIODevice::ReadOnly);
        const QByteArray text = file.readAll();
        if (text == launcher(browser)) {
            m_out << "Installé : " << name << " lance " << browser << " sur le dossier où il se trouve" << Qt::endl;
        } else {
            // A launcher of an earlier version names the folder it was written
            // in: in a copied folder it starts RUZEZ on the original.
            const QByteArray last = text.trimmed().split('\n').constLast();
            m_out << "Installé : " << name << " est un lanceur de ruzez-course d'une autre version ou modifié ("
                  << QString::fromLocal8Bit(last) << ") ; « ruzez-course install » l'écrit à neuf" << Qt::endl;
        }
        break;
    }
    case Entry::Missing:
        m_out << "Non installé : pas de " << kLauncherName << Qt::endl;
        break;
    default:
        m_out << "Non installé : " << name << " n'est pas le lanceur de ruzez-course" << Qt::endl;
        break;
    }
    if (const QString kept = keptName(); !kept.isEmpty())
        m_out << "Programme Windows gardé : " << kept << Qt::endl;

    // The disc is looked for as the browser looks for it at start-up, without asking for it.
    const QString localStart = path(QStringLiteral("index.html"));
    if (QFileInfo(localStart).isFile()) {
        m_out << "Disque du cours : la page d'accueil du dossier est utilisée (" << localStart << ")" << Qt::endl;
    } else {
        const SystemDrives drives(m_folder);
        QString found;
        for (const QString &root : drives.roots()) {
            if (drives.isFile(root + QLatin1String(kSharedFolder) + QStringLiteral("index.html"))) {
                found = root + QLatin1String(kCourseFolder);
                break;
            }
        }
        if (found.isEmpty())
            m_out << "Disque du cours : introuvable (RUZEZ demandera le CD-ROM)" << Qt::endl;
        else
            m_out << "Disque du cours : " << found << Qt::endl;
    }

    reportWritableFiles();

    const QString database = path(QLatin1String(kLinksDatabase));
    QString error;
    if (!QFileInfo::exists(database))
        m_out << "Table des liens : " << kLinksDatabase << " absent (la recherche ne trouvera rien)" << Qt::endl;
    else if (const auto rows = LinksTable(database).rows(&error))
        m_out << "Table des liens : " << kLinksDatabase << " se lit (" << rows->size() << " liens)" << Qt::endl;
    else
        m_out << "Table des liens : " << kLinksDatabase << " illisible (" << error << ")" << Qt::endl;
    return kSuccess;
}

// RUZEZ rewrites these files in place, record by record: an existing one
// needs only its own write right, a missing one a folder it may create it in.
void CourseFolder::reportWritableFiles()
{
    const passwd *user = ::getpwuid(::geteuid());
    const QString who = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(::geteuid());
    const bool folderWritable = ::access(QFile::encodeName(m_folder).constData(), W_OK | X_OK) == 0;
    for (const char *file : {"TEMPO.SZK", "FAVORIS.LST", "PARANET.LST"}) {
        const QString filePath = path(QLatin1String(file));
        m_out << file << " : ";
        if (QFileInfo::exists(filePath)) {
            const bool writable = ::access(QFile::encodeName(filePath).constData(), W_OK) == 0;
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            if (writable)
                m_out << who << " peut l'écrire" << Qt::endl;
            else
                m_out << who << " ne peut pas l'écrire (" << why << ")" << Qt::endl;
        } else if (folderWritable) {
            m_out << "absent, " << who << " peut le créer" << Qt::endl;
        } else {
            m_out << "absent, et " << who << " ne peut pas le créer (dossier en lecture seule pour lui)" << Qt::endl;
        }
    }
}

} // namespace ruzez::course_tool

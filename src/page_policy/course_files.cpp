#include "page_policy/course_files.h"

#include "page_compat/drive_letters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ruzez {

namespace {

bool isInside(const QString &path, const QString &folder)
{
    if (path == folder)
        return true;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return path.startsWith(prefix);
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The errors that say a name is not there; any other says the disc failed.
bool isAbsence(int error)
{
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP;
}

enum class Presence { There, Absent, Failing };

Presence presence(const QString &path, struct stat *status = nullptr)
{
    struct stat own {};
    if (::stat(QFile::encodeName(path).constData(), status ? status : &own) == 0)
        return Presence::There;
    return isAbsence(errno) ? Presence::Absent : Presence::Failing;
}

// The names in a folder; the error when it cannot be listed, else 0.
int listFolder(const QString &folder, QStringList &names)
{
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(QFile::encodeName(folder).constData()), &::closedir);
    if (!dir)
        return errno;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(dir.get());
        if (!entry)
            return errno;
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << QFile::decodeName(name);
    }
}

QString realPath(const QString &path, bool &failing)
{
    const std::unique_ptr<char, void (*)(void *)> real(::realpath(QFile::encodeName(path).constData(), nullptr),
                                                       &std::free);
    failing = !real && !isAbsence(errno);
    return real ? QFile::decodeName(real.get()) : QString();
}

} // namespace

CourseFiles::CourseFiles(const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (!folder.trimmed().isEmpty() && QDir::isAbsolutePath(folder))
            m_folders << QDir::cleanPath(folder);
    }
}

QString CourseFiles::entryIgnoringCase(const QString &folder, const QString &name)
{
    QStringList entries;
    listFolder(folder, entries);
    return sameIgnoringCase(entries, name);
}

QString CourseFiles::sameIgnoringCase(const QStringList &entries, const QString &name)
{
    QString best;
    QByteArray bestBytes;
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const QByteArray bytes = entry.toUtf8();
        if (best.isEmpty() || bytes < bestBytes) {
            best = entry;
            bestBytes = bytes;
        }
    }
    return best;
}

CourseFiles::Found CourseFiles::find(const QString &path) const
{
    const QString onDrive = courseDrivePath(path, m_folders);
    if (!onDrive.isEmpty())
        return find(onDrive);
    if (!QDir::isAbsolutePath(path))
        return {};
    const QString clean = QDir::cleanPath(path);
    for (const QString &folder : m_folders) {
        if (!isInside(clean, folder))
            continue;
        const QString rest = clean.mid(folder.size());
        return findBelow(folder, rest.split(QLatin1Char('/'), Qt::SkipEmptyParts));
    }
    return {};
}

CourseFiles::Found CourseFiles::findBelow(const QString &folder, const QStringList &elements) const
{
    QString current = folder;
    for (const QString &element : elements) {
        const QString exact = joined(current, element);
        const Presence exactly = presence(exact);
        if (exactly == Presence::Failing)
            return {Kind::Unreadable, exact};
        if (exactly == Presence::There) {
            current = exact;
            continue;
        }
        QStringList entries;
        if (const int error = listFolder(current, entries))
            return {isAbsence(error) ? Kind::Missing : Kind::Unreadable, exact};
        const QString other = sameIgnoringCase(entries, element);
        if (other.isEmpty())
            return {Kind::Missing, exact};
        current = joined(current, other);
    }

    // A link inside the folder may lead anywhere: what counts is where the
    // file really is.
    bool failing = false;
    const QString real = realPath(current, failing);
    bool folderFailing = false;
    const QString realFolder = realPath(folder, folderFailing);
    if (failing || folderFailing)
        return {Kind::Unreadable, current};
    if (real.isEmpty() || realFolder.isEmpty())
        return {Kind::Missing, current};
    if (!isInside(real, realFolder))
        return {};
    struct stat status {};
    switch (presence(current, &status)) {
    case Presence::Failing:
        return {Kind::Unreadable, current};
    case Presence::Absent:
        return {Kind::Missing, current};
    case Presence::There:
        break;
    }
    return {S_ISDIR(status.st_mode) ? Kind::Folder : Kind::File, current};
}

bool CourseFiles::headReadable(const QString &path)
{
    constexpr int kHead = 64 * 1024;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char head[4096];
    ssize_t total = 0;
    bool readable = true;
    while (total < kHead) {
        const ssize_t size = ::read(fd, head, sizeof head);
        if (size < 0 && errno == EINTR)
            continue;
        readable = size >= 0;
        if (size <= 0)
            break;
        total += size;
    }
    ::close(fd);
    return readable;
}

} // namespace ruzez

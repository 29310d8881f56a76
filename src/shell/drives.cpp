#include "drives.h"

#include "program_folder.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

#include <mntent.h>

namespace ruzez {

namespace {

QString withSlash(const QString &path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

bool isRemovableMountPoint(const QString &root)
{
    return root.startsWith(QLatin1String("/media/")) || root.startsWith(QLatin1String("/run/media/"));
}

// The system's own file systems never hold a course; skipping them also
// spares the search hundreds of needless tests on a desktop.
bool isSystemMountPoint(const QString &root)
{
    static const char *const kSystemFolders[] = {"/proc/", "/sys/", "/dev/", "/var/run/", "/var/lock/"};
    for (const char *folder : kSystemFolders) {
        if (root.startsWith(QLatin1String(folder)))
            return true;
    }
    return root.startsWith(QLatin1String("/run/")) && !isRemovableMountPoint(root);
}

} // namespace

bool Drives::isFile(const QString &path) const
{
    return QFileInfo(path).isFile();
}

SystemDrives::SystemDrives(QString programFolder, wine::Environment environment, VolumeProbe probe,
                           QString mountTable)
    : m_programFolder(std::move(programFolder))
    , m_environment(std::move(environment))
    , m_probe(std::move(probe))
    , m_mountTable(std::move(mountTable))
{
}

QStringList SystemDrives::mountedVolumes(const QString &mountTable)
{
    QStringList removable;
    QStringList fixed;
    // getmntent only reads the table: no mount point is touched.
    FILE *table = ::setmntent(QFile::encodeName(mountTable).constData(), "r");
    if (!table)
        return {};
    while (const mntent *entry = ::getmntent(table)) {
        const QString root = withSlash(QFile::decodeName(entry->mnt_dir));
        if (isSystemMountPoint(root))
            continue;
        (isRemovableMountPoint(root) ? removable : fixed).append(root);
    }
    ::endmntent(table);
    std::sort(removable.begin(), removable.end());
    std::sort(fixed.begin(), fixed.end());
    QStringList result = removable + fixed;
    result.removeDuplicates();
    return result;
}

QStringList SystemDrives::roots() const
{
    QStringList result;
    for (const QString &letter : wine::driveLetters(joinPath(m_programFolder, QStringLiteral("dosdevices"))))
        result << withSlash(letter);
    for (const QString &dosdevices : wine::dosdevicesFolders(m_programFolder, m_environment)) {
        for (const QString &letter : wine::driveLetters(dosdevices))
            result << withSlash(letter);
    }
    result += mountedVolumes(m_mountTable);
    result.removeDuplicates();
    return result;
}

bool SystemDrives::isFile(const QString &path) const
{
    return m_probe.isFile(path);
}

} // namespace ruzez

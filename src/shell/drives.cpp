#include "drives.h"

#include "program_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

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

} // namespace

SystemDrives::SystemDrives(QString programFolder)
    : m_programFolder(std::move(programFolder))
{
}

QStringList SystemDrives::roots() const
{
    QStringList result;

    const QString dosdevices = joinPath(m_programFolder, QStringLiteral("dosdevices"));
    for (char letter = 'z'; letter >= 'a'; --letter) {
        const QString mapped = joinPath(dosdevices, QString(QLatin1Char(letter)) + QLatin1Char(':'));
        if (QFileInfo(mapped).isDir())
            result.append(withSlash(mapped));
    }

    QStringList removable;
    QStringList fixed;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = withSlash(volume.rootPath());
        (isRemovableMountPoint(root) ? removable : fixed).append(root);
    }
    std::sort(removable.begin(), removable.end());
    std::sort(fixed.begin(), fixed.end());
    result += removable;
    result += fixed;
    result.removeDuplicates();
    return result;
}

} // namespace ruzez

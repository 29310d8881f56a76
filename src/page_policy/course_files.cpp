#include "page_policy/course_files.h"

#include "page_compat/drive_letters.h"

#include <QDir>
#include <QFileInfo>

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
    QString best;
    QByteArray bestBytes;
    const QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
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
        if (QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        const QString other = entryIgnoringCase(current, element);
        if (other.isEmpty())
            return {Kind::Missing, exact};
        current = joined(current, other);
    }

    // A link inside the folder may lead anywhere: what counts is where the
    // file really is.
    const QFileInfo info(current);
    const QString real = info.canonicalFilePath();
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    if (real.isEmpty() || realFolder.isEmpty())
        return {Kind::Missing, current};
    if (!isInside(real, realFolder))
        return {};
    return {info.isDir() ? Kind::Folder : Kind::File, current};
}

} // namespace ruzez

#include "wine/wine_prefix.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace ruzez::wine {

namespace {

bool isDriveLetterEntry(const QString &name)
{
    return name.size() == 2 && name.at(1) == QLatin1Char(':') && name.at(0).toLatin1() >= 'a'
        && name.at(0).toLatin1() <= 'z';
}

bool isPrefix(const QString &folder)
{
    return QFileInfo(folder + QLatin1String("/drive_c")).isDir()
        && QFileInfo(folder + QLatin1String("/dosdevices")).isDir();
}

// Walks up `path` looking for a prefix: either a dosdevices/<letter>: step
// (the prefix is above dosdevices/) or a drive_c step.
QString prefixOnPath(const QString &path)
{
    const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'));
    for (qsizetype i = parts.size() - 1; i >= 1; --i) {
        const bool letter = isDriveLetterEntry(parts[i]) && parts[i - 1] == QLatin1String("dosdevices");
        const bool driveC = parts[i] == QLatin1String("drive_c");
        if (!letter && !driveC)
            continue;
        const QString prefix = parts.mid(0, letter ? i - 1 : i).join(QLatin1Char('/'));
        if (!prefix.isEmpty() && isPrefix(prefix))
            return prefix;
    }
    return {};
}

} // namespace

Environment Environment::fromSystem()
{
    return {qEnvironmentVariable("WINEPREFIX"), QDir::homePath()};
}

QString prefixHolding(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    QString prefix = prefixOnPath(absolute);
    if (prefix.isEmpty()) {
        const QString canonical = QFileInfo(absolute).canonicalFilePath();
        if (!canonical.isEmpty() && canonical != absolute)
            prefix = prefixOnPath(canonical);
    }
    return prefix;
}

QStringList dosdevicesFolders(const QString &programFolder, const Environment &environment)
{
    QStringList prefixes{prefixHolding(programFolder), environment.winePrefix};
    if (!environment.home.isEmpty())
        prefixes << environment.home + QLatin1String("/.wine");

    QStringList result;
    QStringList seen;
    for (const QString &prefix : std::as_const(prefixes)) {
        if (prefix.isEmpty())
            continue;
        const QString dosdevices = QDir::cleanPath(prefix) + QLatin1String("/dosdevices");
        if (!QFileInfo(dosdevices).isDir())
            continue;
        // The same prefix named twice (~/.wine as $WINEPREFIX too) is looked at once.
        const QString identity = QFileInfo(dosdevices).canonicalFilePath();
        if (seen.contains(identity))
            continue;
        seen << identity;
        result << dosdevices;
    }
    return result;
}

QStringList driveLetters(const QString &dosdevices)
{
    QStringList result;
    for (char letter = 'z'; letter >= 'a'; --letter) {
        const QString entry = dosdevices + QLatin1Char('/') + QLatin1Char(letter) + QLatin1Char(':');
        // lstat: a link to a dead network share must not be followed here.
        struct stat status {};
        if (::lstat(QFile::encodeName(entry).constData(), &status) != 0)
            continue;
        if (S_ISDIR(status.st_mode) || S_ISLNK(status.st_mode))
            result << entry;
    }
    return result;
}

QString windowsPath(const QString &path, const QString &prefix)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString drive = QStringLiteral("Z:");
    QString rest = clean;
    if (!prefix.isEmpty()) {
        const QString driveC = QDir::cleanPath(prefix) + QLatin1String("/drive_c");
        if (clean == driveC || clean.startsWith(driveC + QLatin1Char('/'))) {
            drive = QStringLiteral("C:");
            rest = clean.mid(driveC.size());
        }
    }
    if (rest.isEmpty())
        rest = QStringLiteral("/");
    return drive + QString(rest).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

} // namespace ruzez::wine

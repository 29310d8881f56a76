#include "page_compat/drive_letters.h"

#include <QDir>
#include <QRegularExpression>

namespace ruzez {

QString courseDrivePath(const QString &path, const QStringList &folders)
{
    static const QRegularExpression drive(QStringLiteral("^/?[A-Za-z]:[/\\\\]+([^/\\\\]+)(?:[/\\\\](.*))?$"));
    const QRegularExpressionMatch match = drive.match(path);
    if (!match.hasMatch())
        return {};
    const QString name = match.captured(1);
    QString rest = match.captured(2);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (const QString &folder : folders) {
        const QString clean = QDir::cleanPath(folder);
        if (clean.section(QLatin1Char('/'), -1).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        // "..": the path stays inside the course folder or leads nowhere.
        const QString joined = QDir::cleanPath(clean + QLatin1Char('/') + rest);
        if (joined == clean || joined.startsWith(clean + QLatin1Char('/')))
            return joined;
        return {};
    }
    return {};
}

QUrl driveLetterAddress(const QUrl &url)
{
    if (url.scheme().size() != 1 || !url.scheme().at(0).isLetter())
        return {};
    QString path = url.path(QUrl::FullyDecoded);
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!path.startsWith(QLatin1Char('/')))
        return {};
    QUrl address = QUrl::fromLocalFile(QLatin1Char('/') + url.scheme().toUpper() + QLatin1Char(':') + path);
    address.setQuery(url.query(QUrl::FullyDecoded), QUrl::DecodedMode);
    address.setFragment(url.fragment(QUrl::FullyDecoded), QUrl::DecodedMode);
    return address;
}

} // namespace ruzez

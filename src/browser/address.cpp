#include "browser/address.h"

#include <QRegularExpression>

namespace ruzez {

namespace {

// A scheme has at least two letters, so "D:/x" stays a drive-letter path.
bool hasScheme(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(text).hasMatch();
}

bool startsWithFileScheme(const QString &text)
{
    return text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive);
}

QString rooted(const QString &path)
{
    return path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path;
}

// A plain path names a file literally: only a "#" after the last "/" starts a
// fragment, and no other character has a meaning.
QUrl fromLocalPath(const QString &text)
{
    QString path = text;
    QString fragment;
    const qsizetype hash = path.indexOf(QLatin1Char('#'), path.lastIndexOf(QLatin1Char('/')) + 1);
    if (hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    QUrl url = QUrl::fromLocalFile(rooted(path));
    if (hash >= 0)
        url.setFragment(fragment);
    return url;
}

// "file://" followed by a path, as the program joins it. The text may also
// come back from the engine itself (percent-encoded), so it is read as a
// URL; what follows "file://" is always a path, never a host: with an empty
// root "file://air/page.html" would otherwise name a host "air".
QUrl fromFileAddress(const QString &text)
{
    QString rest = text.mid(5); // after "file:"
    if (rest.startsWith(QLatin1String("//")))
        rest.remove(0, 2);
    if (rest.startsWith(QLatin1String("localhost/"), Qt::CaseInsensitive))
        rest.remove(0, 9);
    return QUrl(QLatin1String("file://") + rooted(rest), QUrl::TolerantMode);
}

} // namespace

QUrl addressToUrl(const QString &address)
{
    QString text = address.trimmed();
    if (text.isEmpty())
        return {};
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (startsWithFileScheme(text))
        return fromFileAddress(text);
    if (hasScheme(text))
        return QUrl(text, QUrl::TolerantMode);
    return fromLocalPath(text);
}

} // namespace ruzez

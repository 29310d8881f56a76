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

// A path names a file literally, whatever its folders are called ("Mes
// cours #1", "prog?", "100%"): only its last element can carry more. There a
// "#" starts the page's anchor, and a "?" before it a query, which no file
// name of a disc written on Windows can hold.
QUrl fromLocalPath(const QString &text)
{
    const qsizetype lastElement = text.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype hash = text.indexOf(QLatin1Char('#'), lastElement);
    const qsizetype end = hash >= 0 ? hash : text.size();
    qsizetype question = text.indexOf(QLatin1Char('?'), lastElement);
    if (question >= end)
        question = -1;

    QUrl url = QUrl::fromLocalFile(rooted(text.left(question >= 0 ? question : end)));
    if (question >= 0)
        url.setQuery(text.mid(question + 1, end - question - 1), QUrl::DecodedMode);
    if (hash >= 0)
        url.setFragment(text.mid(hash + 1), QUrl::DecodedMode);
    return url;
}

// An address the engine reported (kept in the address list or in the
// favourites) is percent-encoded: "%23" for a "#" in a folder's name, "%25"
// for a "%". One the program joined ("file://" + racinesite + page) holds
// the folder's name as it is.
bool isEncoded(const QString &text)
{
    static const QRegularExpression escape(QStringLiteral("%[0-9A-Fa-f]{2}"));
    return escape.match(text).hasMatch();
}

// "file://" followed by a path. What follows "file://" is always a path,
// never a host: with an empty root "file://air/page.html" would otherwise
// name a host "air".
QUrl fromFileAddress(const QString &text)
{
    QString rest = text.mid(5); // after "file:"
    if (rest.startsWith(QLatin1String("//")))
        rest.remove(0, 2);
    if (rest.startsWith(QLatin1String("localhost/"), Qt::CaseInsensitive))
        rest.remove(0, 9);
    if (isEncoded(rest))
        return QUrl(QLatin1String("file://") + rooted(rest), QUrl::TolerantMode);
    return fromLocalPath(rest);
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

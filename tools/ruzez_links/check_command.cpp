#include "commands.h"

#include "search/links_table.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace ruzez::links_tool {

namespace {

enum class Outcome { Found, CaseOnly, Missing };

// The file a course address names, relative to the content root: the
// fragment and query are not part of the file name, and the addresses were
// written on a disc where "\" separates folders.
QString relativePath(const QString &url)
{
    QString path = url;
    path.truncate(path.indexOf(u'#') < 0 ? path.size() : path.indexOf(u'#'));
    path.truncate(path.indexOf(u'?') < 0 ? path.size() : path.indexOf(u'?'));
    path.replace(u'\\', u'/');
    return QUrl::fromPercentEncoding(path.toUtf8());
}

Outcome locate(const QString &root, const QString &url, QString *actual)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    const QString path = relativePath(url);
    if (path.isEmpty() || path.startsWith(u'/') || scheme.match(path).hasMatch())
        return Outcome::Missing;
    const QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    if (parts.contains(QStringLiteral("..")))
        return Outcome::Missing;  // outside the content root
    if (QFileInfo(QDir(root).filePath(parts.join(u'/'))).isFile())
        return Outcome::Found;

    // Walk down the folders comparing names without letter case, as the disc's owners' system did.
    QString current = root;
    QStringList found;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        const QStringList entries = QDir(current).entryList(
            (last ? QDir::Files : QDir::Dirs) | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        QString match;
        for (const QString &entry : entries) {
            if (entry.compare(parts[i], Qt::CaseInsensitive) == 0) {
                match = entry;
                break;
            }
        }
        if (match.isEmpty())
            return Outcome::Missing;
        found << match;
        current = QDir(current).filePath(match);
    }
    *actual = found.join(u'/');
    return Outcome::CaseOnly;
}

} // namespace

// ruzez-links check environ.mdb CONTENT_ROOT: every address that leads to no file.
int checkCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (args.size() != 2) {
        err << "ruzez-links check: expected the database and the content root\n";
        return kUsage;
    }
    if (!QFileInfo(args[1]).isDir()) {
        err << "ruzez-links check: " << args[1] << " is not a folder\n";
        return kFailure;
    }
    QString error;
    const auto rows = LinksTable(args[0]).rows(&error);
    if (!rows) {
        err << "ruzez-links check: " << args[0] << ": " << error << '\n';
        return kFailure;
    }
    int missing = 0;
    int caseOnly = 0;
    for (const LinkRow &row : *rows) {
        QString actual;
        switch (locate(args[1], row.URL, &actual)) {
        case Outcome::Found:
            break;
        case Outcome::Missing:
            ++missing;
            out << "missing: LinkID " << row.LinkID << ": " << row.URL << '\n';
            break;
        case Outcome::CaseOnly:
            ++caseOnly;
            out << "case only: LinkID " << row.LinkID << ": " << row.URL << " is " << actual
                << " on the disc\n";
            break;
        }
    }
    out.flush();
    if (missing + caseOnly == 0)
        return kSuccess;
    err << "ruzez-links check: " << missing << " of " << rows->size()
        << " links lead to no file, " << caseOnly
        << " only when letter case is ignored\n";
    return kFailure;
}

} // namespace ruzez::links_tool

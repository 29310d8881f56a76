#include "commands.h"

#include "search/keyword_search.h"
#include "search/links_table.h"

namespace ruzez::links_tool {

// ruzez-links search [--any|--all] environ.mdb WORD...: the browser's search
// panel, word for word: the words go into the keyword box as typed, joined
// by spaces, and run through the same normalisation and search.
int searchCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    SearchMode mode = SearchMode::AuMoinsUnMot;
    QStringList rest = args;
    while (!rest.isEmpty() && rest.front().startsWith(QLatin1String("--"))) {
        const QString option = rest.takeFirst();
        if (option == QLatin1String("--any"))
            mode = SearchMode::AuMoinsUnMot;
        else if (option == QLatin1String("--all"))
            mode = SearchMode::TousLesMots;
        else {
            err << "ruzez-links search: unknown option " << option << '\n';
            return kUsage;
        }
    }
    if (rest.size() < 2) {
        err << "ruzez-links search: expected the database and at least one word\n";
        return kUsage;
    }
    const QString database = rest.takeFirst();
    const QString box = rest.join(QLatin1Char(' '));
    if (isBlankKeywords(box)) {
        err << "ruzez-links search: the words are blank; the panel would not search\n";
        return kUsage;
    }

    QString error;
    const std::unique_ptr<LinkRows> rows = LinksTable(database).open(&error);
    const KeywordSearch result = keywordSearch(rows.get(), box, mode, &error);
    if (!error.isEmpty())
        err << "ruzez-links search: " << database << ": " << error << '\n';
    out << result.message << '\n';
    for (const SearchHit &hit : result.hits)
        out << hit.title << '\t' << hit.address << '\n';
    return error.isEmpty() ? kSuccess : kFailure;
}

} // namespace ruzez::links_tool

#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace ruzez {

// What a course page tells the program through the injected script
// (scripts/ie_pages.js announce()): a console message of a form no page
// writes by chance. Only messages of pages showing a local file count: a page
// of the web
// could write the same text.
struct PageMessage
{
    enum class Kind {
        Leaving,   // text: what the page's onbeforeunload returned ("" for nothing)
        Favourite, // url, text: window.external.AddFavorite(url, title)
        ReturnValue, // text: a dialog page's window.returnValue, as JSON
    };
    Kind kind = Kind::Leaving;
    QString text;
    QUrl url;
};

std::optional<PageMessage> pageMessage(const QString &message, const QUrl &pageUrl);

// The question before a course page is left, around the page's own text.
QString leavingQuestion(const QString &pageText);

} // namespace ruzez

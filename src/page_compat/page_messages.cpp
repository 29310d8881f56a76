#include "page_compat/page_messages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ruzez {

namespace {

const QString kPrefix = QStringLiteral("\u0001ruzez:");
// A page's text in a box stays on the screen.
constexpr qsizetype kLongestText = 1000;

QJsonValue payload(const QString &json)
{
    // Wrapped, so that a bare string or number is a document too.
    const QJsonDocument document = QJsonDocument::fromJson(QStringLiteral("[%1]").arg(json).toUtf8());
    return document.isArray() && document.array().size() == 1 ? document.array().at(0) : QJsonValue();
}

} // namespace

std::optional<PageMessage> pageMessage(const QString &message, const QUrl &pageUrl)
{
    if (!message.startsWith(kPrefix) || !pageUrl.isLocalFile())
        return std::nullopt;
    const QString rest = message.mid(kPrefix.size());
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    const QString kind = rest.left(colon);
    const QJsonValue value = payload(rest.mid(colon + 1));
    if (kind == QLatin1String("leaving") && value.isString())
        return PageMessage{PageMessage::Kind::Leaving, value.toString().left(kLongestText), {}};
    if (kind == QLatin1String("returnValue") && !value.isUndefined()) {
        const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
        return PageMessage{PageMessage::Kind::ReturnValue, QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2)), {}};
    }
    if (kind == QLatin1String("favourite") && value.isObject()) {
        const QJsonObject object = value.toObject();
        const QUrl url(object.value(QLatin1String("url")).toString());
        if (!url.isValid() || url.isRelative())
            return std::nullopt;
        return PageMessage{PageMessage::Kind::Favourite,
                           object.value(QLatin1String("title")).toString().left(kLongestText), url};
    }
    return std::nullopt;
}

QString leavingQuestion(const QString &pageText)
{
    return QStringLiteral("Voulez-vous vraiment quitter cette page ?\n\n%1\n\n"
                          "Appuyez sur OK pour continuer, ou sur Annuler pour rester sur la page actuelle.")
        .arg(pageText);
}

} // namespace ruzez

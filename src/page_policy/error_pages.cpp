#include "page_policy/error_pages.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

namespace ruzez {

namespace {

constexpr int kGiveUpMs = 2000;

struct Text
{
    const char *title;
    const char *body;
};

Text textFor(ErrorPages::Reason reason)
{
    switch (reason) {
    case ErrorPages::Reason::Unreachable:
        return {"Site inaccessible",
                "Ce site ne peut pas être atteint. Vérifiez que l'ordinateur est relié à Internet, "
                "puis cliquez sur Actualiser."};
    case ErrorPages::Reason::Refused:
        return {"Page non autorisée", "Ce navigateur n'ouvre que les pages du cours."};
    case ErrorPages::Reason::Folder:
        return {"Dossier",
                "Cette adresse désigne un dossier et non une page : le contenu des dossiers n'est "
                "pas affiché."};
    case ErrorPages::Reason::Unreadable:
        return {"Le disque du cours ne peut pas être lu",
                "Cette page fait partie du cours, mais le disque ou le dossier partagé qui la contient "
                "ne peut pas être lu. Vérifiez le disque, puis cliquez sur Actualiser."};
    case ErrorPages::Reason::NotAnswering:
        return {"Le disque du cours ne répond pas",
                "Le disque ou le dossier partagé qui contient le cours ne répond pas. Attendez un "
                "instant, puis cliquez sur Actualiser."};
    case ErrorPages::Reason::Missing:
        break;
    }
    return {"Page introuvable", "Cette page n'existe pas dans le cours."};
}

// A script literal for any text, quotes and line ends included.
QString scriptString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

} // namespace

ErrorPages::ErrorPages(QWebEnginePage *page)
    : QObject(page)
    , m_page(page)
{
    m_giveUp.setSingleShot(true);
    m_giveUp.setInterval(kGiveUpMs);
    connect(&m_giveUp, &QTimer::timeout, this, &ErrorPages::finish);
}

ErrorPages::Reason ErrorPages::reasonFor(const QUrl &url)
{
    if (!url.isLocalFile())
        return Reason::Unreachable;
    // Our policy refuses files outside the course and folders; a file that
    // can be read and was refused all the same lies outside.
    const QFileInfo file(url.toLocalFile());
    if (file.isDir())
        return Reason::Folder;
    return file.isFile() && file.isReadable() ? Reason::Refused : Reason::Missing;
}

ErrorPages::Reason ErrorPages::reasonFor(const QWebEngineLoadingInfo &info) const
{
    if (!m_reasons || !info.url().isLocalFile())
        return reasonFor(info.url());
    if (const std::optional<Reason> known = m_reasons(info.url()))
        return *known;
    // Let through, then failed: gone since, or the disc failed the read.
    constexpr int kFileNotFound = -6;
    return info.errorCode() == kFileNotFound ? Reason::Missing : Reason::Unreadable;
}

QString ErrorPages::html(Reason reason)
{
    const Text text = textFor(reason);
    return QStringLiteral("<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\">"
                          "<title>%1</title></head>"
                          "<body style=\"font-family: sans-serif; margin: 2em\">"
                          "<h2>%1</h2><p>%2</p>"
                          "<p>Cliquez sur Précédent pour revenir à la page d'avant.</p>"
                          "</body></html>")
        .arg(QString::fromUtf8(text.title), QString::fromUtf8(text.body));
}

void ErrorPages::loadEnded(const QWebEngineLoadingInfo &info, std::function<void()> ended)
{
    finish(); // a load that ends supersedes a page still being written
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus || !info.isErrorPage()) {
        ended();
        return;
    }
    m_ended = std::move(ended);
    m_giveUp.start();
    const QString script = QStringLiteral("document.open();document.write(%1);document.close();")
                               .arg(scriptString(html(reasonFor(info))));
    // An answer from an earlier page must not end this one.
    const int serial = ++m_serial;
    m_page->runJavaScript(script, [self = QPointer<ErrorPages>(this), serial](const QVariant &) {
        if (self && self->m_serial == serial)
            self->finish();
    });
}

void ErrorPages::finish()
{
    m_giveUp.stop();
    if (auto ended = std::exchange(m_ended, nullptr))
        ended();
}

} // namespace ruzez

#include "page_compat/modal_dialogs.h"

#include "page_compat/compat_script.h"
#include "page_compat/page_messages.h"
#include "page_compat/popup_compat.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QUrlQuery>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

namespace ruzez {

namespace {

// The old engine's size for a dialog that names none.
const QSize kDefaultSize(400, 300);

QJsonValue fromJson(const QString &text)
{
    const QJsonDocument document = QJsonDocument::fromJson(QStringLiteral("[%1]").arg(text).toUtf8());
    return document.isArray() && document.array().size() == 1 ? document.array().at(0) : QJsonValue();
}

QString toJson(const QJsonValue &value)
{
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}

int featurePixels(const QString &features, const QString &name, int fallback)
{
    const QRegularExpression pattern(QStringLiteral("(?:^|[;,])\\s*%1\\s*[:=]\\s*(\\d+)").arg(name),
                                     QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(features);
    return match.hasMatch() ? match.captured(1).toInt() : fallback;
}

// The dialog's page hands each returnValue it is given to the program as it
// is set: however the window closes (window.close(), its close box, Escape),
// the last one is the answer.
const char kDialogScript[] = R"js((function () {
    var value;
    Object.defineProperty(window, 'returnValue', {
        get: function () { return value; },
        set: function (v) {
            value = v;
            var text;
            try { text = JSON.stringify(v === undefined ? null : v); } catch (e) { text = 'null'; }
            console.debug('\u0001ruzez:returnValue:' + (text === undefined ? 'null' : text));
        },
        configurable: true
    });
    window.dialogArguments = %1;
})();)js";

class DialogPage : public QWebEnginePage
{
public:
    DialogPage(QWebEngineProfile *profile, ModalDialogWindow *window, QObject *parent)
        : QWebEnginePage(profile, parent)
        , m_window(window)
    {
    }

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int,
                                  const QString &) override
    {
        const auto said = pageMessage(message, url());
        if (said && said->kind == PageMessage::Kind::ReturnValue)
            m_window->setReturnValue(fromJson(said->text));
    }

private:
    ModalDialogWindow *m_window;
};

} // namespace

void registerModalDialogScheme()
{
    QWebEngineUrlScheme scheme(kModalDialogScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QSize modalDialogSize(const QString &features)
{
    return QSize(featurePixels(features, QStringLiteral("dialogWidth"), kDefaultSize.width()),
                 featurePixels(features, QStringLiteral("dialogHeight"), kDefaultSize.height()));
}

ModalDialogWindow::ModalDialogWindow(QWebEngineProfile *profile, const QUrl &url, const QJsonValue &arguments,
                                     const QString &features, QWidget *parent)
    : QDialog(parent)
    , m_view(new QWebEngineView(this))
{
    setModal(true);
    auto *page = new DialogPage(profile, this, m_view); // the view owns its page
    QWebEngineScript script;
    script.setSourceCode(QString::fromLatin1(kDialogScript).arg(toJson(arguments)));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    page->scripts().insert(script);
    m_view->setPage(page);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(QPoint(), kDefaultSize);
    QRect area(QPoint(), modalDialogSize(features));
    area.moveCenter(available.center());
    area.moveTo(featurePixels(features, QStringLiteral("dialogLeft"), area.left()),
                featurePixels(features, QStringLiteral("dialogTop"), area.top()));
    setGeometry(popupPageArea(area, available, QMargins()));

    connect(m_view, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
    connect(page, &QWebEnginePage::windowCloseRequested, this, &QDialog::accept);
    m_view->load(url);
}

ModalDialogs::ModalDialogs(QWebEngineProfile *profile, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_profile(profile)
    , m_dialogProfile(new QWebEngineProfile(this))
{
    m_profile->installUrlSchemeHandler(kModalDialogScheme, this);
    m_dialogProfile->installUrlSchemeHandler(kModalDialogScheme, this);
    m_dialogProfile->scripts()->insert(compatScript());
}

ModalDialogs::~ModalDialogs()
{
    m_profile->removeUrlSchemeHandler(this);
    m_dialogProfile->removeUrlSchemeHandler(this);
}

void ModalDialogs::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrlQuery query(job->requestUrl());
    const QUrl url(query.queryItemValue(QStringLiteral("url"), QUrl::FullyDecoded));
    if (!job->initiator().isLocalFile() || !url.isLocalFile()) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    // The engine's own work must go on while the dialog shows: the window
    // is modal to the pupil, not to the engine, and the request is answered
    // when it closes. The opener's page waits meanwhile, as it did.
    const QPointer<QWebEngineUrlRequestJob> request(job);
    auto *window = new ModalDialogWindow(m_dialogProfile, url,
                                         fromJson(query.queryItemValue(QStringLiteral("arguments"), QUrl::FullyDecoded)),
                                         query.queryItemValue(QStringLiteral("features"), QUrl::FullyDecoded));
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &QDialog::finished, this, [window, request] {
        // The opener may have gone meanwhile, and its request with it.
        if (!request)
            return;
        auto *reply = new QBuffer(request);
        reply->setData(toJson(window->returnValue()).toUtf8());
        request->reply("application/json", reply);
    });
    window->show();
    emit dialogShown(window);
}

} // namespace ruzez

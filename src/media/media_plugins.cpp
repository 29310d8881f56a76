#include "media/media_plugins.h"

#include "media/embed_attributes.h"
#include "media/midi_synth.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrlQuery>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

// Outside any namespace, as Qt asks of a static library's resources.
static void initMediaResources()
{
    Q_INIT_RESOURCE(media);
}

namespace ruzez {

namespace {

const QString kScriptName = QStringLiteral("ruzez-media");

const char *kindName(EmbedAttributes::Kind kind)
{
    switch (kind) {
    case EmbedAttributes::Kind::Flash:
        return "flash";
    case EmbedAttributes::Kind::Midi:
        return "midi";
    case EmbedAttributes::Kind::Audio:
        return "audio";
    case EmbedAttributes::Kind::Video:
        return "video";
    case EmbedAttributes::Kind::Undecodable:
        return "undecodable";
    default:
        return "none";
    }
}

QByteArray mimeTypeOf(const QString &name)
{
    if (name.endsWith(QLatin1String(".wasm")))
        return "application/wasm";
    if (name.endsWith(QLatin1String(".js")))
        return "text/javascript";
    if (name.endsWith(QLatin1String(".json")))
        return "application/json";
    return "application/octet-stream";
}

void replyWith(QWebEngineUrlRequestJob *job, const QByteArray &mimeType, const QByteArray &body)
{
    auto *buffer = new QBuffer(job);
    buffer->setData(body);
    job->reply(mimeType, buffer);
}

QByteArray randomKey()
{
    QByteArray bytes(24, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    return bytes.toHex();
}

QString pageScript(const QByteArray &key)
{
    QFile file(QStringLiteral(":/media/media_page.js"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll())
        .replace(QLatin1String("@KEY@"), QLatin1String(key))
        .replace(QLatin1String("@SCHEME@"), QLatin1String(MediaPlugins::kScheme));
}

} // namespace

void MediaPlugins::registerScheme()
{
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    // Reached by local pages only, with fetch() as well as <script>.
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::CorsEnabled
                    | QWebEngineUrlScheme::SecureScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

// A launcher may name another program folder than the executable's.
QString MediaPlugins::playerFolder(const QString &programFolder)
{
    const QDir executable(QCoreApplication::applicationDirPath());
    for (const QString &folder : {QDir(programFolder).filePath(QStringLiteral("ruffle")),
                                  executable.filePath(QStringLiteral("ruffle"))}) {
        if (QFile::exists(folder))
            return folder;
    }
    return QDir::cleanPath(executable.filePath(QStringLiteral("../share/ruzez/ruffle")));
}

MediaPlugins::MediaPlugins(QWebEngineProfile *profile, QString playerFolder, MidiSynth &midi,
                           CourseFile courseFile, OpenOutside openOutside, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent)
    , m_profile(profile)
    , m_playerFolder(std::move(playerFolder))
    , m_midi(midi)
    , m_courseFile(std::move(courseFile))
    , m_openOutside(std::move(openOutside))
    , m_key(randomKey())
{
    initMediaResources();
    // The plug-ins started their sound and animations with the page.
    m_profile->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    // The engine's own PDF viewer, in the window.
    m_profile->settings()->setAttribute(QWebEngineSettings::PluginsEnabled, true);
    m_profile->settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    m_profile->installUrlSchemeHandler(kScheme, this);

    QWebEngineScript script;
    script.setName(kScriptName);
    script.setSourceCode(pageScript(m_key));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    m_profile->scripts()->insert(script);
}

MediaPlugins::~MediaPlugins()
{
    m_midi.stop();
    for (const QWebEngineScript &script : m_profile->scripts()->find(kScriptName))
        m_profile->scripts()->remove(script);
    m_profile->removeUrlSchemeHandler(this);
}

void MediaPlugins::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl initiator = job->initiator();
    if (initiator.scheme() != QLatin1String("file")) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    const QString path = job->requestUrl().path();
    if (path.startsWith(QLatin1String("/ruffle/"))) {
        serveFile(job, path.mid(8));
        return;
    }
    if (QUrlQuery(job->requestUrl()).queryItemValue(QStringLiteral("key")).toLatin1() != m_key) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    if (path == QLatin1String("/describe"))
        describe(job);
    else if (path == QLatin1String("/midi"))
        playMidi(job);
    else if (path == QLatin1String("/open"))
        open(job);
    else
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

// Only the player's own files, by plain name: nothing else of the disk.
void MediaPlugins::serveFile(QWebEngineUrlRequestJob *job, const QString &name)
{
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9._-]*$"));
    auto file = std::make_unique<QFile>(QDir(m_playerFolder).filePath(name));
    if (!plainName.match(name).hasMatch() || !file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QFile *device = file.release();
    device->setParent(job);
    job->reply(mimeTypeOf(name), device);
}

void MediaPlugins::describe(QWebEngineUrlRequestJob *job)
{
    const QUrlQuery query(job->requestUrl());
    const QJsonObject given = QJsonDocument::fromJson(
        query.queryItemValue(QStringLiteral("attributes"), QUrl::FullyDecoded).toUtf8()).object();
    QHash<QString, QString> attributes;
    for (auto it = given.begin(); it != given.end(); ++it)
        attributes.insert(it.key().toLower(), it.value().toString());
    const EmbedAttributes media = EmbedAttributes::read(query.queryItemValue(QStringLiteral("tag")), attributes);
    const QJsonObject answer{
        {QStringLiteral("kind"), QLatin1String(kindName(media.kind))},
        {QStringLiteral("source"), media.source},
        {QStringLiteral("autostart"), media.autostart},
        {QStringLiteral("hidden"), media.hidden},
        {QStringLiteral("loops"), media.loops},
        {QStringLiteral("volume"), media.volume},
    };
    replyWith(job, "application/json", QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

// The answer waits until the sound is replaced or the request goes: the
// engine drops the request with the page, and the sound with it.
void MediaPlugins::playMidi(QWebEngineUrlRequestJob *job)
{
    const QUrlQuery query(job->requestUrl());
    const QString path = m_courseFile(QUrl(query.queryItemValue(QStringLiteral("src"), QUrl::FullyDecoded)));
    if (m_midiRequest) {
        m_midiRequest->disconnect(this);
        replyWith(m_midiRequest, "text/plain", "replaced");
    }
    m_midiRequest = nullptr;
    bool number = false;
    const int loops = query.queryItemValue(QStringLiteral("loops")).toInt(&number);
    const double volume = query.queryItemValue(QStringLiteral("volume")).toDouble();
    if (path.isEmpty() || !m_midi.play(path, number ? loops : 1, volume)) {
        m_midi.stop();
        job->fail(QWebEngineUrlRequestJob::RequestFailed);
        return;
    }
    m_midiRequest = job;
    connect(job, &QObject::destroyed, this, &MediaPlugins::onMidiRequestGone);
}

void MediaPlugins::onMidiRequestGone(QObject *)
{
    m_midi.stop();
}

void MediaPlugins::open(QWebEngineUrlRequestJob *job)
{
    const QUrl url(QUrlQuery(job->requestUrl()).queryItemValue(QStringLiteral("src"), QUrl::FullyDecoded));
    const QString path = m_courseFile(url);
    if (path.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    replyWith(job, "text/plain", "ok");
    m_openOutside(QUrl::fromLocalFile(path));
}

} // namespace ruzez

#include "embed_attributes.h"

#include <QFileInfo>
#include <QUrl>

#include <cmath>
#include <optional>

namespace ruzez {

namespace {

// The player the course's browser used for sound counted volume in
// hundredths of a decibel, from -10000 (silence) up to 0 (as recorded).
constexpr double kQuietest = -10000.0;

const QString kFlashClassId = QStringLiteral("clsid:d27cdb6e-ae6d-11cf-96b8-444553540000");

QString first(const QHash<QString, QString> &attributes, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        const auto found = attributes.constFind(QLatin1String(name));
        if (found != attributes.constEnd() && !found->trimmed().isEmpty())
            return found->trimmed();
    }
    return {};
}

// "true", "yes", "1" and "-1" (a Visual Basic True) all meant yes.
std::optional<bool> flag(const QString &text)
{
    const QString value = text.toLower();
    if (value == QLatin1String("true") || value == QLatin1String("yes") || value == QLatin1String("1")
        || value == QLatin1String("-1"))
        return true;
    if (value == QLatin1String("false") || value == QLatin1String("no") || value == QLatin1String("0"))
        return false;
    return std::nullopt;
}

// "-1", "infinite" and "true" loop for ever; a count plays that many times;
// "false", "0" or nothing readable plays once.
int loopsFrom(const QString &text)
{
    const QString value = text.toLower();
    if (value == QLatin1String("infinite") || value == QLatin1String("true") || value == QLatin1String("-1"))
        return EmbedAttributes::kForever;
    bool number = false;
    const int count = value.toInt(&number);
    return number && count > 0 ? count : 1;
}

// Hundredths of a decibel; anything above 0 was held at 0 by the player
// (a Netscape page's volume="50" played at full volume there).
double volumeFrom(const QString &text)
{
    bool number = false;
    const double level = text.toDouble(&number);
    if (!number || level >= 0)
        return 1.0;
    if (level <= kQuietest)
        return 0.0;
    return std::pow(10.0, level / 2000.0);
}

EmbedAttributes::Kind kindOf(const QString &source, const QString &type, const QString &classId)
{
    using Kind = EmbedAttributes::Kind;
    const QString mime = type.toLower();
    if (classId.toLower() == kFlashClassId || mime == QLatin1String("application/x-shockwave-flash"))
        return Kind::Flash;
    const QString suffix = QFileInfo(QUrl(source).path()).suffix().toLower();
    if (suffix == QLatin1String("swf"))
        return Kind::Flash;
    static const QStringList midi{"mid", "midi", "rmi", "kar"};
    static const QStringList audio{"wav", "mp3", "ogg", "oga", "m4a", "aac", "flac", "opus"};
    static const QStringList video{"mp4", "m4v", "webm", "ogv"};
    static const QStringList undecodable{"avi", "wmv", "asf", "mpg", "mpeg", "mov", "qt", "rm", "ram", "divx"};
    if (midi.contains(suffix) || mime == QLatin1String("audio/midi") || mime == QLatin1String("audio/mid")
        || mime == QLatin1String("audio/x-midi"))
        return Kind::Midi;
    if (audio.contains(suffix))
        return Kind::Audio;
    if (video.contains(suffix))
        return Kind::Video;
    if (undecodable.contains(suffix) || mime == QLatin1String("video/x-msvideo")
        || mime == QLatin1String("video/avi") || mime == QLatin1String("video/x-ms-wmv"))
        return Kind::Undecodable;
    return Kind::None;
}

} // namespace

EmbedAttributes EmbedAttributes::read(const QString &tag, const QHash<QString, QString> &attributes)
{
    EmbedAttributes media;
    media.source = first(attributes, {"src", "data", "filename", "url", "movie"});
    media.kind = kindOf(media.source, first(attributes, {"type"}), first(attributes, {"classid"}));
    if (media.source.isEmpty() && media.kind != Kind::Flash)
        media.kind = Kind::None;
    media.volume = volumeFrom(first(attributes, {"volume"}));
    // A background sound always started with the page and was never seen.
    if (tag.compare(QLatin1String("bgsound"), Qt::CaseInsensitive) == 0) {
        media.hidden = true;
        media.loops = loopsFrom(first(attributes, {"loop"}));
        return media;
    }
    media.autostart = flag(first(attributes, {"autostart", "autoplay"})).value_or(true);
    media.hidden = flag(first(attributes, {"hidden"})).value_or(false);
    const QString count = first(attributes, {"playcount"});
    media.loops = loopsFrom(count.isEmpty() ? first(attributes, {"loop"}) : count);
    return media;
}

} // namespace ruzez

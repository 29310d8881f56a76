#pragma once

#include <QHash>
#include <QString>

namespace ruzez {

// What a 2000-era page asked of a plug-in through <bgsound>, <embed> or
// <object> (its attributes and <param>s, names in lower case), read the way
// the course's first browser read them, so that the sound plays as long, as
// loud and as visibly as it did there.
struct EmbedAttributes
{
    enum class Kind {
        None,        // nothing for us: the engine or another part deals with it
        Flash,       // Ruffle takes it over
        Midi,        // our synthesiser
        Audio,       // the engine plays it in place
        Video,       // the engine plays it in place
        Undecodable, // a video the engine cannot decode: the desktop's player, on a click
    };

    Kind kind = Kind::None;
    QString source;        // as written in the page, relative or not
    bool autostart = true;
    bool hidden = false;
    int loops = 1;         // kForever: until the page is left
    double volume = 1.0;   // linear gain, 0 (silent) to 1 (as recorded)

    static constexpr int kForever = -1;

    // tag: "bgsound", "embed" or "object".
    static EmbedAttributes read(const QString &tag, const QHash<QString, QString> &attributes);
};

} // namespace ruzez

#pragma once

#include <QByteArray>
#include <QPointer>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <functional>

class QWebEngineProfile;
class QWebEngineUrlRequestJob;

namespace ruzez {

class MidiSynth;

// The plug-ins course pages were written for, for every page of a profile:
// a script in each course page (media_page.js) finds the page's <object>,
// <embed>, <bgsound> and applets and asks this, through a scheme of our
// own, what they are and for what it cannot do itself:
//   ruzez-media:/ruffle/<file>  the Flash player's files, shipped with us
//   ruzez-media:/describe       what an element's attributes ask for
//   ruzez-media:/midi           plays a MIDI file for as long as the request
//                               stays open: leaving or closing the page, or
//                               the page's stop button, cancels it
//   ruzez-media:/open           a video for the desktop's player
// Only course pages (file:) reach the scheme; all but the Flash player's
// files need the key that only our script knows, so a page's own script
// cannot start sound or an outside program by itself.
class MediaPlugins : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    // The local path of a file pages may open, or empty.
    using CourseFile = std::function<QString(const QUrl &url)>;
    // Hands a file to the desktop, on the pupil's click.
    using OpenOutside = std::function<void(const QUrl &url)>;

    static constexpr char kScheme[] = "ruzez-media";

    // Before the application object: the engine reads schemes once.
    static void registerScheme();
    // Where the Flash player is: beside the program (as the build lays it
    // out), or where the package installs it.
    static QString playerFolder(const QString &programFolder);

    MediaPlugins(QWebEngineProfile *profile, QString playerFolder, MidiSynth &midi,
                 CourseFile courseFile, OpenOutside openOutside, QObject *parent = nullptr);
    ~MediaPlugins() override;

    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    void serveFile(QWebEngineUrlRequestJob *job, const QString &name);
    void describe(QWebEngineUrlRequestJob *job);
    void playMidi(QWebEngineUrlRequestJob *job);
    void open(QWebEngineUrlRequestJob *job);
    void onMidiRequestGone(QObject *job);

    QWebEngineProfile *m_profile;
    QString m_playerFolder;
    MidiSynth &m_midi;
    CourseFile m_courseFile;
    OpenOutside m_openOutside;
    QByteArray m_key;
    // The request of the MIDI playing; its end ends the sound.
    QPointer<QWebEngineUrlRequestJob> m_midiRequest;
};

} // namespace ruzez

#pragma once

#include <QProcess>
#include <QTemporaryDir>

namespace ruzez::test {

// A PulseAudio server of the test's own with one null sink, made the sound
// output of this process (and of the engine's processes it starts) through
// PULSE_SERVER: what reaches it can be listened to on its monitor.
class NullSoundSink
{
public:
    NullSoundSink();
    ~NullSoundSink();

    bool ready() const { return m_ready; }
    // The streams playing into the sink now.
    int streams() const;
    // The loudest 16-bit sample heard on the sink during `milliseconds`
    // (the recorder itself takes a moment to start: a second or more).
    int peak(int milliseconds) const;

private:
    QString pactl(const QStringList &arguments) const;

    QTemporaryDir m_dir;
    QProcess m_server;
    bool m_ready = false;
};

} // namespace ruzez::test

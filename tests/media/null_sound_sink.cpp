#include "null_sound_sink.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QtEndian>

namespace ruzez::test {

namespace {

const QString kSink = QStringLiteral("ruzez_test");

} // namespace

NullSoundSink::NullSoundSink()
{
    const QString socket = m_dir.filePath(QStringLiteral("native"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Its own home and runtime folders: nothing of a desktop session is used.
    environment.insert(QStringLiteral("HOME"), m_dir.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
    m_server.setProcessEnvironment(environment);
    m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_server.start(QStringLiteral("pulseaudio"),
                   {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                    QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-level=error"),
                    QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=%1").arg(kSink),
                    QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1").arg(socket)});
    if (!m_server.waitForStarted())
        return;
    qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && !(m_ready = pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")}).contains(kSink)))
        QThread::msleep(100);
}

NullSoundSink::~NullSoundSink()
{
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
    m_server.waitForFinished();
}

QString NullSoundSink::pactl(const QStringList &arguments) const
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

int NullSoundSink::streams() const
{
    return pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .size();
}

int NullSoundSink::peak(int milliseconds) const
{
    QProcess recorder;
    recorder.start(QStringLiteral("parec"), {QStringLiteral("--device=%1.monitor").arg(kSink),
                                             QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                                             QStringLiteral("--rate=8000"), QStringLiteral("--raw")});
    recorder.waitForStarted();
    QThread::msleep(milliseconds);
    recorder.terminate();
    recorder.waitForFinished(5000);
    const QByteArray samples = recorder.readAllStandardOutput();
    int loudest = 0;
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
        loudest = std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(samples.constData() + i))));
    return loudest;
}

} // namespace ruzez::test

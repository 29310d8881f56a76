#include "legacy_media.h"

#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>


#include <cmath>

namespace ruzez::test {

namespace {

constexpr int kTwipsPerPixel = 20;

void appendLE16(QByteArray &bytes, quint16 value)
{
    bytes.append(char(value & 0xff)).append(char(value >> 8));
}

void appendLE32(QByteArray &bytes, quint32 value)
{
    appendLE16(bytes, quint16(value & 0xffff));
    appendLE16(bytes, quint16(value >> 16));
}

void appendBE32(QByteArray &bytes, quint32 value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xff));
}

// The stage rectangle: 5 bits of field size, then four fields, packed.
QByteArray rect(int width, int height)
{
    constexpr int kBits = 16;
    const quint32 fields[] = {0, quint32(width * kTwipsPerPixel), 0, quint32(height * kTwipsPerPixel)};
    QByteArray bytes;
    quint64 acc = kBits;
    int used = 5;
    const auto flush = [&] {
        while (used >= 8) {
            bytes.append(char((acc >> (used - 8)) & 0xff));
            used -= 8;
        }
    };
    for (quint32 field : fields) {
        acc = (acc << kBits) | field;
        used += kBits;
        flush();
    }
    if (used > 0)
        bytes.append(char((acc << (8 - used)) & 0xff));
    return bytes;
}

QByteArray shortTag(int code, const QByteArray &body)
{
    QByteArray tag;
    appendLE16(tag, quint16((code << 6) | body.size()));
    return tag + body;
}

} // namespace

QByteArray swfFilledWith(const QColor &colour, int width, int height)
{
    QByteArray body = rect(width, height);
    appendLE16(body, 12 << 8); // 12 frames a second
    appendLE16(body, 1);       // one frame
    body += shortTag(9, QByteArray() + char(colour.red()) + char(colour.green()) + char(colour.blue()));
    body += shortTag(1, {}); // ShowFrame
    body += shortTag(0, {}); // End
    QByteArray swf("FWS");
    swf.append(char(5));
    appendLE32(swf, quint32(8 + body.size()));
    return swf + body;
}

QByteArray midiTune(int seconds)
{
    constexpr int kTicksPerBeat = 96; // at the default 120 beats a minute: a beat is half a second
    QByteArray track = QByteArray::fromHex("00C013"); // church organ
    const char notes[] = {0x3C, 0x40, 0x43};
    // Each note on a tick after the last one off; delta times below 128
    // ticks take one byte.
    for (int beat = 0; beat < seconds * 2; ++beat) {
        const char note = notes[beat % 3];
        track += char(beat == 0 ? 0 : 1) + QByteArray::fromHex("90") + note + char(0x64);
        track += char(kTicksPerBeat - 1) + QByteArray::fromHex("80") + note + char(0x40);
    }
    track += QByteArray::fromHex("00FF2F00");
    QByteArray midi("MThd");
    appendBE32(midi, 6);
    midi += QByteArray::fromHex("00000001");
    midi += char(0) + QByteArray(1, char(kTicksPerBeat));
    midi += "MTrk";
    appendBE32(midi, quint32(track.size()));
    return midi + track;
}

QByteArray wavTone(int milliseconds)
{
    constexpr int kRate = 22050;
    const int samples = kRate * milliseconds / 1000;
    QByteArray data;
    for (int i = 0; i < samples; ++i)
        appendLE16(data, quint16(qint16(8000 * std::sin(2 * M_PI * 440 * i / kRate))));
    QByteArray wav("RIFF");
    appendLE32(wav, quint32(36 + data.size()));
    wav += "WAVEfmt ";
    appendLE32(wav, 16);
    appendLE16(wav, 1);
    appendLE16(wav, 1);
    appendLE32(wav, kRate);
    appendLE32(wav, kRate * 2);
    appendLE16(wav, 2);
    appendLE16(wav, 16);
    wav += "data";
    appendLE32(wav, quint32(data.size()));
    return wav + data;
}

bool layOutLegacyCourse(const QString &folder)
{
    const QDir sources(qEnvironmentVariable("RUZEZ_SOURCE_DIR") + QStringLiteral("/tests/media/course"));
    const QDir course(folder);
    const QStringList pages = sources.entryList({QStringLiteral("*.html")});
    for (const QString &page : pages) {
        if (!QFile::copy(sources.filePath(page), course.filePath(page)))
            return false;
    }
    if (pages.isEmpty() || !QDir().mkpath(course.filePath(QStringLiteral("docs"))))
        return false;
    {
        QPdfWriter pdf(course.filePath(QStringLiteral("docs/fiche.pdf")));
        QPainter painter(&pdf);
        painter.drawText(200, 200, QStringLiteral("Fiche de travail"));
    }
    return makeFile(course.filePath(QStringLiteral("anim/rouge.swf")), swfFilledWith(Qt::red, 200, 100))
        && makeFile(course.filePath(QStringLiteral("sons/musique.mid")), midiTune(30))
        && makeFile(course.filePath(QStringLiteral("sons/bip.wav")), wavTone(15000))
        // Not a video any engine decodes: the placeholder's case.
        && makeFile(course.filePath(QStringLiteral("videos/film.avi")), QByteArray("RIFF\0\0\0\0AVI LIST", 16));
}

} // namespace ruzez::test

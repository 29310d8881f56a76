#include "legacy_media.h"


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

QByteArray midiNote(int seconds)
{
    constexpr int kTicksPerBeat = 96; // at the default 120 beats a minute, 192 ticks a second
    QByteArray track;
    track += QByteArray::fromHex("00C000");   // piano
    track += QByteArray::fromHex("00903C64"); // middle C on
    // The delta time as a variable-length number.
    const quint32 ticks = quint32(seconds) * 2 * kTicksPerBeat;
    QByteArray delta;
    delta.prepend(char(ticks & 0x7f));
    for (quint32 rest = ticks >> 7; rest; rest >>= 7)
        delta.prepend(char(0x80 | (rest & 0x7f)));
    track += delta + QByteArray::fromHex("803C40");
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

} // namespace ruzez::test

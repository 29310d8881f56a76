#include "access/access_text.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace ruzez {

namespace {

// Appends UCS-2 bytes (little-endian) to `out`.
void appendUtf16(QByteArrayView bytes, QString &out)
{
    const qsizetype at = out.size();
    out.resize(at + bytes.size() / 2);
    char16_t *to = reinterpret_cast<char16_t *>(out.data()) + at;
    for (qsizetype i = 0; i < bytes.size() / 2; ++i)
        to[i] = char16_t(uchar(bytes[2 * i]) | uchar(bytes[2 * i + 1]) << 8);
}

} // namespace

QString jetText(QByteArrayView bytes, bool jet4)
{
    QString out;
    jetTextInto(bytes, jet4, out);
    return out;
}

QAnyStringView jetTextView(QByteArrayView bytes, bool jet4, QString &buffer)
{
    // Compressed text that never switches to two bytes per character is Latin-1 as it stands.
    if (jet4 && bytes.size() >= 2 && uchar(bytes[0]) == 0xff && uchar(bytes[1]) == 0xfe
        && !std::memchr(bytes.data() + 2, 0, std::size_t(bytes.size() - 2)))
        return QLatin1StringView(bytes.data() + 2, bytes.size() - 2);
    jetTextInto(bytes, jet4, buffer);
    return buffer;
}

void jetTextInto(QByteArrayView bytes, bool jet4, QString &out)
{
    // Resized rather than cleared: clear() would give up the room a caller means to reuse.
    out.resize(0);
    if (!jet4) {
        // Jet3 text is in the code page of the machine that wrote it: windows-1252 in France.
        out = QStringDecoder("windows-1252").decode(bytes);
        return;
    }
    if (bytes.size() < 2 || uchar(bytes[0]) != 0xff || uchar(bytes[1]) != 0xfe) {
        appendUtf16(bytes, out);
        return;
    }
    out.reserve(bytes.size());
    bool compressed = true;
    for (qsizetype i = 2; i < bytes.size();) {
        // A run up to the next mode switch, decoded in one go; an odd last byte is dropped.
        qsizetype end = i;
        if (compressed) {
            const void *zero = std::memchr(bytes.data() + i, 0, std::size_t(bytes.size() - i));
            end = zero ? static_cast<const char *>(zero) - bytes.data() : bytes.size();
        } else {
            while (end < bytes.size() && bytes[end] != 0)
                end += 2;
            end = std::min(end, bytes.size());
        }
        if (compressed)
            out.append(QLatin1String(bytes.data() + i, end - i));
        else
            appendUtf16(bytes.sliced(i, end - i), out);
        i = end + 1;
        compressed = !compressed;
    }
}

} // namespace ruzez

#include "access/access_text.h"

#include <QStringDecoder>

#include <algorithm>
#include <bit>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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
    // One pass, runs of one-byte characters widened sixteen at a time; never more characters
    // than bytes. An odd last byte of a two-byte run is dropped.
    out.resize(bytes.size());
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data()) + 2;
    const uchar *const end = reinterpret_cast<const uchar *>(bytes.data()) + bytes.size();
    bool compressed = true;
    while (p < end) {
        if (compressed) {
#ifdef __SSE2__
            const __m128i zero = _mm_setzero_si128();
            // A block is widened whole even past a switch: what lies after it is written over.
            // Each character takes a byte at least, so the output never outruns its room.
            while (end - p >= 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(to), _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(to + 8), _mm_unpackhi_epi8(v, zero));
                const unsigned switches = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)));
                const int run = switches ? std::countr_zero(switches) : 16;
                p += run;
                to += run;
                if (switches)
                    break;
            }
#endif
            while (p < end && *p != 0)
                *to++ = *p++;
        } else {
            while (end - p >= 2 && *p != 0) {
                *to++ = char16_t(p[0] | p[1] << 8);
                p += 2;
            }
            if (p < end && *p != 0)
                break;
        }
        if (p >= end)
            break;
        ++p;  // the switch to the other kind of run
        compressed = !compressed;
    }
    out.resize(to - reinterpret_cast<char16_t *>(out.data()));
}

} // namespace ruzez

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

namespace {

// The windows-1252 byte of a character, or -1 where it has none.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    switch (c) {
    case 0x20AC: return 0x80;
    case 0x201A: return 0x82;
    case 0x0192: return 0x83;
    case 0x201E: return 0x84;
    case 0x2026: return 0x85;
    case 0x2020: return 0x86;
    case 0x2021: return 0x87;
    case 0x02C6: return 0x88;
    case 0x2030: return 0x89;
    case 0x0160: return 0x8A;
    case 0x2039: return 0x8B;
    case 0x0152: return 0x8C;
    case 0x017D: return 0x8E;
    case 0x2018: return 0x91;
    case 0x2019: return 0x92;
    case 0x201C: return 0x93;
    case 0x201D: return 0x94;
    case 0x2022: return 0x95;
    case 0x2013: return 0x96;
    case 0x2014: return 0x97;
    case 0x02DC: return 0x98;
    case 0x2122: return 0x99;
    case 0x0161: return 0x9A;
    case 0x203A: return 0x9B;
    case 0x0153: return 0x9C;
    case 0x017E: return 0x9E;
    case 0x0178: return 0x9F;
    case 0x0081:
    case 0x008D:
    case 0x008F:
    case 0x0090:
    case 0x009D: return c;  // the bytes windows-1252 leaves free
    default: return -1;
    }
}

// A byte of compressed text that is a C1 control with no byte of its own in windows-1252.
bool foreignControl(uchar byte)
{
    return byte >= 0x80 && byte < 0xA0 && kWindows1252High[byte - 0x80] != byte;
}

} // namespace

qsizetype jetTextToWindows1252(QByteArrayView bytes, char *out)
{
    // The runs and switches jetTextInto() reads, read alike.
    char *to = out;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.data());
    const uchar *const end = p + bytes.size();
    bool compressed = bytes.size() >= 2 && p[0] == 0xff && p[1] == 0xfe;
    if (!compressed) {
        // Uncompressed text: every pair is a character, an odd last byte dropped.
        for (; end - p >= 2; p += 2) {
            const int b = windows1252Byte(char16_t(p[0] | p[1] << 8));
            if (b < 0)
                return -1;
            *to++ = char(b);
        }
        return to - out;
    }
    p += 2;
    while (p < end) {
        if (compressed) {
            // A compressed byte is the character of its own number: copied as it stands
            // up to a switch, sixteen at a time where there is room.
            while (p < end) {
#ifdef __SSE2__
                if (end - p >= 16) {
                    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                    const __m128i stop = _mm_or_si128(
                        _mm_cmpeq_epi8(v, _mm_setzero_si128()),
                        _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xE0))),
                                       _mm_set1_epi8(char(0x80))));
                    // The output is never ahead of the input: the block fits its room.
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(to), v);
                    const unsigned mask = unsigned(_mm_movemask_epi8(stop));
                    const int run = mask ? std::countr_zero(mask) : 16;
                    p += run;
                    to += run;
                    if (!mask)
                        continue;
                } else
#endif
                {
                    while (p < end && *p != 0 && (*p & 0xE0) != 0x80)
                        *to++ = char(*p++);
                    if (p >= end)
                        break;
                }
                if (*p == 0)
                    break;
                if (foreignControl(*p))
                    return -1;
                *to++ = char(*p++);
            }
        } else {
            while (end - p >= 2 && *p != 0) {
                const int b = windows1252Byte(char16_t(p[0] | p[1] << 8));
                if (b < 0)
                    return -1;
                *to++ = char(b);
                p += 2;
            }
            if (p < end && *p != 0)
                break;
        }
        if (p >= end)
            break;
        ++p;
        compressed = !compressed;
    }
    return to - out;
}

} // namespace ruzez

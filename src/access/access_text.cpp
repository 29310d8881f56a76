#include "access/access_text.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
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

bool isCompressedLatin1(QByteArrayView bytes)
{
    return bytes.size() >= 2 && uchar(bytes[0]) == 0xff && uchar(bytes[1]) == 0xfe
        && !std::memchr(bytes.data() + 2, 0, std::size_t(bytes.size() - 2));
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

// The characters windows-1252 writes with a byte 0x80 to 0x9F, each in the slot of its two
// bytes xored, which the 32 characters all fill apart: typeset text (’ € œ « ») looks one up
// for nearly every character of its two-byte runs.
struct HighByte
{
    char16_t c = 0;
    uchar byte = 0;
};
constexpr std::size_t highSlot(char16_t c)
{
    return std::size_t((c ^ (c >> 8)) & 0xFF);
}
constexpr std::array<HighByte, 256> kHighBytes = [] {
    std::array<HighByte, 256> table{};
    for (int i = 0; i < 32; ++i)
        table[highSlot(kWindows1252High[i])] = HighByte{kWindows1252High[i], uchar(0x80 + i)};
    return table;
}();
constexpr bool everyHighCharacterFound()
{
    for (int i = 0; i < 32; ++i)
        if (kHighBytes[highSlot(kWindows1252High[i])].byte != 0x80 + i)
            return false;
    return true;
}
static_assert(everyHighCharacterFound());

// The windows-1252 byte of a character, the five bytes it leaves free standing for the C1
// controls of the same number; -1 where it has none.
inline int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    const HighByte &high = kHighBytes[highSlot(c)];
    return high.c == c ? high.byte : -1;
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
                } else {
                    // The last bytes, fewer than sixteen, looked at in a copy whose zeros past
                    // them stop the run where the text ends; only the run is written.
                    alignas(16) uchar last[16] = {};
                    const std::size_t left = std::size_t(end - p);
                    std::memcpy(last, p, left);
                    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i *>(last));
                    const __m128i stop = _mm_or_si128(
                        _mm_cmpeq_epi8(v, _mm_setzero_si128()),
                        _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xE0))),
                                       _mm_set1_epi8(char(0x80))));
                    const int run = std::countr_zero(unsigned(_mm_movemask_epi8(stop)) | (1u << left));
                    std::memcpy(to, last, std::size_t(run));
                    p += run;
                    to += run;
                    if (p >= end)
                        break;
                }
#else
                while (p < end && *p != 0 && (*p & 0xE0) != 0x80)
                    *to++ = char(*p++);
                if (p >= end)
                    break;
#endif
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

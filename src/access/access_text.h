#pragma once

#include <QByteArrayView>
#include <QString>

namespace ruzez {

// Text as Access stores it: windows-1252 in Jet3 files; UCS-2 in Jet4 files,
// or its compressed form (FF FE, then one byte per character below U+0100,
// a 0 byte switching to two bytes per character and back).
QString jetText(QByteArrayView bytes, bool jet4);

// The same written into `out`, whose room is reused.
void jetTextInto(QByteArrayView bytes, bool jet4, QString &out);

// Whether Jet4 text is compressed and never switches to two bytes per character: its
// characters, past the two-byte mark, are its bytes read as Latin-1.
bool isCompressedLatin1(QByteArrayView bytes);

// The characters windows-1252 gives the bytes 0x80 to 0x9F; the five bytes it leaves free
// stand for the C1 controls of the same number, so that every byte is one character.
inline constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The character of a windows-1252 byte, as kWindows1252High extends it.
inline char16_t windows1252Char(uchar byte)
{
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : char16_t(byte);
}

// Jet4 text written one byte per character in windows-1252 into `out`, which has room for
// bytes.size() (never less than it takes), the characters jetText() reads: how many bytes it
// took, or -1 when a character has no byte there.
qsizetype jetTextToWindows1252(QByteArrayView bytes, char *out);

} // namespace ruzez

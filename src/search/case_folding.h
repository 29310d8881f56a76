#pragma once

#include <QAnyStringView>
#include <QString>
#include <QStringView>

#include <array>
#include <string>
#include <vector>

namespace ruzez {

// Whether a text holds a word with letter case ignored one character at a time, with the simple
// case folding of Qt's case-insensitive comparison: É finds é, but an accented letter never
// finds its plain letter. A table of the 65,536 foldings, built once per search, folds a unit
// in one look-up; a low surrogate is folded with the high surrogate before it, as Qt does.
class CaseFolding
{
public:
    CaseFolding();

    // A word prepared for contains().
    struct Word
    {
        std::u16string folded;
        // Horspool's distances: how far a window may move when its last unit, folded, has
        // these low 8 bits.
        std::array<qsizetype, 256> shift{};
        qsizetype lastShift = 1;  // the distance after a window that ends on the last unit
        // Two positions of the word whose units are rare in French text, and the Latin-1 units
        // that fold to each (no more than two, a letter and its capital mostly): the windows
        // whose units there could match are found sixteen at a time.
        std::array<qsizetype, 2> probe{};
        std::array<std::array<char16_t, 2>, 2> probeUnits{};
        bool blockwise = false;
        // The same for text held one byte per character, Latin-1 (kLatin1) or windows-1252
        // (kWindows1252): distances by the byte as stored (0: compare the window), the bytes
        // that fold to the probes' units.
        struct Bytes
        {
            std::array<qsizetype, 256> shift{};
            std::array<std::array<uchar, 2>, 2> probeUnits{};
            bool blockwise = false;
            bool possible = true;  // false: some unit of the word no byte folds to
        };
        std::array<Bytes, 2> bytes{};
    };
    enum ByteCode { kLatin1, kWindows1252 };

    Word prepare(QStringView word) const;
    bool contains(QAnyStringView text, const Word &word) const;
    // Text held one byte per character in `code`.
    bool containsBytes(const uchar *units, qsizetype size, ByteCode code, const Word &word) const;

    char16_t fold(char16_t unit) const { return m_table[unit]; }

private:
    bool containsUtf16(const char16_t *units, qsizetype size, const Word &word) const;
    bool horspool(const char16_t *units, qsizetype size, const Word &word, qsizetype start) const;
    bool horspoolBytes(const uchar *units, qsizetype size, const char16_t *fold,
                       const Word::Bytes &form, const Word &word, qsizetype start) const;

    char16_t at(const char16_t *text, qsizetype index) const
    {
        const char16_t unit = text[index];
        if (QChar::isLowSurrogate(unit) && index > 0 && QChar::isHighSurrogate(text[index - 1]))
            return QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(text[index - 1], unit)));
        return m_table[unit];
    }

    std::vector<char16_t> m_table;
    std::array<std::array<char16_t, 256>, 2> m_byteFold{};  // by code, each byte's folded unit
    bool m_avx2 = false;
};

} // namespace ruzez

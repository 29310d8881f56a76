#include "search/case_folding.h"

#include "access/access_text.h"

#include <algorithm>
#include <bit>
#include <type_traits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define RUZEZ_X86 1
#endif

namespace ruzez {

namespace {

// How often a folded Latin-1 unit comes up in French prose, roughly, in thousandths: the
// word's rarest units are the ones worth looking for first.
int frequency(char16_t unit)
{
    static constexpr std::pair<char16_t, int> kCommon[] = {
        {u' ', 150}, {u'e', 130}, {u's', 70}, {u'a', 70}, {u'i', 65}, {u't', 65}, {u'n', 65},
        {u'r', 65}, {u'u', 55}, {u'l', 50}, {u'o', 50}, {u'd', 35}, {u'c', 30}, {u'p', 28},
        {u'm', 26}, {u'\u00e9', 18}, {u'v', 15}, {u'.', 10}, {u',', 10}, {u'\'', 10}, {u'q', 10},
        {u'f', 10}, {u'b', 9}, {u'g', 9}, {u'h', 7},
    };
    for (const auto &[common, often] : kCommon)
        if (unit == common)
            return often;
    return 3;
}

} // namespace

CaseFolding::CaseFolding()
    : m_table(0x10000)
{
#ifdef RUZEZ_X86
    m_avx2 = __builtin_cpu_supports("avx2");
#endif
    for (char32_t unit = 0; unit < 0x10000; ++unit) {
        const char32_t folded = QChar::isSurrogate(unit) ? unit : QChar::toCaseFolded(unit);
        m_table[unit] = QChar::requiresSurrogates(folded) ? char16_t(unit) : char16_t(folded);
    }
    for (int byte = 0; byte < 256; ++byte) {
        m_byteFold[kLatin1][std::size_t(byte)] = m_table[std::size_t(byte)];
        m_byteFold[kWindows1252][std::size_t(byte)] = m_table[windows1252Char(uchar(byte))];
    }
}

CaseFolding::Word CaseFolding::prepare(QStringView text) const
{
    Word word;
    const qsizetype length = text.size();
    word.folded.resize(std::size_t(length));
    for (qsizetype i = 0; i < length; ++i)
        word.folded[std::size_t(i)] = at(text.utf16(), i);
    word.shift.fill(std::max<qsizetype>(length, 1));
    for (qsizetype i = 0; i + 1 < length; ++i)
        word.shift[word.folded[std::size_t(i)] & 0xff] = length - 1 - i;
    if (length == 0)
        return word;

    // Which bytes of each code fold to each unit of the word, and how common the Latin-1
    // ones are.
    using Folders = std::vector<std::vector<char16_t>>;
    std::array<Folders, 2> folders{Folders(std::size_t(length)), Folders(std::size_t(length))};
    std::vector<int> often(static_cast<std::size_t>(length), 0);
    for (int code = kLatin1; code <= kWindows1252; ++code) {
        for (int unit = 0; unit < 256; ++unit) {
            const char16_t folded = m_byteFold[std::size_t(code)][std::size_t(unit)];
            for (qsizetype i = 0; i < length; ++i) {
                if (folded == word.folded[std::size_t(i)]) {
                    folders[std::size_t(code)][std::size_t(i)].push_back(char16_t(unit));
                    if (code == kLatin1)
                        often[std::size_t(i)] += frequency(folded);
                }
            }
        }
    }
    const char16_t lastUnit = word.folded.back();
    word.lastShift = word.shift[lastUnit & 0xff];

    // The two rarest positions (one, for a word of one unit), the first of them first.
    std::vector<qsizetype> order(static_cast<std::size_t>(length));
    for (qsizetype i = 0; i < length; ++i)
        order[std::size_t(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return often[std::size_t(a)] < often[std::size_t(b)];
    });
    word.probe = {order[0], order[std::min<std::size_t>(1, order.size() - 1)]};
    std::sort(word.probe.begin(), word.probe.end());
    word.blockwise = true;
    for (std::size_t p = 0; p < 2; ++p) {
        const std::vector<char16_t> &units = folders[kLatin1][std::size_t(word.probe[p])];
        // No Latin-1 unit: only a unit above U+00FF can match there, which the search
        // lets through anyway; 0xFFFF stands for it.
        word.blockwise = word.blockwise && units.size() <= 2;
        word.probeUnits[p][0] = units.empty() ? 0xffff : units[0];
        word.probeUnits[p][1] = units.size() < 2 ? word.probeUnits[p][0] : units[1];
    }
    for (int code = kLatin1; code <= kWindows1252; ++code) {
        Word::Bytes &form = word.bytes[std::size_t(code)];
        const Folders &byCode = folders[std::size_t(code)];
        form.possible = std::none_of(byCode.begin(), byCode.end(),
                                     [](const auto &units) { return units.empty(); });
        for (int unit = 0; unit < 256; ++unit) {
            const char16_t folded = m_byteFold[std::size_t(code)][std::size_t(unit)];
            form.shift[std::size_t(unit)] = folded == lastUnit ? 0 : word.shift[folded & 0xff];
        }
        form.blockwise = form.possible;
        for (std::size_t p = 0; p < 2 && form.possible; ++p) {
            const std::vector<char16_t> &units = byCode[std::size_t(word.probe[p])];
            form.blockwise = form.blockwise && units.size() <= 2;
            form.probeUnits[p][0] = uchar(units[0]);
            form.probeUnits[p][1] = uchar(units.size() < 2 ? units[0] : units[1]);
        }
    }
    return word;
}

// Whether `text` holds `word` with case ignored. The folding of a unit depends only on it and
// the unit before, so windows can be tested in any order.
bool CaseFolding::contains(QAnyStringView text, const Word &word) const
{
    return text.visit([&](auto view) -> bool {
        using View = decltype(view);
        if constexpr (std::is_same_v<View, QStringView>) {
            return containsUtf16(view.utf16(), view.size(), word);
        } else if constexpr (std::is_same_v<View, QLatin1StringView>) {
            return containsBytes(reinterpret_cast<const uchar *>(view.data()), view.size(), kLatin1, word);
        } else {
            const QString decoded = view.toString();
            return containsUtf16(reinterpret_cast<const char16_t *>(decoded.utf16()), decoded.size(), word);
        }
    });
}

// Each window from `start` is tested from its last unit and moved by the word's distances, so
// most units of a long text are never looked at.
bool CaseFolding::horspool(const char16_t *units, qsizetype size, const Word &word, qsizetype start) const
{
    const std::u16string &w = word.folded;
    const qsizetype last = qsizetype(w.size()) - 1;
    if (last < 0)
        return true;
    const char16_t lastUnit = w[std::size_t(last)];
    while (start + last < size) {
        const char16_t unit = at(units, start + last);
        qsizetype step = unit == lastUnit ? 0 : word.shift[unit & 0xff];
        if (step == 0) {
            qsizetype k = 0;
            while (k < last && at(units, start + k) == w[std::size_t(k)])
                ++k;
            if (k == last)
                return true;
            step = word.lastShift;
        }
        start += step;
    }
    return false;
}

// The same over one byte per character: the distance by the byte as stored, folded in advance.
bool CaseFolding::horspoolBytes(const uchar *units, qsizetype size, const char16_t *fold,
                                const Word::Bytes &form, const Word &word, qsizetype start) const
{
    const std::u16string &w = word.folded;
    const qsizetype last = qsizetype(w.size()) - 1;
    if (last < 0)
        return true;
    while (start + last < size) {
        qsizetype step = form.shift[units[start + last]];
        if (step == 0) {
            qsizetype k = 0;
            while (k < last && fold[units[start + k]] == w[std::size_t(k)])
                ++k;
            if (k == last)
                return true;
            step = word.lastShift;
        }
        start += step;
    }
    return false;
}

// The most travelled path of a search over the course's descriptions.
bool CaseFolding::containsBytes(const uchar *units, qsizetype size, ByteCode code,
                                const Word &word) const
{
    const Word::Bytes &form = word.bytes[std::size_t(code)];
    const char16_t *fold = m_byteFold[std::size_t(code)].data();
    if (!form.possible)
        return false;
    qsizetype start = 0;
#ifdef RUZEZ_X86
    if (m_avx2 && form.blockwise)
        start = blocksAvx2(units, size, fold, form, word);
    if (start < 0)
        return true;
    // Sixteen windows at a time: those whose units at the two probes fold to the word's are
    // compared whole, the others are passed over.
    const qsizetype last = qsizetype(word.folded.size()) - 1;
    if (form.blockwise && last >= 0) {
        const qsizetype p0 = word.probe[0];
        const qsizetype p1 = word.probe[1];
        const __m128i a0 = _mm_set1_epi8(char(form.probeUnits[0][0]));
        const __m128i a1 = _mm_set1_epi8(char(form.probeUnits[0][1]));
        const __m128i b0 = _mm_set1_epi8(char(form.probeUnits[1][0]));
        const __m128i b1 = _mm_set1_epi8(char(form.probeUnits[1][1]));
        for (; start + last + 16 <= size; start += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + start + p0));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + start + p1));
            const __m128i both = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(a, a0), _mm_cmpeq_epi8(a, a1)),
                                               _mm_or_si128(_mm_cmpeq_epi8(b, b0), _mm_cmpeq_epi8(b, b1)));
            for (unsigned mask = unsigned(_mm_movemask_epi8(both)); mask != 0; mask &= mask - 1) {
                const qsizetype at = start + std::countr_zero(mask);
                qsizetype k = 0;
                while (k <= last && fold[units[at + k]] == word.folded[std::size_t(k)])
                    ++k;
                if (k > last)
                    return true;
            }
        }
    }
#endif
    return horspoolBytes(units, size, fold, form, word, start);
}

#ifdef RUZEZ_X86
// The Latin-1 search's first stage, thirty-two windows at a time where the processor can.
// Returns where the windows left to test begin, or -1 when one matched.
__attribute__((target("avx2")))
qsizetype CaseFolding::blocksAvx2(const uchar *units, qsizetype size, const char16_t *fold,
                                  const Word::Bytes &form, const Word &word) const
{
    const qsizetype last = qsizetype(word.folded.size()) - 1;
    const qsizetype p0 = word.probe[0];
    const qsizetype p1 = word.probe[1];
    const __m256i a0 = _mm256_set1_epi8(char(form.probeUnits[0][0]));
    const __m256i a1 = _mm256_set1_epi8(char(form.probeUnits[0][1]));
    const __m256i b0 = _mm256_set1_epi8(char(form.probeUnits[1][0]));
    const __m256i b1 = _mm256_set1_epi8(char(form.probeUnits[1][1]));
    qsizetype start = 0;
    for (; start + last + 32 <= size; start += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(units + start + p0));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(units + start + p1));
        const __m256i both = _mm256_and_si256(
            _mm256_or_si256(_mm256_cmpeq_epi8(a, a0), _mm256_cmpeq_epi8(a, a1)),
            _mm256_or_si256(_mm256_cmpeq_epi8(b, b0), _mm256_cmpeq_epi8(b, b1)));
        for (unsigned mask = unsigned(_mm256_movemask_epi8(both)); mask != 0; mask &= mask - 1) {
            const qsizetype at = start + std::countr_zero(mask);
            qsizetype k = 0;
            while (k <= last && fold[units[at + k]] == word.folded[std::size_t(k)])
                ++k;
            if (k > last)
                return -1;
        }
    }
    return start;
}
#endif

#ifdef RUZEZ_X86
// The UTF-16 search's first stage, sixteen windows at a time where the processor can: a unit above
// U+00FF at a probe always lets its window through. Returns where the windows left to test
// begin, or -1 when one matched.
__attribute__((target("avx2")))
qsizetype CaseFolding::blocksUtf16Avx2(const char16_t *units, qsizetype size, const Word &word) const
{
    const qsizetype last = qsizetype(word.folded.size()) - 1;
    const qsizetype p0 = word.probe[0];
    const qsizetype p1 = word.probe[1];
    const __m256i a0 = _mm256_set1_epi16(short(word.probeUnits[0][0]));
    const __m256i a1 = _mm256_set1_epi16(short(word.probeUnits[0][1]));
    const __m256i b0 = _mm256_set1_epi16(short(word.probeUnits[1][0]));
    const __m256i b1 = _mm256_set1_epi16(short(word.probeUnits[1][1]));
    const __m256i high = _mm256_set1_epi16(short(0xff00));
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ones = _mm256_set1_epi16(-1);
    qsizetype start = 0;
    for (; start + last + 16 <= size; start += 16) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(units + start + p0));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(units + start + p1));
        const __m256i atA = _mm256_or_si256(
            _mm256_or_si256(_mm256_cmpeq_epi16(a, a0), _mm256_cmpeq_epi16(a, a1)),
            _mm256_xor_si256(_mm256_cmpeq_epi16(_mm256_and_si256(a, high), zero), ones));
        const __m256i atB = _mm256_or_si256(
            _mm256_or_si256(_mm256_cmpeq_epi16(b, b0), _mm256_cmpeq_epi16(b, b1)),
            _mm256_xor_si256(_mm256_cmpeq_epi16(_mm256_and_si256(b, high), zero), ones));
        // Two mask bits per unit: the even ones are kept.
        unsigned mask = unsigned(_mm256_movemask_epi8(_mm256_and_si256(atA, atB)));
        for (mask &= 0x55555555u; mask != 0; mask &= mask - 1) {
            const qsizetype at = start + std::countr_zero(mask) / 2;
            qsizetype k = 0;
            while (k <= last && this->at(units, at + k) == word.folded[std::size_t(k)])
                ++k;
            if (k > last)
                return -1;
        }
    }
    return start;
}
#endif

// The same over UTF-16 text, eight windows at a time. A unit above U+00FF may fold to a
// Latin-1 letter (the Kelvin sign to k) or be part of a surrogate pair: such windows are always
// compared whole.
bool CaseFolding::containsUtf16(const char16_t *units, qsizetype size, const Word &word) const
{
    qsizetype start = 0;
#ifdef RUZEZ_X86
    if (m_avx2 && word.blockwise)
        start = blocksUtf16Avx2(units, size, word);
    if (start < 0)
        return true;
    const qsizetype last = qsizetype(word.folded.size()) - 1;
    if (word.blockwise && last >= 0) {
        const qsizetype p0 = word.probe[0];
        const qsizetype p1 = word.probe[1];
        const __m128i a0 = _mm_set1_epi16(short(word.probeUnits[0][0]));
        const __m128i a1 = _mm_set1_epi16(short(word.probeUnits[0][1]));
        const __m128i b0 = _mm_set1_epi16(short(word.probeUnits[1][0]));
        const __m128i b1 = _mm_set1_epi16(short(word.probeUnits[1][1]));
        const __m128i high = _mm_set1_epi16(short(0xff00));
        const __m128i zero = _mm_setzero_si128();
        auto matches = [&](__m128i v, __m128i u0, __m128i u1) {
            const __m128i wide = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(v, high), zero),
                                                  _mm_set1_epi16(-1));
            return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(v, u0), _mm_cmpeq_epi16(v, u1)), wide);
        };
        for (; start + last + 8 <= size; start += 8) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + start + p0));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + start + p1));
            const __m128i both = _mm_and_si128(matches(a, a0, a1), matches(b, b0, b1));
            const __m128i narrowed = _mm_packs_epi16(both, zero);  // one byte per unit
            for (unsigned mask = unsigned(_mm_movemask_epi8(narrowed)); mask != 0; mask &= mask - 1) {
                const qsizetype at = start + std::countr_zero(mask);
                qsizetype k = 0;
                while (k <= last && this->at(units, at + k) == word.folded[std::size_t(k)])
                    ++k;
                if (k > last)
                    return true;
            }
        }
    }
#endif
    return horspool(units, size, word, start);
}

} // namespace ruzez

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

#ifdef RUZEZ_X86
namespace {

// The first stage of a search, many windows at a time: a window whose units at the word's two
// probes could fold to the word's is compared whole (through `folded`, the text's unit at an
// index, folded), the others are passed over. Over UTF-16 text a unit above U+00FF at a probe
// always lets its window through: it may fold to a Latin-1 letter (the Kelvin sign to k) or be
// half of a surrogate pair. Returns where the windows left to test begin, or -1 when one
// matched. One template per instruction set, each over the unit type.
template<typename Unit>
using ProbeUnits = std::array<std::array<Unit, 2>, 2>;

template<typename Unit, typename Folded>
qsizetype blocksSse2(const Unit *units, qsizetype size, const ProbeUnits<Unit> &probeUnits,
                     const CaseFolding::Word &word, qsizetype start, const Folded &folded)
{
    constexpr qsizetype kWindows = 16 / sizeof(Unit);
    const qsizetype last = qsizetype(word.folded.size()) - 1;
    // Each probe's two units in every lane.
    __m128i candidates[2][2];
    for (std::size_t p = 0; p < 2; ++p)
        for (std::size_t c = 0; c < 2; ++c)
            candidates[p][c] = sizeof(Unit) == 1 ? _mm_set1_epi8(char(probeUnits[p][c]))
                                                 : _mm_set1_epi16(short(probeUnits[p][c]));
    const __m128i wideBits = _mm_set1_epi16(short(0xff00));
    const __m128i allOnes = _mm_set1_epi16(-1);
    for (; start + last + kWindows <= size; start += kWindows) {
        const __m128i lanes[2] = {
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + start + word.probe[0])),
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + start + word.probe[1]))};
        __m128i at[2];
        for (std::size_t p = 0; p < 2; ++p) {
            if constexpr (sizeof(Unit) == 1) {
                at[p] = _mm_or_si128(_mm_cmpeq_epi8(lanes[p], candidates[p][0]),
                                     _mm_cmpeq_epi8(lanes[p], candidates[p][1]));
            } else {
                const __m128i narrow = _mm_cmpeq_epi16(_mm_and_si128(lanes[p], wideBits),
                                                       _mm_setzero_si128());
                at[p] = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(lanes[p], candidates[p][0]),
                                                  _mm_cmpeq_epi16(lanes[p], candidates[p][1])),
                                     _mm_xor_si128(narrow, allOnes));
            }
        }
        // One mask bit per byte: a unit of two bytes keeps its even one.
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(at[0], at[1])));
        if constexpr (sizeof(Unit) == 2)
            mask &= 0x5555u;
        for (; mask != 0; mask &= mask - 1) {
            const qsizetype window = start + std::countr_zero(mask) / qsizetype(sizeof(Unit));
            qsizetype k = 0;
            while (k <= last && folded(window + k) == word.folded[std::size_t(k)])
                ++k;
            if (k > last)
                return -1;
        }
    }
    return start;
}

template<typename Unit, typename Folded>
__attribute__((target("avx2")))
qsizetype blocksAvx2(const Unit *units, qsizetype size, const ProbeUnits<Unit> &probeUnits,
                     const CaseFolding::Word &word, const Folded &folded)
{
    constexpr qsizetype kWindows = 32 / sizeof(Unit);
    const qsizetype last = qsizetype(word.folded.size()) - 1;
    // Each probe's two units in every lane.
    __m256i candidates[2][2];
    for (std::size_t p = 0; p < 2; ++p)
        for (std::size_t c = 0; c < 2; ++c)
            candidates[p][c] = sizeof(Unit) == 1 ? _mm256_set1_epi8(char(probeUnits[p][c]))
                                                 : _mm256_set1_epi16(short(probeUnits[p][c]));
    const __m256i wideBits = _mm256_set1_epi16(short(0xff00));
    const __m256i allOnes = _mm256_set1_epi16(-1);
    qsizetype start = 0;
    for (; start + last + kWindows <= size; start += kWindows) {
        const __m256i lanes[2] = {
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(units + start + word.probe[0])),
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(units + start + word.probe[1]))};
        __m256i at[2];
        for (std::size_t p = 0; p < 2; ++p) {
            if constexpr (sizeof(Unit) == 1) {
                at[p] = _mm256_or_si256(_mm256_cmpeq_epi8(lanes[p], candidates[p][0]),
                                        _mm256_cmpeq_epi8(lanes[p], candidates[p][1]));
            } else {
                const __m256i narrow = _mm256_cmpeq_epi16(_mm256_and_si256(lanes[p], wideBits),
                                                          _mm256_setzero_si256());
                at[p] = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi16(lanes[p], candidates[p][0]),
                                                        _mm256_cmpeq_epi16(lanes[p], candidates[p][1])),
                                        _mm256_xor_si256(narrow, allOnes));
            }
        }
        unsigned mask = unsigned(_mm256_movemask_epi8(_mm256_and_si256(at[0], at[1])));
        if constexpr (sizeof(Unit) == 2)
            mask &= 0x55555555u;
        for (; mask != 0; mask &= mask - 1) {
            const qsizetype window = start + std::countr_zero(mask) / qsizetype(sizeof(Unit));
            qsizetype k = 0;
            while (k <= last && folded(window + k) == word.folded[std::size_t(k)])
                ++k;
            if (k > last)
                return -1;
        }
    }
    return start;
}

} // namespace
#endif

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
    if (form.blockwise && !word.folded.empty()) {
        const auto folded = [units, fold](qsizetype i) { return fold[units[i]]; };
        if (m_avx2)
            start = blocksAvx2(units, size, form.probeUnits, word, folded);
        if (start >= 0)
            start = blocksSse2(units, size, form.probeUnits, word, start, folded);
        if (start < 0)
            return true;
    }
#endif
    return horspoolBytes(units, size, fold, form, word, start);
}

// The same over UTF-16 text.
bool CaseFolding::containsUtf16(const char16_t *units, qsizetype size, const Word &word) const
{
    qsizetype start = 0;
#ifdef RUZEZ_X86
    if (word.blockwise && !word.folded.empty()) {
        const auto folded = [this, units](qsizetype i) { return at(units, i); };
        if (m_avx2)
            start = blocksAvx2(units, size, word.probeUnits, word, folded);
        if (start >= 0)
            start = blocksSse2(units, size, word.probeUnits, word, start, folded);
        if (start < 0)
            return true;
    }
#endif
    return horspool(units, size, word, start);
}

} // namespace ruzez

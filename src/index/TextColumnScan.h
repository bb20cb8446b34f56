#pragma once

// The byte scan behind TextColumn::find, in a header so the per-hit call inlines.

#include <QByteArrayView>
#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VORN_SCAN_AVX2 1
#endif

namespace vorn {

namespace scan {

inline unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

inline bool sameIgnoringCase(const char *at, QByteArrayView literal)
{
    for (qsizetype j = 0; j < literal.size(); ++j) {
        if (lowerAscii(static_cast<unsigned char>(at[j])) != static_cast<unsigned char>(literal[j]))
            return false;
    }
    return true;
}

// 0x20 for a letter, which OR-ing into a byte folds its case; 0 otherwise.
inline unsigned char caseBit(char c)
{
    return (c >= 'a' && c <= 'z') ? 0x20 : 0;
}

// Set bits of a 16-bit mask, without relying on a population-count instruction the
// baseline target may lack.
inline int bitCount(unsigned mask)
{
    mask = mask - ((mask >> 1) & 0x5555u);
    mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
    mask = (mask + (mask >> 4)) & 0x0f0fu;
    return int((mask + (mask >> 8)) & 0x1fu);
}

inline int bitCount64(quint64 mask)
{
    mask = mask - ((mask >> 1) & 0x5555555555555555ull);
    mask = (mask & 0x3333333333333333ull) + ((mask >> 2) & 0x3333333333333333ull);
    mask = (mask + (mask >> 4)) & 0x0f0f0f0f0f0f0f0full;
    return int((mask * 0x0101010101010101ull) >> 56);
}

// How many bytes of [p, p + n) equal c.
inline qsizetype countByte(const char *p, qsizetype n, char c)
{
    qsizetype count = 0;
    qsizetype i = 0;
#if defined(__SSE2__)
    // Each equal byte subtracts -1 from its lane; lanes are summed before they overflow.
    const __m128i wanted = _mm_set1_epi8(c);
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= n) {
        __m128i lanes = zero;
        for (int round = 0; round < 255 && i + 16 <= n; ++round, i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(a, wanted));
        }
        const __m128i sums = _mm_sad_epu8(lanes, zero);
        count += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
    }
#endif
    for (; i < n; ++i)
        count += p[i] == c ? 1 : 0;
    return count;
}

// The offset just after the k-th byte equal to c in [p + from, p + n), or n when
// there are fewer.
inline qsizetype skipPast(const char *p, qsizetype from, qsizetype n, qsizetype k, char c)
{
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    // Sixty-four bytes at a time while the k-th surely lies further: a result row is
    // often hundreds of texts after the last one.
    const auto maskOf = [&](qsizetype at) {
        return quint64(unsigned(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p + at)), wanted))));
    };
    while (k > 64 && i + 64 <= n) {
        const quint64 mask = maskOf(i) | maskOf(i + 16) << 16 | maskOf(i + 32) << 32 | maskOf(i + 48) << 48;
        k -= bitCount64(mask);
        i += 64;
    }
    while (k > 0 && i + 16 <= n) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(a, wanted)));
        const int found = bitCount(mask);
        if (found < k) {
            k -= found;
            i += 16;
            continue;
        }
        while (--k > 0)
            mask &= mask - 1;
        return i + __builtin_ctz(mask) + 1;
    }
#endif
    for (; i < n && k > 0; ++i) {
        if (p[i] == c && --k == 0)
            return i + 1;
    }
    return k == 0 ? i : n;
}

template<typename Hit> void findAsciiIgnoringCaseSse2(QByteArrayView text, QByteArrayView literal, Hit &hit);

// The places of one window of `width` bytes at `i` where the literal's first and last
// characters both agree (bits of `mask`): each is compared whole and handed to hit.
// Gives where the next window begins, past the text hit says to go on from.
template<typename Hit>
inline qsizetype walkCandidates(unsigned mask, qsizetype i, qsizetype width, const char *p, qsizetype lastStart,
                                QByteArrayView literal, Hit &hit)
{
    while (mask != 0) {
        const qsizetype at = i + __builtin_ctz(mask);
        mask &= mask - 1;
        if (at > lastStart)
            break;
        if (!sameIgnoringCase(p + at, literal))
            continue;
        const qsizetype from = hit(at);
        if (from >= i + width)
            return from;
        while (mask != 0 && i + __builtin_ctz(mask) < from)
            mask &= mask - 1;
    }
    return i + width;
}

#if defined(VORN_SCAN_AVX2)
inline bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

// findAsciiIgnoringCase thirty-two bytes at a time, on processors that have AVX2.
template<typename Hit>
__attribute__((target("avx2"))) void findAsciiIgnoringCaseAvx2(QByteArrayView text, QByteArrayView literal, Hit &hit)
{
    const qsizetype m = literal.size();
    const char *p = text.data();
    const qsizetype lastStart = text.size() - m;
    const __m256i first = _mm256_set1_epi8(literal[0]);
    const __m256i last = _mm256_set1_epi8(literal[m - 1]);
    const __m256i firstBit = _mm256_set1_epi8(char(caseBit(literal[0])));
    const __m256i lastBit = _mm256_set1_epi8(char(caseBit(literal[m - 1])));
    qsizetype i = 0;
    while (i <= lastStart) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(p + i + m - 1));
        const __m256i eq = _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(a, firstBit), first),
                                            _mm256_cmpeq_epi8(_mm256_or_si256(b, lastBit), last));
        i = walkCandidates(unsigned(_mm256_movemask_epi8(eq)), i, 32, p, lastStart, literal, hit);
    }
}
#endif

} // namespace scan

// findAsciiIgnoringCase sixteen bytes at a time where the target has SSE2 (every
// x86-64), else byte by byte.
template<typename Hit> void scan::findAsciiIgnoringCaseSse2(QByteArrayView text, QByteArrayView literal, Hit &hit)
{
    const qsizetype m = literal.size();
    const char *p = text.data();
    const qsizetype lastStart = text.size() - m;
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(literal[0]);
    const __m128i last = _mm_set1_epi8(literal[m - 1]);
    const __m128i firstBit = _mm_set1_epi8(char(scan::caseBit(literal[0])));
    const __m128i lastBit = _mm_set1_epi8(char(scan::caseBit(literal[m - 1])));
    while (i <= lastStart) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + m - 1));
        const __m128i eq = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstBit), first),
                                         _mm_cmpeq_epi8(_mm_or_si128(b, lastBit), last));
        i = scan::walkCandidates(unsigned(_mm_movemask_epi8(eq)), i, 16, p, lastStart, literal, hit);
    }
#else
    while (i <= lastStart) {
        if (scan::sameIgnoringCase(p + i, literal))
            i = std::max(hit(i), i + 1);
        else
            ++i;
    }
#endif
}

// The first and last characters of the literal are compared sixteen bytes at a time
// (thirty-two with AVX2), and only where both agree is the whole literal compared.
template<typename Hit> void findAsciiIgnoringCase(QByteArrayView text, QByteArrayView literal, Hit &&hit)
{
    if (literal.isEmpty() || text.size() < literal.size())
        return;
#if defined(VORN_SCAN_AVX2)
    if (scan::hasAvx2()) {
        scan::findAsciiIgnoringCaseAvx2(text, literal, hit);
        return;
    }
#endif
    scan::findAsciiIgnoringCaseSse2(text, literal, hit);
}

} // namespace vorn

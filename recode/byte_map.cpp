#include "recode/byte_map.h"

#ifdef __x86_64__
#include <immintrin.h>
#endif

namespace recode {
namespace {

void ApplyPlain(const std::array<char, 256>& bytes, const char* from, std::size_t length,
                char* to) {
    for (std::size_t i = 0; i < length; ++i) {
        to[i] = bytes[static_cast<unsigned char>(from[i])];
    }
}

// Only the 64-bit programs take the vector ways: the 32-bit Windows program may be called with a
// stack aligned to 4 bytes, where spilled vector registers would fault. Nor do the Windows
// programs take AVX2, whose 32-byte spills GCC does not align there.
#ifdef __x86_64__

// Every changed row looks the low nibbles up and keeps the result where the high nibble is its.
__attribute__((target("ssse3"))) __m128i Map16(const std::vector<ByteMapRow>& rows,
                                               const char* from) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i low = _mm_and_si128(x, nibble);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(x, 4), nibble);
    __m128i result = x;
    for (const ByteMapRow& row : rows) {
        const auto* changes = reinterpret_cast<const __m128i*>(row.changes.data());
        const auto* highNibble = reinterpret_cast<const __m128i*>(row.highNibble.data());
        const __m128i inRow = _mm_cmpeq_epi8(high, _mm_load_si128(highNibble));
        const __m128i change = _mm_shuffle_epi8(_mm_load_si128(changes), low);
        result = _mm_xor_si128(result, _mm_and_si128(inRow, change));
    }
    return result;
}

// A length that is not a whole number of vectors ends with one more vector that overlaps the one
// before: its bytes are mapped again from the source, which is why the two must not overlap.
__attribute__((target("ssse3"))) void ApplySsse3(const std::vector<ByteMapRow>& rows,
                                                 const char* from, std::size_t length, char* to) {
    constexpr std::size_t kVector = 16;
    for (std::size_t i = 0; i + kVector <= length; i += kVector) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), Map16(rows, from + i));
    }
    if (length % kVector != 0) {
        const std::size_t last = length - kVector;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + last), Map16(rows, from + last));
    }
}

#ifndef _WIN32

// Several vectors at a time, so that each row's lookup is loaded once for all of them.
template <int kVectors>
__attribute__((target("avx2"))) void Map32s(const std::vector<ByteMapRow>& rows, const char* from,
                                            char* to) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    __m256i result[kVectors];
    __m256i low[kVectors];
    __m256i high[kVectors];
    for (int v = 0; v < kVectors; ++v) {
        result[v] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + 32 * v));
        low[v] = _mm256_and_si256(result[v], nibble);
        high[v] = _mm256_and_si256(_mm256_srli_epi16(result[v], 4), nibble);
    }
    for (const ByteMapRow& row : rows) {
        const auto* changes = reinterpret_cast<const __m128i*>(row.changes.data());
        const auto* highNibble = reinterpret_cast<const __m128i*>(row.highNibble.data());
        const __m256i rowChanges = _mm256_broadcastsi128_si256(_mm_load_si128(changes));
        const __m256i rowHigh = _mm256_broadcastsi128_si256(_mm_load_si128(highNibble));
        for (int v = 0; v < kVectors; ++v) {
            const __m256i inRow = _mm256_cmpeq_epi8(high[v], rowHigh);
            const __m256i change = _mm256_shuffle_epi8(rowChanges, low[v]);
            result[v] = _mm256_xor_si256(result[v], _mm256_and_si256(inRow, change));
        }
    }
    for (int v = 0; v < kVectors; ++v) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + 32 * v), result[v]);
    }
}

__attribute__((target("avx2"))) void ApplyAvx2(const std::vector<ByteMapRow>& rows,
                                               const char* from, std::size_t length, char* to) {
    constexpr std::size_t kVector = 32;
    std::size_t i = 0;
    for (; i + 2 * kVector <= length; i += 2 * kVector) {
        Map32s<2>(rows, from + i, to + i);
    }
    if (i + kVector <= length) {
        Map32s<1>(rows, from + i, to + i);
        i += kVector;
    }
    if (i < length) {
        Map32s<1>(rows, from + length - kVector, to + length - kVector);
    }
}

#endif
#endif

}  // namespace

ByteMap::ByteMap(const std::array<char, 256>& bytes) : bytes_(bytes) {
    for (int high = 0; high < 16; ++high) {
        ByteMapRow row{};
        bool changed = false;
        for (int low = 0; low < 16; ++low) {
            const int value = high * 16 + low;
            row.changes[low] = static_cast<char>(value ^ static_cast<unsigned char>(bytes[value]));
            row.highNibble[low] = static_cast<char>(high);
            changed = changed || row.changes[low] != 0;
        }
        if (changed) {
            changedRows_.push_back(row);
        }
    }
}

void ByteMap::apply(ByteMapInstructions instructions, const char* from, std::size_t length,
                    char* to) const {
#ifdef __x86_64__
#ifndef _WIN32
    if (instructions == ByteMapInstructions::Avx2 && length >= 32) {
        return ApplyAvx2(changedRows_, from, length, to);
    }
#endif
    if (instructions != ByteMapInstructions::Plain && length >= 16) {
        return ApplySsse3(changedRows_, from, length, to);
    }
#else
    static_cast<void>(instructions);
#endif
    ApplyPlain(bytes_, from, length, to);
}

ByteMapInstructions ByteMap::FastestInstructions() {
#ifdef __x86_64__
#ifndef _WIN32
    if (__builtin_cpu_supports("avx2")) {
        return ByteMapInstructions::Avx2;
    }
#endif
    if (__builtin_cpu_supports("ssse3")) {
        return ByteMapInstructions::Ssse3;
    }
#endif
    return ByteMapInstructions::Plain;
}

}  // namespace recode

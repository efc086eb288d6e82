#include "recode/line_scan.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#ifdef __x86_64__
#include <emmintrin.h>
#endif

namespace recode {
namespace {

const char* FindCrOrLfPlain(const char* begin, const char* end) {
    const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin));
    const char* stop = lf != nullptr ? static_cast<const char*>(lf) : end;
    const void* cr = std::memchr(begin, '\r', static_cast<std::size_t>(stop - begin));
    return cr != nullptr ? static_cast<const char*>(cr) : stop;
}

#ifdef __x86_64__

// One bit for each of the 32 bytes from `at` that is `byte`.
std::uint32_t Matches(const char* at, char byte) {
    const __m128i wanted = _mm_set1_epi8(byte);
    const auto in16 = [&](const char* from) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)));
    };
    return in16(at) | in16(at + 16) << 16;
}

const char* FindCrOrLfVector(const char* begin, const char* end) {
    for (const char* at = begin; at < end; at += 32) {
        if (const std::uint32_t found = Matches(at, '\r') | Matches(at, '\n')) {
            return std::min(at + std::countr_zero(found), end);
        }
    }
    return end;
}

#endif

// The scan is a template argument, not a function pointer, so that the compiler builds it into
// the loop: a call for each line made the scan cost a quarter more instructions.
template <const char* (*FindCrOrLfIn)(const char*, const char*)>
const char* CrLfTextEndWith(const char* begin, const char* end, bool lineStart) {
    const char* next = begin;
    while (next != end && !(lineStart && *next == kCtrlZ)) {
        const char* const stop = FindCrOrLfIn(next, end);
        if (LineEndLength(stop, end) != 2) {
            return stop;
        }
        next = stop + 2;
        lineStart = true;
    }
    return next;
}

}  // namespace

const char* FindCrOrLf(const char* begin, const char* end, ScanInstructions instructions) {
#ifdef __x86_64__
    if (instructions == ScanInstructions::Sse2) {
        return FindCrOrLfVector(begin, end);
    }
#endif
    (void)instructions;
    return FindCrOrLfPlain(begin, end);
}

const char* CrLfTextEnd(const char* begin, const char* end, bool lineStart,
                        ScanInstructions instructions) {
#ifdef __x86_64__
    if (instructions == ScanInstructions::Sse2) {
        return CrLfTextEndWith<FindCrOrLfVector>(begin, end, lineStart);
    }
#endif
    (void)instructions;
    return CrLfTextEndWith<FindCrOrLfPlain>(begin, end, lineStart);
}

}  // namespace recode

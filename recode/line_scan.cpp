#include "recode/line_scan.h"

#include <bit>
#include <cstdint>
#include <cstring>

#ifdef __x86_64__
#include <emmintrin.h>
#endif

namespace recode {
namespace {

constexpr char kCtrlZ = 26;

const char* FindCrOrLfPlain(const char* begin, const char* end) {
    const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin));
    const char* stop = lf != nullptr ? static_cast<const char*>(lf) : end;
    const void* cr = std::memchr(begin, '\r', static_cast<std::size_t>(stop - begin));
    return cr != nullptr ? static_cast<const char*>(cr) : stop;
}

const char* PlainTextEndPlain(const char* begin, const char* end, bool lineStart) {
    const char* next = begin;
    while (next != end && !(lineStart && *next == kCtrlZ)) {
        const char* const stop = FindCrOrLfPlain(next, end);
        if (stop == end || *stop == '\n' || end - stop < 2 || stop[1] != '\n') {
            return stop;
        }
        next = stop + 2;
        lineStart = true;
    }
    return next;
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

// The bits of the window at `at` that lie before `end`, and whether it is the last window.
struct Window {
    std::uint32_t inside;
    bool last;
};
Window WindowAt(const char* at, const char* end) {
    const bool last = end - at <= 32;
    return {last ? static_cast<std::uint32_t>((std::uint64_t{1} << (end - at)) - 1) : ~0u, last};
}

const char* FindCrOrLfVector(const char* begin, const char* end) {
    for (const char* at = begin;; at += 32) {
        const Window window = WindowAt(at, end);
        if (const std::uint32_t found = (Matches(at, '\r') | Matches(at, '\n')) & window.inside) {
            return at + std::countr_zero(found);
        }
        if (window.last) {
            return end;
        }
    }
}

// Each byte is judged with its neighbours: the bits of the one before the window come in from
// the window before, the one after it is looked at alone.
const char* PlainTextEndVector(const char* begin, const char* end, bool lineStart) {
    std::uint32_t crBefore = 0;
    std::uint32_t lfBefore = lineStart ? 1 : 0;
    for (const char* at = begin;; at += 32) {
        const Window window = WindowAt(at, end);
        const std::uint32_t cr = Matches(at, '\r');
        const std::uint32_t lf = Matches(at, '\n');
        const std::uint32_t lfAfter =
            (lf & window.inside) >> 1 | std::uint32_t{!window.last && at[32] == '\n'} << 31;
        const std::uint32_t bareLf = lf & ~(cr << 1 | crBefore);
        const std::uint32_t loneCr = cr & ~lfAfter;
        const std::uint32_t ctrlZAtLineStart = Matches(at, kCtrlZ) & (lf << 1 | lfBefore);
        if (const std::uint32_t found = (bareLf | loneCr | ctrlZAtLineStart) & window.inside) {
            return at + std::countr_zero(found);
        }
        if (window.last) {
            return end;
        }
        crBefore = cr >> 31;
        lfBefore = lf >> 31;
    }
}

#endif

}  // namespace

const char* FindCrOrLf(const char* begin, const char* end, ScanWay way) {
#ifdef __x86_64__
    if (way == ScanWay::Vector) {
        return FindCrOrLfVector(begin, end);
    }
#endif
    (void)way;
    return FindCrOrLfPlain(begin, end);
}

const char* PlainTextEnd(const char* begin, const char* end, bool lineStart, ScanWay way) {
#ifdef __x86_64__
    if (way == ScanWay::Vector) {
        return PlainTextEndVector(begin, end, lineStart);
    }
#endif
    (void)way;
    return PlainTextEndPlain(begin, end, lineStart);
}

}  // namespace recode

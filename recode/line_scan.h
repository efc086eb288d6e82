// The line reader's looks into its block for line ends. 64-bit x86 always has SSE2, which looks
// for CR and LF at once, 32 bytes at a time; the plain way, memchr for each in turn, is what other
// systems take and the reference in the tests.
#pragma once

#include <cstddef>

namespace recode {

// Where a line begins, it ends the text.
inline constexpr char kCtrlZ = 26;

// The instruction sets the looks can use: memchr, or SSE2 vectors.
enum class ScanInstructions { Plain, Sse2 };

#ifdef __x86_64__
inline constexpr ScanInstructions kFastestScan = ScanInstructions::Sse2;
#else
inline constexpr ScanInstructions kFastestScan = ScanInstructions::Plain;
#endif

// The vector way reads up to this many bytes past `end`, which must be readable; what lies there
// never counts.
inline constexpr std::size_t kScanSlack = 32;

// The first CR or LF in [begin, end), or `end`.
const char* FindCrOrLf(const char* begin, const char* end,
                       ScanInstructions instructions = kFastestScan);

// The length of the line end at `at`, a CR, an LF or `end`: 2 for CR LF, 1 for LF, 0 for a lone
// CR or the data's end.
inline std::size_t LineEndLength(const char* at, const char* end) {
    if (at == end) {
        return 0;
    }
    if (*at == '\n') {
        return 1;
    }
    return end - at >= 2 && at[1] == '\n' ? 2 : 0;
}

// Where the text from `begin` stops being as the writer writes it: at the first LF without a CR
// before it, CR without an LF after it before `end`, or Ctrl-Z where a line begins (at `begin`
// too when `lineStart`); `end` when there is none.
const char* CrLfTextEnd(const char* begin, const char* end, bool lineStart,
                        ScanInstructions instructions = kFastestScan);

}  // namespace recode

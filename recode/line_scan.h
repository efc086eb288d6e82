// The line reader's looks into its block for the bytes that line rules apply to: CR, LF and a
// Ctrl-Z where a line begins. 64-bit x86 always has SSE2, which looks at 32 bytes at a time; the
// plain way looks byte by byte, or through memchr, and is the reference in the tests.
#pragma once

#include <cstddef>

namespace recode {

enum class ScanWay { Plain, Vector };

#ifdef __x86_64__
inline constexpr ScanWay kFastestScan = ScanWay::Vector;
#else
inline constexpr ScanWay kFastestScan = ScanWay::Plain;
#endif

// The vector way reads up to this many bytes past `end`, which must be readable; what lies there
// never counts.
inline constexpr std::size_t kScanSlack = 32;

// The first CR or LF in [begin, end), or `end`.
const char* FindCrOrLf(const char* begin, const char* end, ScanWay way = kFastestScan);

// Where the text from `begin` stops being plain, that is, already as the writer writes it: at the
// first LF without a CR before it, CR without an LF after it before `end`, or Ctrl-Z where a line
// begins (at `begin` too when `lineStart`); `end` when there is none.
const char* PlainTextEnd(const char* begin, const char* end, bool lineStart,
                         ScanWay way = kFastestScan);

}  // namespace recode

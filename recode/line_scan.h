// The line reader's look into its block for the next CR or LF. 64-bit x86 always has SSE2, which
// looks for both at once, 32 bytes at a time; the plain way, memchr for each in turn, is what
// other systems take and the reference in the tests.
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

}  // namespace recode

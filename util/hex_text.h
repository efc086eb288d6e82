// Hexadecimal text of a number, as the version resource's language and code-page path needs it.
#pragma once

#include <cstdint>
#include <string>

namespace util {

// The upper-case hexadecimal digits of `value`, padded on the left with "0" to at least
// `minDigits` digits and never cut to them; no "0x" or other marker. A `minDigits` of 0 or less
// asks for no padding, so 0 then gives the empty text.
std::string HexText(std::uint32_t value, std::int32_t minDigits);

}  // namespace util

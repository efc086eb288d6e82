// Where in the version resource the strings of the program's own language are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace about {

// The first entry of a "Translation" value of `length` bytes: language in the low 16 bits, code
// page in the high 16 bits. A value shorter than one whole entry has none.
std::optional<std::uint32_t> FirstTranslationEntry(const void* value, std::size_t length);

// The language and code-page part of the version strings' path, with its closing backslash,
// from the first translation entry: "00000000\" for language 0 and code page 0. Without an
// entry the strings are looked for under "080004b0\".
std::string TranslationPath(std::optional<std::uint32_t> firstTranslation);

}  // namespace about

#include "about/translation_path.h"

#include <cstring>

#include "util/hex_text.h"

namespace about {

std::optional<std::uint32_t> FirstTranslationEntry(const void* value, std::size_t length) {
    std::uint32_t entry;
    // Reading a whole entry from a shorter value would read past it.
    if (value == nullptr || length < sizeof(entry)) {
        return std::nullopt;
    }
    std::memcpy(&entry, value, sizeof(entry));
    return entry;
}

std::string TranslationPath(std::optional<std::uint32_t> firstTranslation) {
    if (!firstTranslation) {
        return "080004b0\\";
    }
    return util::HexText(*firstTranslation & 0xFFFF, 4) +
           util::HexText(*firstTranslation >> 16, 4) + "\\";
}

}  // namespace about

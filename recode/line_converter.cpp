#include "recode/line_converter.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/out_of_memory.h"

namespace recode {
namespace {

constexpr unsigned char kBlank = 0x20;

}  // namespace

LineConverter::LineConverter(const TranslationTable& table) {
    std::size_t longest = 1;
    for (int b = 0; b < 256; ++b) {
        const auto c = static_cast<unsigned char>(b);
        std::string replacement;
        if (c <= kBlank || !AppendReplacements(table, c, replacement)) {
            replacement.assign(1, static_cast<char>(c));
        }
        Substitute& substitute = substitutes_[c];
        substitute.length = replacement.size();
        if (replacement.size() <= kShortLength) {
            std::memcpy(substitute.bytes, replacement.data(), replacement.size());
        } else {
            longReplacements_[c] = std::move(replacement);
            anyLong_ = true;
        }
        oneToOne_ = oneToOne_ && substitute.length == 1;
        longest = std::max(longest, substitute.length);
    }
    longestSafeLine_ = (std::numeric_limits<std::size_t>::max() / 2) / longest;
}

void LineConverter::convert(std::string_view line, std::string& out) const {
    if (oneToOne_) {
        convertOneToOne(line, out);
    } else {
        convertGeneral(line, out);
    }
}

// A table of single-byte replacements is a byte map, like tr's.
void LineConverter::convertOneToOne(std::string_view line, std::string& out) const {
    const std::size_t start = out.size();
    out.resize(start + line.size());
    char* to = out.data() + start;
    for (const char byte : line) {
        *to++ = substitutes_[static_cast<unsigned char>(byte)].bytes[0];
    }
}

// The exact size first, so that memory grows with the output and never with a guess; then every
// short replacement is copied as a whole word, which the next one partly overwrites.
std::size_t LineConverter::convertedSize(std::string_view line) const {
    std::size_t size = 0;
    if (line.size() <= longestSafeLine_) {
        for (const char byte : line) {
            size += substitutes_[static_cast<unsigned char>(byte)].length;
        }
        return size;
    }
    // A line long enough to overflow the count through its long replacements: an output
    // that large could never be held anyway.
    for (const char byte : line) {
        const std::size_t length = substitutes_[static_cast<unsigned char>(byte)].length;
        if (length > std::numeric_limits<std::size_t>::max() / 2 - size) {
            platform::EndProcessOutOfMemory();
        }
        size += length;
    }
    return size;
}

void LineConverter::convertGeneral(std::string_view line, std::string& out) const {
    const std::size_t converted = convertedSize(line);
    const std::size_t start = out.size();
    if (converted > out.max_size() - start - kShortLength) {
        platform::EndProcessOutOfMemory();
    }
    out.resize(start + converted + kShortLength);
    char* to = out.data() + start;
    for (const char byte : line) {
        const Substitute& substitute = substitutes_[static_cast<unsigned char>(byte)];
        if (anyLong_ && substitute.length > kShortLength) {
            const std::string& replacement = longReplacements_[static_cast<unsigned char>(byte)];
            std::memcpy(to, replacement.data(), replacement.size());
        } else {
            std::memcpy(to, substitute.bytes, kShortLength);
        }
        to += substitute.length;
    }
    out.resize(start + converted);
}

}  // namespace recode

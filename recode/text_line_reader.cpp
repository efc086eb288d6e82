#include "recode/text_line_reader.h"

#include <bit>
#include <cstdint>
#include <cstring>

#ifdef __x86_64__
#include <emmintrin.h>
#endif

namespace recode {
namespace {

constexpr char kCtrlZ = 26;

// The first CR or LF from `begin` on, or `end`. 64-bit x86 always has SSE2, which looks for both
// in one go, 32 bytes at a time; elsewhere memchr looks for each in turn.
const char* findCrOrLf(const char* begin, const char* end) {
#ifdef __x86_64__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const auto lineEndsIn16 = [&](const char* at) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return static_cast<std::uint32_t>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
    };
    for (; end - begin >= 32; begin += 32) {
        const std::uint32_t found = lineEndsIn16(begin) | lineEndsIn16(begin + 16) << 16;
        if (found != 0) {
            return begin + std::countr_zero(found);
        }
    }
    while (begin != end && *begin != '\r' && *begin != '\n') {
        ++begin;
    }
    return begin;
#else
    const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin));
    const char* stop = lf != nullptr ? static_cast<const char*>(lf) : end;
    const void* cr = std::memchr(begin, '\r', static_cast<std::size_t>(stop - begin));
    return cr != nullptr ? static_cast<const char*>(cr) : stop;
#endif
}

// CRs never belong to a line: one before LF is part of the terminator, any other is dropped.
void appendWithoutCr(std::string& line, const char* begin, const char* end) {
    while (begin != end) {
        const void* cr = std::memchr(begin, '\r', static_cast<std::size_t>(end - begin));
        const char* stop = cr != nullptr ? static_cast<const char*>(cr) : end;
        line.append(begin, stop);
        begin = cr != nullptr ? stop + 1 : end;
    }
}

}  // namespace

TextLineReader::TextLineReader(std::size_t blockSize, DashName dash)
    : buffer_(blockSize), dash_(dash) {}

TextLineReader::~TextLineReader() {
    if (open_) {
        platform::closeFile(file_);
    }
}

void TextLineReader::open(const std::string& name) {
    if (open_) {
        close();
    }
    platform::NativeFile file{};
    const platform::ErrorCode code = dash_ == DashName::IsStandardStream && name == "-"
                                         ? platform::duplicateStandardInput(file)
                                         : platform::openForReading(name, file);
    start(code, file);
}

void TextLineReader::start(platform::ErrorCode code, platform::NativeFile file) {
    failure_ = 0;
    valid_ = 0;
    next_ = 0;
    endMet_ = false;
    if (code != 0) {
        fail(code);
        return;
    }
    file_ = file;
    open_ = true;
}

bool TextLineReader::refill() {
    if (endMet_) {
        return false;
    }
    std::size_t count = 0;
    if (const platform::ErrorCode code =
            platform::readSome(file_, buffer_.data(), buffer_.size(), count)) {
        // Only this request ends here; the end is not taken as met.
        fail(code);
        return false;
    }
    if (count == 0) {
        endMet_ = true;
        return false;
    }
    valid_ = count;
    next_ = 0;
    return true;
}

bool TextLineReader::atEnd() {
    if (!open_) {
        fail(kUsedWhileNotOpen);
        return true;
    }
    if (next_ == valid_ && !refill()) {
        return true;
    }
    return buffer_[next_] == kCtrlZ;
}

std::string_view TextLineReader::readLine() {
    if (!open_) {
        fail(kUsedWhileNotOpen);
        return {};
    }
    const char* begin = buffer_.data() + next_;
    const char* end = buffer_.data() + valid_;
    const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin));
    if (lf != nullptr) {
        const char* stop = static_cast<const char*>(lf);
        if (stop != begin && stop[-1] == '\r') {
            --stop;
        }
        if (std::memchr(begin, '\r', static_cast<std::size_t>(stop - begin)) == nullptr) {
            next_ = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data()) + 1;
            return std::string_view(begin, static_cast<std::size_t>(stop - begin));
        }
    }
    return assembleLine();
}

std::string_view TextLineReader::readCrLfLines() {
    if (!open_) {
        fail(kUsedWhileNotOpen);
        return {};
    }
    const char* const begin = buffer_.data() + next_;
    const char* const end = buffer_.data() + valid_;
    const char* next = begin;
    while (next != end && *next != kCtrlZ) {
        const char* const cr = findCrOrLf(next, end);
        if (end - cr < 2 || cr[0] != '\r' || cr[1] != '\n') {
            break;
        }
        next = cr + 2;
    }
    next_ += static_cast<std::size_t>(next - begin);
    return std::string_view(begin, static_cast<std::size_t>(next - begin));
}

// A line that crosses read requests, or holds a lone CR, is put together piece by piece.
std::string_view TextLineReader::assembleLine() {
    assembled_.clear();
    for (;;) {
        if (next_ == valid_ && !refill()) {
            return assembled_;
        }
        const char* begin = buffer_.data() + next_;
        const char* end = buffer_.data() + valid_;
        const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin));
        const char* stop = lf != nullptr ? static_cast<const char*>(lf) : end;
        appendWithoutCr(assembled_, begin, stop);
        next_ = static_cast<std::size_t>(stop - buffer_.data());
        if (lf != nullptr) {
            ++next_;
            return assembled_;
        }
    }
}

void TextLineReader::close() {
    if (!open_) {
        fail(kClosedWhileNotOpen);
        return;
    }
    open_ = false;
    if (const platform::ErrorCode code = platform::closeFile(file_)) {
        fail(code);
    }
}

void TextLineReader::fail(IoResult code) {
    if (failure_ == 0) {
        failure_ = code;
    }
    storeIoResult(code);
}

}  // namespace recode

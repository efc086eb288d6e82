#include "recode/text_line_reader.h"

#include <utility>

#include "recode/line_scan.h"

namespace recode {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

TextLineReader::TextLineReader(std::size_t blockSize) : buffer_(blockSize + kScanSlack) {}

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
    const platform::ErrorCode code = platform::openForReading(name, file);
    start(code, file);
}

void TextLineReader::attach(platform::NativeFile file) {
    if (open_) {
        close();
    }
    start(0, file);
}

void TextLineReader::start(platform::ErrorCode code, platform::NativeFile file) {
    failure_ = {};
    valid_ = 0;
    next_ = 0;
    endMet_ = false;
    insideLine_ = false;
    dropped_ = {};
    if (code != 0) {
        fail(IoFailure::System(code));
        return;
    }
    file_ = file;
    open_ = true;
}

// After a failed request the reader asks no more: whoever reads it, the pass or the table's
// readers, stops at the first failure anyway.
bool TextLineReader::refill() {
    if (endMet_ || failure_) {
        return false;
    }
    std::size_t count = 0;
    if (const platform::ErrorCode code =
            platform::readSome(file_, buffer_.data(), blockSize(), count)) {
        fail(IoFailure::System(code));
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
        fail(IoFailure::Engines(kUsedWhileNotOpen));
        return true;
    }
    if (next_ == valid_ && !refill()) {
        return true;
    }
    return buffer_[next_] == kCtrlZ;
}

std::string_view TextLineReader::readLine() {
    if (!open_) {
        fail(IoFailure::Engines(kUsedWhileNotOpen));
        return {};
    }
    const char* begin = buffer_.data() + next_;
    const char* end = buffer_.data() + valid_;
    const char* stop = FindCrOrLf(begin, end);
    const std::size_t terminator = LineEndLength(stop, end);
    if (terminator == 0) {
        return assembleLine();
    }
    next_ = static_cast<std::size_t>(stop - buffer_.data()) + terminator;
    return std::string_view(begin, static_cast<std::size_t>(stop - begin));
}

std::string_view TextLineReader::readText() {
    if (!open_) {
        fail(IoFailure::Engines(kUsedWhileNotOpen));
        return {};
    }
    // First the bytes that a line rule turns into other text: they come alone.
    for (;;) {
        if (next_ == valid_ && !refill()) {
            // The last line may lack its end.
            return std::exchange(insideLine_, false) ? kLineEnd : std::string_view();
        }
        const char* const at = buffer_.data() + next_;
        const char* const end = buffer_.data() + valid_;
        if (!insideLine_ && *at == kCtrlZ) {
            return {};
        }
        if (*at == '\n') {
            ++next_;
            insideLine_ = false;
            return kLineEnd;
        }
        if (*at != '\r' || LineEndLength(at, end) == 2) {
            break;
        }
        // A lone CR is dropped; so is one that ends the block, whose LF, if any, comes alone.
        ++next_;
        insideLine_ = true;
    }
    // Then everything up to the next such byte or the block's end, whole lines ending in CR LF
    // included.
    const char* const begin = buffer_.data() + next_;
    // Not empty: the byte at `begin` needs no line rule.
    const char* const next = CrLfTextEnd(begin, buffer_.data() + valid_, !insideLine_);
    insideLine_ = next[-1] != '\n';
    next_ += static_cast<std::size_t>(next - begin);
    return std::string_view(begin, static_cast<std::size_t>(next - begin));
}

// A line that crosses read requests, or holds a lone CR, is put together piece by piece. CRs
// never belong to a line: one before LF is part of the terminator, any other is dropped.
std::string_view TextLineReader::assembleLine() {
    assembled_.clear();
    for (;;) {
        if (next_ == valid_ && !refill()) {
            return assembled_;
        }
        const char* begin = buffer_.data() + next_;
        const char* end = buffer_.data() + valid_;
        const char* stop = FindCrOrLf(begin, end);
        assembled_.append(begin, stop);
        next_ = static_cast<std::size_t>(stop - buffer_.data());
        if (stop != end) {
            ++next_;
            if (*stop == '\n') {
                return assembled_;
            }
        }
    }
}

std::string_view TextLineReader::peek() {
    if (!open_) {
        fail(IoFailure::Engines(kUsedWhileNotOpen));
        return {};
    }
    if (next_ == valid_ && !refill()) {
        return {};
    }
    return std::string_view(buffer_.data() + next_, valid_ - next_);
}

void TextLineReader::close() {
    if (!open_) {
        fail(IoFailure::Engines(kClosedWhileNotOpen));
        return;
    }
    open_ = false;
    if (const platform::ErrorCode code = platform::closeFile(file_)) {
        fail(IoFailure::System(code));
    }
}

std::size_t TextLineReader::blockSize() const {
    return buffer_.size() - kScanSlack;
}

void TextLineReader::fail(IoFailure failure) {
    if (!failure_) {
        failure_ = failure;
    }
    storeIoResult(failure.code);
}

}  // namespace recode

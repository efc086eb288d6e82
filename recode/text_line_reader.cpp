#include "recode/text_line_reader.h"

#include <utility>

#include "recode/line_scan.h"

namespace recode {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

TextLineReader::TextLineReader(std::size_t blockSize) : buffer_(1 + blockSize + kScanSlack) {}

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
    crEndsBlock_ = false;
    endMarkMet_ = false;
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
    for (;;) {
        std::size_t count = 0;
        if (!endMet_ && !failure_) {
            if (const platform::ErrorCode code =
                    platform::readSome(file_, buffer_.data(), blockSize(), count)) {
                fail(IoFailure::System(code));
            } else if (count == 0) {
                endMet_ = true;
            }
        }
        valid_ = count;
        next_ = 0;
        // Only now is it known whether the CR that ended the block before stood alone.
        if (std::exchange(crEndsBlock_, false)) {
            const bool lf = count != 0 && buffer_[0] == '\n';
            if (!loneCrEndsLine_ && !lf) {
                ++dropped_.loneCrs;
            }
            // The CR ended the line already, so its LF is part of that line end.
            if (loneCrEndsLine_ && lf) {
                next_ = 1;
            }
        }
        if (count == 0 || next_ < valid_) {
            return count != 0;
        }
    }
}

bool TextLineReader::atEnd() {
    if (!open_) {
        fail(IoFailure::Engines(kUsedWhileNotOpen));
        return true;
    }
    if (next_ == valid_ && !refill()) {
        return true;
    }
    if (buffer_[next_] != kCtrlZ) {
        return false;
    }
    meetEndMark();
    return true;
}

// When the Ctrl-Z is the block's last byte, the next block is read in behind it: the reader still
// stands at the Ctrl-Z, and the requests keep their size. A failure to read what follows it is no
// failure of the text, which has ended, but what could not be read may be lost.
void TextLineReader::meetEndMark() {
    if (std::exchange(endMarkMet_, true)) {
        return;
    }
    if (next_ + 1 == valid_ && !endMet_ && !failure_) {
        buffer_[0] = kCtrlZ;
        next_ = 0;
        valid_ = 1;
        std::size_t count = 0;
        if (platform::readSome(file_, buffer_.data() + 1, blockSize(), count) != 0) {
            endMet_ = true;
            dropped_.afterEndMark = true;
            return;
        }
        endMet_ = count == 0;
        valid_ += count;
    }
    dropped_.afterEndMark = next_ + 1 < valid_;
}

std::string_view TextLineReader::readLine() {
    if (!open_) {
        fail(IoFailure::Engines(kUsedWhileNotOpen));
        return {};
    }
    const char* begin = buffer_.data() + next_;
    const char* end = buffer_.data() + valid_;
    const char* stop = FindCrOrLf(begin, end);
    const std::size_t terminator = lineEndAt(stop, end);
    if (terminator == 0) {
        return assembleLine();
    }
    next_ = static_cast<std::size_t>(stop - buffer_.data()) + terminator;
    return std::string_view(begin, static_cast<std::size_t>(stop - begin));
}

std::size_t TextLineReader::lineEndAt(const char* at, const char* end) {
    const std::size_t length = LineEndLength(at, end);
    if (length != 0 || at == end || !loneCrEndsLine_) {
        return length;
    }
    crEndsBlock_ = at + 1 == end;
    return 1;
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
            meetEndMark();
            return {};
        }
        if (*at != '\n' && (*at != '\r' || LineEndLength(at, end) == 2)) {
            break;
        }
        ++next_;
        if (lineEndAt(at, end) != 0) {
            insideLine_ = false;
            return kLineEnd;
        }
        // A lone CR is dropped; so is one that ends the block, whose LF, if any, comes alone.
        dropLoneCr(at, end);
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

// A lone CR inside the block is counted at once; one that ends the block when the next block
// shows that no LF follows it.
void TextLineReader::dropLoneCr(const char* at, const char* end) {
    if (at + 1 == end) {
        crEndsBlock_ = true;
    } else {
        ++dropped_.loneCrs;
    }
}

// A line that crosses read requests, or holds a lone CR, is put together piece by piece. CRs
// never belong to a line: one before LF is part of the terminator, any other is dropped or, in
// classic Mac OS text, the terminator itself.
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
        const std::size_t terminator = lineEndAt(stop, end);
        next_ = static_cast<std::size_t>(stop - buffer_.data()) + terminator;
        if (terminator != 0) {
            return assembled_;
        }
        if (stop != end) {
            dropLoneCr(stop, end);
            ++next_;
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
    return buffer_.size() - 1 - kScanSlack;
}

void TextLineReader::fail(IoFailure failure) {
    if (!failure_) {
        failure_ = failure;
    }
    storeIoResult(failure.code);
}

}  // namespace recode

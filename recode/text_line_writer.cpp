#include "recode/text_line_writer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace recode {

TextLineWriter::TextLineWriter(std::size_t blockSize) : buffer_(blockSize + kOverrun) {}

TextLineWriter::~TextLineWriter() {
    if (open_) {
        platform::closeFile(file_);
    }
}

void TextLineWriter::create(const std::string& name) {
    releaseHeldFile();
    platform::NativeFile file{};
    const platform::ErrorCode code = platform::createForWriting(name, file);
    start(code, file);
}

// A close whose last write failed keeps the file; the second close, with the buffer empty, lets
// it go, so no handle is ever abandoned while open.
void TextLineWriter::releaseHeldFile() {
    if (open_) {
        close();
    }
    if (open_) {
        close();
    }
}

void TextLineWriter::attach(platform::NativeFile file) {
    releaseHeldFile();
    start(0, file);
}

bool TextLineWriter::detach() {
    if (!open_) {
        fail(IoFailure::Engines(kClosedWhileNotOpen));
        return false;
    }
    open_ = false;
    return flush();
}

void TextLineWriter::start(platform::ErrorCode code, platform::NativeFile file) {
    failure_ = {};
    used_ = 0;
    if (code != 0) {
        fail(IoFailure::System(code));
        return;
    }
    const platform::FileKind kind = platform::kindOf(file);
    if (kind == platform::FileKind::Unknown) {
        platform::closeFile(file);
        fail(IoFailure::Engines(kUnknownFileType));
        return;
    }
    // A terminal or printer shows each line as soon as it is written.
    flushEveryLine_ = kind == platform::FileKind::Character;
    file_ = file;
    open_ = true;
}

void TextLineWriter::write(std::string_view text) {
    if (!open_) {
        fail(IoFailure::Engines(kUsedWhileNotOpen));
        return;
    }
    put(text.data(), text.size());
}

std::span<char> TextLineWriter::room() {
    if (!open_) {
        return {};
    }
    return std::span<char>(buffer_).subspan(used_);
}

// Whole blocks are written from where they were made; only what is left moves to the front.
void TextLineWriter::commit(std::size_t count) {
    used_ += count;
    std::size_t written = 0;
    for (; used_ - written >= blockSize(); written += blockSize()) {
        if (!writeBlock(buffer_.data() + written, blockSize())) {
            used_ = 0;
            return;
        }
    }
    if (written != 0) {
        used_ -= written;
        std::memmove(buffer_.data(), buffer_.data() + written, used_);
    }
}

void TextLineWriter::showWholeLines() {
    if (!flushEveryLine_) {
        return;
    }
    const std::size_t lastEnd = std::string_view(buffer_.data(), used_).rfind('\n');
    if (lastEnd == std::string_view::npos) {
        return;
    }
    const std::size_t shown = lastEnd + 1;
    if (!writeBlock(buffer_.data(), shown)) {
        used_ = 0;
        return;
    }
    used_ -= shown;
    std::memmove(buffer_.data(), buffer_.data() + shown, used_);
}

// One write request: when a block fails, the rest of this request is dropped with it.
void TextLineWriter::put(const char* data, std::size_t count) {
    while (count > 0) {
        const std::size_t taken = std::min(count, blockSize() - used_);
        std::memcpy(buffer_.data() + used_, data, taken);
        used_ += taken;
        data += taken;
        count -= taken;
        if (used_ == blockSize() && !flush()) {
            return;
        }
    }
}

bool TextLineWriter::flush() {
    const std::size_t count = std::exchange(used_, 0);
    return count == 0 || writeBlock(buffer_.data(), count);
}

// One write request; when it fails, its bytes are lost.
bool TextLineWriter::writeBlock(const char* data, std::size_t count) {
    if (const platform::ErrorCode code = platform::writeAll(file_, data, count)) {
        fail(IoFailure::System(code));
        return false;
    }
    return true;
}

void TextLineWriter::close() {
    if (!open_) {
        fail(IoFailure::Engines(kClosedWhileNotOpen));
        return;
    }
    if (!flush()) {
        return;
    }
    open_ = false;
    if (const platform::ErrorCode code = platform::closeFile(file_)) {
        fail(IoFailure::System(code));
    }
}

void TextLineWriter::fail(IoFailure failure) {
    if (!failure_) {
        failure_ = failure;
    }
    storeIoResult(failure.code);
}

}  // namespace recode

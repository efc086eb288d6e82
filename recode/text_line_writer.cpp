#include "recode/text_line_writer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace recode {

TextLineWriter::TextLineWriter(std::size_t blockSize, DashName dash)
    : buffer_(blockSize), dash_(dash) {
    if (blockSize >= kWriteBehindBlockSize) {
        behind_.resize(blockSize);
        writer_ = std::thread(&TextLineWriter::writeBehind, this);
    }
}

TextLineWriter::~TextLineWriter() {
    if (writer_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        handedOver_.notify_one();
        writer_.join();
    }
    if (open_) {
        platform::closeFile(file_);
    }
}

// The second thread: writes each block handed over, until the writer goes with none left.
void TextLineWriter::writeBehind() {
    std::unique_lock lock(mutex_);
    for (;;) {
        handedOver_.wait(lock, [this] { return behindCount_ != 0 || stopping_; });
        if (behindCount_ == 0) {
            return;
        }
        lock.unlock();
        const platform::ErrorCode code = platform::writeAll(file_, behind_.data(), behindCount_);
        lock.lock();
        behindResult_ = code;
        behindCount_ = 0;
        written_.notify_one();
    }
}

void TextLineWriter::create(const std::string& name) {
    releaseHeldFile();
    platform::NativeFile file{};
    const platform::ErrorCode code = dash_ == DashName::IsStandardStream && name == "-"
                                         ? platform::duplicateStandardOutput(file)
                                         : platform::createForWriting(name, file);
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

void TextLineWriter::start(platform::ErrorCode code, platform::NativeFile file) {
    failure_ = 0;
    used_ = 0;
    if (code != 0) {
        fail(code);
        return;
    }
    const platform::FileKind kind = platform::kindOf(file);
    if (kind == platform::FileKind::Unknown) {
        platform::closeFile(file);
        fail(kUnknownFileType);
        return;
    }
    // A terminal or printer shows each line as soon as it is written.
    flushEveryLine_ = kind == platform::FileKind::Character;
    file_ = file;
    open_ = true;
}

void TextLineWriter::write(std::string_view text) {
    if (!open_) {
        fail(kUsedWhileNotOpen);
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

void TextLineWriter::commit(std::size_t count) {
    used_ += count;
    if (used_ == buffer_.size()) {
        flush();
    }
}

void TextLineWriter::lineEnded() {
    if (flushEveryLine_) {
        flush();
    }
}

// One write request: when a block fails, the rest of this request is dropped with it.
void TextLineWriter::put(const char* data, std::size_t count) {
    while (count > 0) {
        const std::size_t taken = std::min(count, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, data, taken);
        used_ += taken;
        data += taken;
        count -= taken;
        if (used_ == buffer_.size() && !flush()) {
            return;
        }
    }
}

bool TextLineWriter::flush() {
    if (used_ == 0) {
        return true;
    }
    if (writer_.joinable()) {
        // A block behind that failed takes this one with it.
        if (!settle()) {
            used_ = 0;
            return false;
        }
        std::swap(buffer_, behind_);
        {
            const std::lock_guard lock(mutex_);
            behindCount_ = used_;
        }
        handedOver_.notify_one();
        used_ = 0;
        return true;
    }
    const platform::ErrorCode code = platform::writeAll(file_, buffer_.data(), used_);
    used_ = 0;
    if (code != 0) {
        fail(code);
        return false;
    }
    return true;
}

// Waits until the block behind, if any, is written; false when its write failed.
bool TextLineWriter::settle() {
    std::unique_lock lock(mutex_);
    written_.wait(lock, [this] { return behindCount_ == 0; });
    const platform::ErrorCode code = std::exchange(behindResult_, 0);
    lock.unlock();
    if (code != 0) {
        fail(code);
        return false;
    }
    return true;
}

void TextLineWriter::close() {
    if (!open_) {
        fail(kClosedWhileNotOpen);
        return;
    }
    if (!flush() || !settle()) {
        return;
    }
    open_ = false;
    if (const platform::ErrorCode code = platform::closeFile(file_)) {
        fail(code);
    }
}

void TextLineWriter::fail(IoResult code) {
    if (failure_ == 0) {
        failure_ = code;
    }
    storeIoResult(code);
}

}  // namespace recode

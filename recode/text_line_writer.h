// Writes a text file in fixed-size blocks, from text given to it or made straight in its block.
//
// Failures go to the pending I/O result code. A block whose write fails is lost, together with
// the rest of the text being written; later text goes on normally.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_file.h"
#include "recode/io_result.h"

namespace recode {

class TextLineWriter {
  public:
    static constexpr std::size_t kDefaultBlockSize = 128;

    explicit TextLineWriter(std::size_t blockSize = kDefaultBlockSize);
    ~TextLineWriter();
    TextLineWriter(const TextLineWriter&) = delete;
    TextLineWriter& operator=(const TextLineWriter&) = delete;

    // Creates the named file, or empties it through the open itself; closes any file held before.
    void create(const std::string& name);

    // Writes into a file opened elsewhere, from where it stands, closing any file held before.
    void attach(platform::NativeFile file);
    // Passes the buffered bytes to the system and gives the file back without closing it, to
    // whoever attached it. False when that last write failed; the writer is not open either way.
    bool detach();

    void write(std::string_view text);

    // Where text can be made in place: the free part of the block and kOverrun bytes beyond it
    // (empty when the writer is not open). commit takes the first `count` bytes made there as
    // written, as write would, and carries what ran past the block over to the next one. The
    // overrun holds what 128 bytes, the Windows program's block, can become at 7 bytes a byte.
    static constexpr std::size_t kOverrun = 1024;
    std::span<char> room();
    void commit(std::size_t count);

    // A terminal or printer shows the whole lines written so far now, not when the block is full;
    // the beginning of a line after them waits for its end. Written text has LF only at line ends.
    void showWholeLines();

    // Passes the buffered bytes to the system and releases the file. If that last write fails,
    // the writer stays open with an empty buffer, so a second close releases it.
    void close();

    // The first failure since the writer was last created, 0 when there was none.
    IoFailure failure() const { return failure_; }

  private:
    void start(platform::ErrorCode code, platform::NativeFile file);
    void releaseHeldFile();
    void put(const char* data, std::size_t count);
    bool flush();
    bool writeBlock(const char* data, std::size_t count);
    std::size_t blockSize() const { return buffer_.size() - kOverrun; }
    // Keeps the first failure and leaves the code pending, as the design of the result code has it.
    void fail(IoFailure failure);

    std::vector<char> buffer_;  // the block and the overrun
    std::size_t used_ = 0;
    bool flushEveryLine_ = false;
    bool open_ = false;
    IoFailure failure_;
    platform::NativeFile file_{};
};

}  // namespace recode

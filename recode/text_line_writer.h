// Writes a text file in fixed-size blocks, from text given to it or made straight in its block.
//
// Failures go to the pending I/O result code. A block whose write fails is lost, together with
// the rest of the text being written; later text goes on normally.
//
// Large blocks are written behind: a second thread writes one block while the next is filled, and
// the failure of a write shows when the next block is handed over, or at close.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/system_file.h"
#include "recode/dash_name.h"
#include "recode/io_result.h"

namespace recode {

class TextLineWriter {
  public:
    static constexpr std::size_t kDefaultBlockSize = 128;
    // Blocks this large are written behind: the system's copy of one costs about as much as
    // making it. The Windows program's 128-byte blocks are written by the thread that fills them.
    static constexpr std::size_t kWriteBehindBlockSize = 64 * 1024;

    explicit TextLineWriter(std::size_t blockSize = kDefaultBlockSize,
                            DashName dash = DashName::IsAFile);
    ~TextLineWriter();
    TextLineWriter(const TextLineWriter&) = delete;
    TextLineWriter& operator=(const TextLineWriter&) = delete;

    // Creates the named file, or empties it through the open itself; closes any file held before.
    void create(const std::string& name);

    void write(std::string_view text);

    // The free part of the block, where text can be made in place (empty when the writer is not
    // open); commit takes the first `count` bytes made there as written, as write would.
    std::span<char> room();
    void commit(std::size_t count);

    // What was written ends with a whole line: a terminal or printer shows it now.
    void lineEnded();

    // Passes the buffered bytes to the system and releases the file. If that last write fails,
    // the writer stays open with an empty buffer, so a second close releases it.
    void close();

    // The code of the first failure since the writer was last created, 0 when there was none.
    IoResult failure() const { return failure_; }

  private:
    void start(platform::ErrorCode code, platform::NativeFile file);
    void releaseHeldFile();
    void put(const char* data, std::size_t count);
    bool flush();
    bool settle();
    void writeBehind();
    void fail(IoResult code);

    std::vector<char> buffer_;
    // Written behind: the block being written, how many of its bytes (0 when none is), and the
    // result of the last write, which the next flush or close takes.
    std::vector<char> behind_;
    std::size_t behindCount_ = 0;
    platform::ErrorCode behindResult_ = 0;
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable handedOver_;
    std::condition_variable written_;
    std::thread writer_;
    DashName dash_;
    std::size_t used_ = 0;
    bool flushEveryLine_ = false;
    bool open_ = false;
    IoResult failure_ = 0;
    platform::NativeFile file_{};
};

}  // namespace recode

// Reads a text file line by line in fixed-size blocks.
//
// LF or CR LF ends a line; a CR not followed by LF is dropped; a Ctrl-Z where a line begins ends
// the input (inside a line it is an ordinary byte). Every other byte, NUL and 0x80..0xFF included,
// belongs to the line. Failures go to the pending I/O result code, never to the caller directly.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_file.h"
#include "recode/dash_name.h"
#include "recode/io_result.h"

namespace recode {

class TextLineReader {
  public:
    // The Windows program reads in 128-byte requests; a larger block only saves system calls,
    // the lines read are the same whatever the size.
    static constexpr std::size_t kDefaultBlockSize = 128;

    explicit TextLineReader(std::size_t blockSize = kDefaultBlockSize,
                            DashName dash = DashName::IsAFile);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // Opens the named file from its first byte, closing any file held before.
    void open(const std::string& name);

    // True when no further line can be read: end of data, a read failure, a Ctrl-Z where the
    // next line would begin, or a reader that is not open.
    bool atEnd();
    // The next line, without its terminator. The view lasts until the next call: most lines are
    // shown where they lie in the read buffer, the others are assembled first.
    std::string_view readLine();
    // The whole lines from the next one on that lie in the read buffer and already end as the
    // writer ends lines, in CR LF, with no other CR and none beginning with Ctrl-Z: one view of
    // them with their ends, lasting until the next call. Empty when the next line is not such a
    // line; otherwise they count as read.
    std::string_view readCrLfLines();
    void close();

    // The code of the first failure since the reader was last opened, 0 when there was none.
    IoResult failure() const { return failure_; }

  private:
    void start(platform::ErrorCode code, platform::NativeFile file);
    bool refill();
    std::string_view assembleLine();
    void fail(IoResult code);

    std::vector<char> buffer_;
    std::string assembled_;
    DashName dash_;
    std::size_t valid_ = 0;
    std::size_t next_ = 0;
    bool endMet_ = false;
    bool open_ = false;
    IoResult failure_ = 0;
    platform::NativeFile file_{};
};

}  // namespace recode

// Reads a text file in fixed-size blocks, line by line or as one text with CR LF line ends.
//
// LF or CR LF ends a line; a CR not followed by LF is dropped, or ends the line when the reader is
// told so; a Ctrl-Z where a line begins ends the input (inside a line it is an ordinary byte).
// Every other byte, NUL and 0x80..0xFF included, belongs to the line. Failures go to the pending
// I/O result code, never to the caller directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_file.h"
#include "recode/io_result.h"

namespace recode {

class TextLineReader {
  public:
    // The Windows program reads in 128-byte requests; a larger block only saves system calls,
    // the lines read are the same whatever the size.
    static constexpr std::size_t kDefaultBlockSize = 128;

    explicit TextLineReader(std::size_t blockSize = kDefaultBlockSize);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // Opens the named file from its first byte, closing any file held before.
    void open(const std::string& name);
    // Reads a file opened elsewhere from where it stands, closing any file held before; close()
    // closes it.
    void attach(platform::NativeFile file);

    // A lone CR is dropped by the line rules; in classic Mac OS text it ends a line, as CR LF and
    // LF do. Holds for every file the reader opens from then on.
    void setLoneCrEndsLine(bool endsLine) { loneCrEndsLine_ = endsLine; }

    // What the line rules have dropped since the reader was last opened: lone CRs, and whether
    // anything followed the Ctrl-Z that ended the input where a line began. A Ctrl-Z that ends the
    // block may take one more read request to tell, made when the end is met.
    struct Dropped {
        std::uint64_t loneCrs = 0;
        bool afterEndMark = false;
        bool operator==(const Dropped&) const = default;
    };
    const Dropped& dropped() const { return dropped_; }

    // True when no further line can be read: end of data, a read failure, a Ctrl-Z where the
    // next line would begin, or a reader that is not open.
    bool atEnd();
    // The next line, without its terminator. The view lasts until the next call: most lines are
    // shown where they lie in the read buffer, the others are assembled first. Past a Ctrl-Z that
    // ended the input, the line it begins (so never empty); past the end of the data, nothing.
    std::string_view readLine();

    // The same lines as one text, in pieces: every line ends in CR LF, the writer's line end,
    // whatever ended it in the file; lone CRs are gone; nothing from a Ctrl-Z where a line begins
    // on. A piece holds what of the read buffer is already such text, whole lines and the
    // beginning of the line the buffer cuts, up to a line end that is not CR LF, a lone CR or a
    // Ctrl-Z; a line end that is not CR LF comes as a piece of its own. An empty piece means no
    // more text. Each lasts until the next call, so memory never grows with the lines. A reader
    // is read either by lines or as text.
    std::string_view readText();
    void close();

    // The bytes of the next read request, not yet taken: a look at how a file begins. Empty at the
    // end of the data or after a failure.
    std::string_view peek();

    // The first failure since the reader was last opened, 0 when there was none.
    IoFailure failure() const { return failure_; }

  private:
    void start(platform::ErrorCode code, platform::NativeFile file);
    bool refill();
    void meetEndMark();
    // The length of the line end at `at` (a CR, an LF or the block's end), 0 when the line goes on.
    std::size_t lineEndAt(const char* at, const char* end);
    void dropLoneCr(const char* at, const char* end);
    std::string_view assembleLine();
    // Keeps the first failure and leaves the code pending, as the design of the result code has it.
    void fail(IoFailure failure);
    std::size_t blockSize() const;

    // The block, then slack that the looks for line ends may read but never count; zeroed, so
    // that nothing they read was never written. One byte more, for the Ctrl-Z that ended the
    // input when the next block is read in behind it.
    std::vector<char> buffer_;
    std::string assembled_;
    std::size_t valid_ = 0;
    std::size_t next_ = 0;
    bool endMet_ = false;
    bool insideLine_ = false;  // readText gave the beginning of a line but not its end
    bool open_ = false;
    bool crEndsBlock_ = false;  // whether it stood alone depends on the next block's first byte
    bool endMarkMet_ = false;
    bool loneCrEndsLine_ = false;
    Dropped dropped_;
    IoFailure failure_;
    platform::NativeFile file_{};
};

}  // namespace recode

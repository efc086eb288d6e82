// The one job of Lettermill: every line of an input, converted through a translation table,
// written to an output with CR LF. Two calls: the Windows program's pass over three names, and
// the text of one open input into one open output, which a batch repeats on one loaded table.
#pragma once

#include <cstddef>
#include <string>

#include "recode/pass_result.h"
#include "recode/text_converter.h"
#include "recode/text_line_reader.h"
#include "recode/text_line_writer.h"

namespace recode {

struct PassNames {
    std::string input;
    std::string table;
    std::string output;
};

// A pass's readers and writer, made once and reused by every pass.
struct PassFiles {
    explicit PassFiles(std::size_t blockSize = TextLineReader::kDefaultBlockSize)
        : input(blockSize), table(blockSize), output(blockSize) {}

    // The pass's clean-up: closes the output, the input and the table, whichever are open, and
    // drops the result code that closing files not open leaves.
    void close();

    TextLineReader input;
    TextLineReader table;
    TextLineWriter output;
};

// Tests the names (the first empty one is the message), opens the input, reads the table (twice:
// counted, then loaded), creates the output and recodes. The files are left as the pass left
// them, so that a caller can show the message before it closes them with PassFiles::close().
PassResult Recode(const PassNames& names, PassFiles& files);

// Recodes the text of an open input into an open output, up to the input's end or the first read
// or write failure, which it names. Neither is closed.
PassResult RecodeText(TextLineReader& input, const TextConverter& converter,
                      TextLineWriter& output);

}  // namespace recode

// The one job of Lettermill: every line of the input file, converted through the translation
// table, written to the output file with CR LF.
#pragma once

#include <cstddef>

#include "recode/dialog_operations.h"
#include "recode/text_line_reader.h"
#include "recode/text_line_writer.h"

namespace recode {

// The pass's readers and writer, made once and reused by every pass.
struct PassFiles {
    explicit PassFiles(std::size_t blockSize = TextLineReader::kDefaultBlockSize,
                       DashName dash = DashName::IsAFile)
        : input(blockSize, dash), table(blockSize), output(blockSize, dash) {}

    TextLineReader input;
    TextLineReader table;
    TextLineWriter output;
};

// Reads the three names from the dialog, recodes, and reports "File name is empty" or
// "Bad file" through the dialog. Whichever way it ends, the Go button is enabled again, the
// cursor restored and no I/O result code left pending.
void RecodingPass(DialogOperations& dialog, PassFiles& files);

}  // namespace recode

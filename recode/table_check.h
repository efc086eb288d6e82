// The table checker: reads a table file as the recoding pass does and points out entries that
// do not do what they seem to: keys that never apply, lines without "=", ignored bytes,
// replacements that are cut or end in blanks or tabs after other bytes, keys whose entries get
// joined, lines that lone CRs do not end, and lines after a Ctrl-Z that ends the table.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "recode/text_line_reader.h"

namespace recode {

struct TableFinding {
    std::size_t line;  // from 1, counting empty lines too
    std::string message;
};

struct TableCheck {
    std::size_t entries = 0;
    std::vector<TableFinding> findings;
};

// Reads the table from a freshly opened reader to its end; read failures are left pending in
// the I/O result code, as for the pass.
TableCheck CheckTable(TextLineReader& reader);

}  // namespace recode

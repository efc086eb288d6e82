// The table checker: reads a table file as the recoding pass does and points out entries that
// do not do what they seem to: keys that never apply, lines without "=", ignored bytes,
// replacements that are cut or end in blanks or tabs after other bytes, keys whose entries get
// joined, lines that lone CRs do not end, and lines after a Ctrl-Z that ends the table; in a table
// of UTF-8 characters also keys that are no valid character and byte-order marks past the start.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "recode/text_line_reader.h"
#include "recode/translation_table.h"

namespace recode {

struct TableFinding {
    std::size_t line;  // from 1, counting empty lines too
    std::string message;
};

struct TableCheck {
    std::size_t entries = 0;
    std::vector<TableFinding> findings;
};

// Reads the table from a freshly opened reader to its end, as of the kind given or, when it begins
// with a byte-order mark, of characters; read failures are left pending in the I/O result code,
// as for the pass.
TableCheck CheckTable(TextLineReader& reader, TableKind kind = TableKind::Bytes);

}  // namespace recode

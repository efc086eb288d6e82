#pragma once

namespace recode {

// What the name "-" means to a reader or writer: a file of that name (the Windows program), or
// the process's standard input or output (the command-line companion, as Unix tools do).
enum class DashName { IsAFile, IsStandardStream };

}  // namespace recode

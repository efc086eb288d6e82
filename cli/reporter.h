// lettermill-recode's messages on standard error, "lettermill-recode: NAME: Bad file (REASON)",
// and the exit code they add up to: the highest of them.
#pragma once

#include <string>
#include <string_view>

#include "recode/io_result.h"

namespace cli {

class Reporter {
  public:
    // "File name is empty", saying which name: "the table, -t", "input 2". Exit code 2.
    void emptyName(std::string_view which);
    // "Bad file": exit code 1. A failure none is a table without entries, the one "Bad file" that
    // no call reports.
    void badFile(const std::string& name, recode::IoFailure failure);
    void badFile(const std::string& name, std::string_view reason);
    // Something the user should know that is no failure.
    void note(const std::string& name, std::string_view text);

    int exitCode() const { return exitCode_; }

  private:
    int exitCode_ = 0;
};

}  // namespace cli

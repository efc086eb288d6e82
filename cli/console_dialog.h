// The recoding pass's dialog on a console: names from the command line, messages on stderr.
#pragma once

#include "cli/command_line.h"
#include "recode/dialog_operations.h"

namespace cli {

class ConsoleDialog : public recode::DialogOperations {
  public:
    explicit ConsoleDialog(const CommandLine& commandLine) : commandLine_(commandLine) {}

    // 0 after a pass without message, 2 after "File name is empty", 1 after "Bad file".
    int exitCode() const { return exitCode_; }

    void showBusyCursor() override {}
    void restoreCursor() override {}
    void enableGoButton(bool) override {}
    std::string readField(recode::Field field) override;
    void focusField(recode::Field) override {}
    void showMessage(const recode::PassMessage& message) override;

  private:
    const CommandLine& commandLine_;
    int exitCode_ = 0;
};

}  // namespace cli

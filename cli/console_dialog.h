// The recoding pass's dialog on a console: names from the command line, messages on stderr.
#pragma once

#include <string>

#include "platform/system_file.h"
#include "recode/dialog_operations.h"
#include "recode/recoding_pass.h"

namespace cli {

class ConsoleDialog : public recode::DialogOperations {
  public:
    explicit ConsoleDialog(const std::string& table) : table_(table) {}

    // One pass from `input` into `output`, whose messages name the output `shownOutput` (the file
    // a new file will replace, or the output that several passes share). True when it showed
    // no message.
    bool recode(recode::PassFiles& files, const std::string& input, const std::string& output,
                const std::string& shownOutput);
    // "Bad file" for a failure outside a pass.
    void reportBadFile(const std::string& name, platform::ErrorCode code);

    // The worst of the messages shown: 0 none, 1 "Bad file", 2 "File name is empty".
    int exitCode() const { return exitCode_; }

    void showBusyCursor() override {}
    void restoreCursor() override {}
    void enableGoButton(bool) override {}
    std::string readField(recode::Field field) override;
    void focusField(recode::Field) override {}
    void showMessage(const recode::PassMessage& message) override;

  private:
    void fail(int exitCode);

    const std::string& table_;
    std::string input_;
    std::string output_;
    std::string shownOutput_;
    int exitCode_ = 0;
    bool failed_ = false;
};

}  // namespace cli

// Stands in for the main dialog: hands out three names and writes down every operation the
// recoding pass asks of it, in order.
#pragma once

#include <string>
#include <vector>

#include "recode/dialog_operations.h"

namespace testing_support {

using Events = std::vector<std::string>;

class RecordingDialog : public recode::DialogOperations {
  public:
    RecordingDialog(std::string input, std::string table, std::string output);

    Events events;
    std::vector<recode::PassMessage> messages;

    void showBusyCursor() override;
    void restoreCursor() override;
    void enableGoButton(bool enabled) override;
    std::string readField(recode::Field field) override;
    void focusField(recode::Field field) override;
    void showMessage(const recode::PassMessage& message) override;

  private:
    std::string input_;
    std::string table_;
    std::string output_;
};

// What a pass that reads all three names does with the dialog, with or without one message.
Events EventsOfAGoodPass();
Events EventsWithMessage(const std::string& text);

}  // namespace testing_support

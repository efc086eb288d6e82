#include "support/recording_dialog.h"

namespace testing_support {
namespace {

std::string IdOf(recode::Field field) {
    return std::to_string(static_cast<int>(field));
}

}  // namespace

RecordingDialog::RecordingDialog(std::string input, std::string table, std::string output)
    : input_(std::move(input)), table_(std::move(table)), output_(std::move(output)) {}

void RecordingDialog::showBusyCursor() {
    events.push_back("busy cursor");
}

void RecordingDialog::restoreCursor() {
    events.push_back("cursor restored");
}

void RecordingDialog::enableGoButton(bool enabled) {
    events.push_back(enabled ? "go enabled" : "go disabled");
}

std::string RecordingDialog::readField(recode::Field field) {
    events.push_back("read " + IdOf(field));
    switch (field) {
        case recode::Field::Input:
            return input_;
        case recode::Field::Table:
            return table_;
        case recode::Field::Output:
            return output_;
    }
    return {};
}

void RecordingDialog::focusField(recode::Field field) {
    events.push_back("focus " + IdOf(field));
}

void RecordingDialog::showMessage(const recode::PassMessage& message) {
    events.push_back("message " + std::string(message.text));
    messages.push_back(message);
}

Events EventsOfAGoodPass() {
    return {"busy cursor", "go disabled", "read 103",       "read 106",
            "read 109",    "go enabled",  "cursor restored"};
}

Events EventsWithMessage(const std::string& text) {
    return {"busy cursor", "go disabled",     "read 103",   "read 106",
            "read 109",    "message " + text, "go enabled", "cursor restored"};
}

}  // namespace testing_support

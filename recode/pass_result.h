// What a recoding pass tells its caller: that it went through, or the one message that ended it,
// with the file it is about.
#pragma once

#include <optional>
#include <string_view>

#include "recode/io_result.h"

namespace recode {

// The pass's three files, in the order it tests and opens them.
enum class Field { Input, Table, Output };

enum class MessageKind { FileNameIsEmpty, BadFile };

// The words the user sees.
inline std::string_view MessageText(MessageKind kind) {
    return kind == MessageKind::FileNameIsEmpty ? "File name is empty" : "Bad file";
}

// The Windows program shows only the text; lettermill-recode also names the file and the reason.
struct PassMessage {
    MessageKind kind;
    Field field;
    IoFailure failure;  // none where no call failed: an empty name, a table without entries
    bool operator==(const PassMessage&) const = default;
};

struct PassResult {
    std::optional<PassMessage> message;  // none: the pass went through

    bool done() const { return !message; }
    static PassResult BadFile(Field field, IoFailure failure) {
        return {PassMessage{MessageKind::BadFile, field, failure}};
    }
};

}  // namespace recode

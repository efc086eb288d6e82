// What the recoding pass needs of the dialog that runs it. The Windows main dialog provides
// these through its controls; the command-line companion through its arguments and stderr.
#pragma once

#include <string>
#include <string_view>

#include "recode/io_result.h"

namespace recode {

// The pass's three file names, in the order it reads and tests them.
enum class Field { Input, Table, Output };

enum class MessageKind { FileNameIsEmpty, BadFile };

// The words the user sees.
inline std::string_view MessageText(MessageKind kind) {
    return kind == MessageKind::FileNameIsEmpty ? "File name is empty" : "Bad file";
}

// A message of the pass, with what it is about. The Windows dialog shows only the text; the
// command-line companion also names the file and the reason.
struct PassMessage {
    MessageKind kind;
    Field field;
    IoResult code;  // 0 where no system call failed: an empty name, a table without entries
};

class DialogOperations {
  public:
    virtual ~DialogOperations() = default;

    // Shows the busy cursor, remembering the one it replaces for restoreCursor().
    virtual void showBusyCursor() = 0;
    virtual void restoreCursor() = 0;
    virtual void enableGoButton(bool enabled) = 0;
    // The field's whole text, however long.
    virtual std::string readField(Field field) = 0;
    virtual void focusField(Field field) = 0;
    // A modal error message; returns when the user has closed it.
    virtual void showMessage(const PassMessage& message) = 0;
};

}  // namespace recode

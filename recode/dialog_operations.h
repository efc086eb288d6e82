// What the recoding pass needs of the dialog that runs it. The Windows main dialog provides
// these through its controls; the command-line companion through its arguments and stderr.
#pragma once

#include <string>
#include <string_view>

#include "recode/io_result.h"

namespace recode {

// The three name fields, by control identifier of the main dialog.
enum class Field { Input = 103, Table = 106, Output = 109 };

inline constexpr std::string_view kFileNameIsEmpty = "File name is empty";
inline constexpr std::string_view kBadFile = "Bad file";

// A message of the pass, with what it is about. The Windows dialog shows only the text; the
// command-line companion also names the file and the reason.
struct PassMessage {
    std::string_view text;
    Field field;
    IoResult code;  // 0 where no system call failed, e.g. a table without entries
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

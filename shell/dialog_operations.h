// What the recoding pass needs of the main dialog that runs it. The main dialog provides these
// through its controls; the tests through a log.
#pragma once

#include <string>

#include "recode/pass_result.h"

namespace shell {

class DialogOperations {
  public:
    virtual ~DialogOperations() = default;

    // Shows the busy cursor, remembering the one it replaces for restoreCursor().
    virtual void showBusyCursor() = 0;
    virtual void restoreCursor() = 0;
    virtual void enableGoButton(bool enabled) = 0;
    // The field's whole text, however long.
    virtual std::string readField(recode::Field field) = 0;
    virtual void focusField(recode::Field field) = 0;
    // A modal error message; returns when the user has closed it.
    virtual void showMessage(const recode::PassMessage& message) = 0;
};

}  // namespace shell

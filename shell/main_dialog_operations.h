// What the recoding pass needs of the main dialog, done on its controls.
#pragma once

#include <windows.h>

#include <string>

#include "shell/dialog_operations.h"

namespace shell {

// Works on the dialog in MainDialogHandle; made for one pass.
class MainDialogOperations final : public DialogOperations {
  public:
    void showBusyCursor() override;
    void restoreCursor() override;
    void enableGoButton(bool enabled) override;
    std::string readField(recode::Field field) override;
    void focusField(recode::Field field) override;
    // A message box owned by the main dialog, with the system's default title and the stop icon.
    void showMessage(const recode::PassMessage& message) override;

  private:
    HCURSOR savedCursor_ = nullptr;
};

}  // namespace shell

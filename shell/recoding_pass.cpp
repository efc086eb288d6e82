#include "shell/recoding_pass.h"

namespace shell {

void RecodingPass(DialogOperations& dialog, recode::PassFiles& files) {
    dialog.showBusyCursor();
    dialog.enableGoButton(false);

    const recode::PassNames names = {dialog.readField(recode::Field::Input),
                                     dialog.readField(recode::Field::Table),
                                     dialog.readField(recode::Field::Output)};
    const recode::PassResult result = recode::Recode(names, files);
    if (const auto& message = result.message) {
        dialog.showMessage(*message);
        if (message->kind == recode::MessageKind::FileNameIsEmpty) {
            dialog.focusField(message->field);
        }
    }

    files.close();
    dialog.enableGoButton(true);
    dialog.restoreCursor();
}

}  // namespace shell

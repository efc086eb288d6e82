// The file chooser behind the three browse buttons.
#pragma once

namespace shell {

// Offers the field's text in the system's Save As dialog (Output field) or Open dialog (the
// others), and puts the confirmed choice's full path into the field; a cancelled dialog leaves
// it as it was. `tableFilter` preselects the table files rather than the text files.
void ChooseFile(int fieldId, bool tableFilter);

}  // namespace shell

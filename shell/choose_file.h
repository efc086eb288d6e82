// The file chooser behind the three browse buttons.
#pragma once

#include "shell/field_groups.h"

namespace shell {

// Offers the group's field text in the system's Save As dialog (Output) or Open dialog (the
// others), with the group's filter preselected, and puts the confirmed choice's full path into
// the field; a cancelled dialog leaves it as it was.
void ChooseFile(const FieldGroup& group);

}  // namespace shell

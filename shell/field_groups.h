// The main dialog's three field groups, each a frame holding a name field and its browse button,
// and what the file chooser offers for each. The command handler, the file chooser, the drop
// handler and the pass's dialog operations all find their controls here.
#pragma once

#include "recode/pass_result.h"

namespace shell {

// The index, from 1, of the file chooser's filter that a group's dialog preselects.
enum class FileFilter { Text = 1, Table = 2 };

struct FieldGroup {
    recode::Field field;
    int frame;
    int edit;
    int browseButton;
    FileFilter filter;
};

// In the order of their identifiers: Input, Table, Output.
extern const FieldGroup FieldGroups[3];

const FieldGroup& FieldGroupOf(recode::Field field);

// The group whose frame, field or browse button has the identifier `control`; null for any
// other control.
const FieldGroup* FindFieldGroup(int control);

}  // namespace shell

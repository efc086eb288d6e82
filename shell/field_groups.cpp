#include "shell/field_groups.h"

#include "res/resource.h"

namespace shell {

const FieldGroup FieldGroups[3] = {
    {recode::Field::Input, IDC_INPUT_FRAME, IDC_INPUT_FIELD, IDC_INPUT_BROWSE, FileFilter::Text},
    {recode::Field::Table, IDC_TABLE_FRAME, IDC_TABLE_FIELD, IDC_TABLE_BROWSE, FileFilter::Table},
    {recode::Field::Output, IDC_OUTPUT_FRAME, IDC_OUTPUT_FIELD, IDC_OUTPUT_BROWSE,
     FileFilter::Text},
};

const FieldGroup& FieldGroupOf(recode::Field field) {
    for (const FieldGroup& group : FieldGroups) {
        if (group.field == field) {
            return group;
        }
    }
    return FieldGroups[0];  // every field has a group; this only quiets the compiler
}

const FieldGroup* FindFieldGroup(int control) {
    for (const FieldGroup& group : FieldGroups) {
        if (control == group.frame || control == group.edit || control == group.browseButton) {
            return &group;
        }
    }
    return nullptr;
}

}  // namespace shell

#include "shell/choose_file.h"

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <string_view>

#include "shell/shell_state.h"

namespace shell {
namespace {

#ifndef _WIN64
// The full record, with the members Windows 2000 added.
static_assert(sizeof(OPENFILENAMEA) == 88);
#endif

// Pairs of description and pattern; the literal's own NUL closes the list.
constexpr char FileFilterList[] =
    "Text files(*.txt;*.lst;*.prn)\0*.TXT;*.LST;*.PRN\0"
    "Table files(*.tab)\0*.TAB\0"
    "All files(*.*)\0*.*\0";

// The folder that the item named by `path` is in, with its closing backslash; empty for a name
// without a folder.
std::string FolderOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? "" : path.substr(0, separator + 1));
}

}  // namespace

void ChooseFile(const FieldGroup& group) {
    const HWND field = GetDlgItem(MainDialogHandle, group.edit);

    // Whatever way the dialog ends, the string releases the buffer. The dialogs write at most
    // kPathCapacity characters into it.
    std::string name(kPathBufferSize, '\0');
    GetWindowTextA(field, name.data(), static_cast<int>(kPathBufferSize));
    // A path in the field itself takes precedence: the dialogs start in its folder.
    const std::string initialFolder = FolderOf(PathBuffer);

    OPENFILENAMEA record = {};
    record.lStructSize = sizeof(record);
    record.hwndOwner = MainDialogHandle;
    record.lpstrFilter = FileFilterList;
    record.nFilterIndex = static_cast<DWORD>(group.filter);
    record.lpstrFile = name.data();
    record.nMaxFile = kPathCapacity;
    record.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    record.lpstrDefExt = "txt";

    BOOL chosen;
    if (group.field == recode::Field::Output) {
        record.Flags = OFN_OVERWRITEPROMPT;
        chosen = GetSaveFileNameA(&record);
    } else {
        record.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&record);
    }
    if (chosen) {
        SetWindowTextA(field, name.c_str());
    }
}

}  // namespace shell

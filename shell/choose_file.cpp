#include "shell/choose_file.h"

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <string_view>

#include "res/resource.h"
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
constexpr DWORD kTextFilter = 1;
constexpr DWORD kTableFilter = 2;

// The dialogs write at most 260 characters into the 262 of the buffer.
constexpr std::size_t kNameBufferSize = 262;
constexpr DWORD kNameCapacity = 260;

// The folder that the item named by `path` is in, with its closing backslash; empty for a name
// without a folder.
std::string FolderOf(std::string_view path) {
    const std::size_t separator = path.find_last_of("\\/");
    return std::string(separator == std::string_view::npos ? "" : path.substr(0, separator + 1));
}

}  // namespace

void ChooseFile(int fieldId, bool tableFilter) {
    const HWND field = GetDlgItem(MainDialogHandle, fieldId);
    const bool isOutput = fieldId == IDC_OUTPUT_FIELD;

    // Whatever way the dialog ends, the string releases the buffer.
    std::string name(kNameBufferSize, '\0');
    GetWindowTextA(field, name.data(), static_cast<int>(kNameBufferSize));
    // A path in the field itself takes precedence: the dialogs start in its folder.
    const std::string initialFolder = FolderOf(PathBuffer);

    OPENFILENAMEA record = {};
    record.lStructSize = sizeof(record);
    record.hwndOwner = MainDialogHandle;
    record.lpstrFilter = FileFilterList;
    record.nFilterIndex = tableFilter ? kTableFilter : kTextFilter;
    record.lpstrFile = name.data();
    record.nMaxFile = kNameCapacity;
    record.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    record.lpstrDefExt = "txt";

    BOOL chosen;
    if (isOutput) {
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

// Files dropped on the main dialog's frames, with drop blocks made here as the desktop shell
// makes them.
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "program/file_dialog.h"
#include "program/in_process_dialog.h"
#include "program/running_program.h"
#include "res/resource.h"
#include "shell/choose_file.h"
#include "shell/frame_window_proc.h"
#include "shell/shell_state.h"
#include "support/temp_dir.h"

namespace {

using shell_testing::InProcessDialogTest;

// A drop block of ANSI names, as WM_DROPFILES carries it; the receiver releases it.
HDROP MakeDrop(const std::vector<std::string>& names) {
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& name : names) {
        size += name.size() + 1;
    }
    const HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* at = reinterpret_cast<char*>(header + 1);
    for (const std::string& name : names) {
        std::memcpy(at, name.c_str(), name.size() + 1);
        at += name.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

class DroppedFilesTest : public InProcessDialogTest {
  protected:
    void drop(int frame, const std::vector<std::string>& names) {
        const HDROP block = MakeDrop(names);
        EXPECT_EQ(SendMessageA(item(frame), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0), 0);
        EXPECT_EQ(GlobalFlags(block), GMEM_INVALID_HANDLE) << "the drop block was not released";
    }

    testing_support::TempDir dir;
};

TEST_F(DroppedFilesTest, TheFirstDroppedNameGoesIntoTheFramesField) {
    struct Case {
        const char* what;
        int frame;
        int field;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"a file on Input", IDC_INPUT_FRAME, IDC_INPUT_FIELD, {dir.path("a.txt")}},
        {"three files on Table",
         IDC_TABLE_FRAME,
         IDC_TABLE_FIELD,
         {dir.path("first.tab"), dir.path("second.tab"), dir.path("third.tab")}},
        {"a folder on Output", IDC_OUTPUT_FRAME, IDC_OUTPUT_FIELD, {dir.path("")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before[] = {text(IDC_INPUT_FIELD), text(IDC_TABLE_FIELD),
                                      text(IDC_OUTPUT_FIELD)};
        drop(c.frame, c.names);
        EXPECT_EQ(text(c.field), c.names.front());
        EXPECT_STREQ(shell::PathBuffer, c.names.front().c_str());
        // The other fields keep their texts.
        const int fields[] = {IDC_INPUT_FIELD, IDC_TABLE_FIELD, IDC_OUTPUT_FIELD};
        for (int i = 0; i < 3; ++i) {
            if (fields[i] != c.field) {
                EXPECT_EQ(text(fields[i]), before[i]);
            }
        }
    }
}

// Cut to the 259 characters that PathBuffer holds, the name could be another file's.
TEST_F(DroppedFilesTest, ANameTooLongForThePathBufferGoesWholeIntoTheField) {
    drop(IDC_INPUT_FRAME, {dir.path("kept.txt")});
    const std::string longName = dir.path(std::string(300 - dir.path("").size(), 'n'));
    drop(IDC_OUTPUT_FRAME, {longName});
    EXPECT_EQ(text(IDC_OUTPUT_FIELD), longName);
    EXPECT_STREQ(shell::PathBuffer, dir.path("kept.txt").c_str());
}

TEST_F(DroppedFilesTest, FramesHandOtherMessagesToTheirOwnProcedure) {
    char caption[32] = {};
    for (const auto& [frame, expected] :
         {std::pair{IDC_INPUT_FRAME, " Input "}, std::pair{IDC_TABLE_FRAME, " Table "},
          std::pair{IDC_OUTPUT_FRAME, " Output "}}) {
        EXPECT_EQ(GetWindowLongPtrA(item(frame), GWLP_WNDPROC),
                  reinterpret_cast<LONG_PTR>(shell::FrameWindowProc));
        GetWindowTextA(item(frame), caption, sizeof(caption));
        EXPECT_STREQ(caption, expected);
        EXPECT_EQ(SendMessageA(item(frame), WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    }
}

TEST_F(DroppedFilesTest, TheFileDialogStartsInTheFolderOfTheLastDrop) {
    std::filesystem::create_directory(dir.path("drops"));
    const std::string dropped = dir.path("drops\\dropped.txt");
    const std::string neighbour = dir.path("drops\\neighbour.txt");
    testing_support::WriteFileBytes(neighbour, "");
    drop(IDC_TABLE_FRAME, {dropped});
    SetWindowTextA(item(IDC_INPUT_FIELD), "input.txt");

    // The chooser runs the dialog on this thread; a second one answers it.
    const DWORD thisThread = GetCurrentThreadId();
    std::thread user([&] {
        const HWND fileDialog = shell_testing::WaitForDialogOwnedBy(thisThread, dialog, "Open");
        if (fileDialog == nullptr) {
            return;
        }
        shell_testing::ConfirmFileName(fileDialog, "neighbour.txt");
        if (shell_testing::WaitUntil([&] { return !IsWindow(fileDialog); })) {
            return;
        }
        // Refused, since it looked in another folder: answer its message and cancel, or the
        // chooser would wait for ever.
        if (const HWND refusal = shell_testing::WaitForDialogOwnedBy(thisThread, fileDialog)) {
            shell_testing::PressButton(refusal, IDOK);
        }
        shell_testing::CancelFileDialog(fileDialog);
    });
    shell::ChooseFile(IDC_INPUT_FIELD, false);
    user.join();
    EXPECT_EQ(text(IDC_INPUT_FIELD), neighbour);
}

}  // namespace

// The About box made inside the test program from the program's resources: what it leaves
// behind however it is closed, and its texts from version resources of every kind.
#include <windows.h>

#include <winternl.h>

#include <gtest/gtest.h>

#include "about/about_box.h"
#include "about/about_state.h"
#include "about/gdi_handles.h"
#include "about/version_texts.h"
#include "res/about_resource.h"
#include "res/version.h"

namespace {

using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;

// GetGuiResources counts nothing under Wine. The process's GDI handle table, which the PEB
// points to there as on Windows, has 16384 entries of 24 bytes under Wine, with the object's
// type at byte 14, 0 for a free entry.
int GdiObjects() {
    PROCESS_BASIC_INFORMATION process = {};
    NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process,
                              sizeof(process), nullptr);
    const auto* peb = reinterpret_cast<const char*>(process.PebBaseAddress);
    const auto* table =
        *reinterpret_cast<const char* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    int count = 0;
    for (int entry = 0; entry < 16384; ++entry) {
        count += table[entry * 24 + 14] != 0;
    }
    return count;
}

HWND OpenBox = nullptr;
std::tuple<int, UINT, WPARAM> Closing;  // control (0: the box), message, parameter

// In the box's modal loop, once it has painted all it shows: closes it as `Closing` says.
void CALLBACK CloseOpenBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    RedrawWindow(OpenBox, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    const auto [control, message, wParam] = Closing;
    PostMessageA(control ? GetDlgItem(OpenBox, control) : OpenBox, message, wParam, 0);
}

TEST(AboutBox, EveryWayOfClosingReleasesEveryGdiObject) {
    const UniqueWindow owner(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                             GetModuleHandleA(nullptr), nullptr),
                             &DestroyWindow);
    // A click on the OK label, Enter, Escape.
    const decltype(Closing) closings[] = {{IDC_ABOUT_OK, WM_LBUTTONDOWN, MK_LBUTTON},
                                          {0, WM_KEYDOWN, VK_RETURN},
                                          {0, WM_KEYDOWN, VK_ESCAPE}};
    // The first round also loads what the system keeps for later ones; the box keeps nothing,
    // not even until its next opening.
    for (int round = 0; round < 2; ++round) {
        for (const auto& closing : closings) {
            const int before = GdiObjects();
            Closing = closing;
            SetTimer(nullptr, 0, 1, CloseOpenBox);
            about::ShowAboutBox(owner.get(), OpenBox);
            EXPECT_TRUE(!OpenBox && !about::AboutBackgroundBrush.get() &&
                        !about::AboutImageList.get() && !about::AboutTitleFont.get() &&
                        !about::AboutLinkFont.get());
            EXPECT_TRUE(round == 0 || GdiObjects() == before) << "closing " << &closing - closings;
        }
    }
}

// The owners once deleted the object and kept its stale handle.
TEST(GdiHandles, ResetToTheHeldObjectKeepsIt) {
    about::UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    brush.reset(brush.get());
    EXPECT_EQ(GetObjectType(brush.get()), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(AboutBox, VersionTextsFromEachKindOfVersionResource) {
    // The box's template without a procedure: only the filling changes the texts.
    const UniqueWindow box(CreateDialogParamA(GetModuleHandleA(nullptr),
                                              MAKEINTRESOURCEA(IDD_ABOUT), nullptr, nullptr, 0),
                           &DestroyWindow);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string partial = "Company|Title|Description|Version: 7.6.5.4|Copyright|-|web";
    // Texts the resource lacks leave their controls as the case before left them.
    const std::pair<std::string, std::string> cases[] = {
        // This program's own, the program's resource: language 0, code page 0.
        {self,
         LETTERMILL_COMPANY_NAME "|" LETTERMILL_PRODUCT_NAME "|" LETTERMILL_FILE_DESCRIPTION
                                 "|Version: " LETTERMILL_FILE_VERSION "|" LETTERMILL_LEGAL_COPYRIGHT
                                 "|" LETTERMILL_COMMENTS "|" LETTERMILL_WEB_HOST},
        {LETTERMILL_VERSION_CASE "1.dll", partial},
        {LETTERMILL_VERSION_CASE "2.dll", partial},
        {LETTERMILL_SOURCE_DIR "/sample/input.txt", "-|-|-|-|-|-|-"},  // no version resource
    };
    for (const auto& [file, expected] : cases) {
        about::FillVersionTextsFrom(box.get(), file.c_str());
        std::string texts;
        for (int id = IDC_ABOUT_COMPANY; id <= IDC_ABOUT_WEB; ++id) {
            char text[64] = {};
            GetDlgItemTextA(box.get(), id, text, sizeof(text));
            SetDlgItemTextA(box.get(), id, "-");
            texts += text + std::string(id == IDC_ABOUT_WEB ? "" : "|");
        }
        EXPECT_EQ(texts, expected) << file;
    }
}

}  // namespace

// The About box made inside the test program from the program's resources: what it leaves
// behind however it is closed, and its texts from version resources of every kind.
#include <windows.h>

#include <winternl.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "about/about_box.h"
#include "about/about_state.h"
#include "about/gdi_handles.h"
#include "about/version_texts.h"
#include "res/about_resource.h"

namespace {

using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;

// GetGuiResources counts nothing under Wine. The process's GDI handle table, which the PEB
// points to there as on Windows, has entries of 24 bytes, with the object's type at 14 or 0.
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
std::function<void()> WhileOpen;

// In the box's modal loop, once it has painted all it shows.
void CALLBACK OnOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    RedrawWindow(OpenBox, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    WhileOpen();
}

TEST(AboutBox, EveryWayOfClosingReleasesEveryGdiObject) {
    const UniqueWindow owner(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr,
                                             GetModuleHandleA(nullptr), nullptr),
                             &DestroyWindow);
    const std::tuple<int, UINT, WPARAM> closings[] = {
        {IDC_ABOUT_OK, WM_LBUTTONDOWN, MK_LBUTTON},  // the OK label, clicked
        {0, WM_KEYDOWN, VK_RETURN},
        {0, WM_KEYDOWN, VK_ESCAPE}};
    // The first round also loads what the system keeps for later ones; the box keeps nothing.
    for (int round = 0; round < 2; ++round) {
        for (const auto& [control, message, wParam] : closings) {
            const int before = GdiObjects();
            std::vector<HGDIOBJ> made;
            WhileOpen = [&] {
                IMAGEINFO pictures = {};
                ImageList_GetImageInfo(about::AboutImageList.get(), 0, &pictures);
                made = {pictures.hbmImage, pictures.hbmMask,
                        reinterpret_cast<HGDIOBJ>(SendMessageA(OpenBox, WM_CTLCOLORDLG, 0, 0)),
                        reinterpret_cast<HGDIOBJ>(
                            SendDlgItemMessageA(OpenBox, IDC_ABOUT_TITLE, WM_GETFONT, 0, 0)),
                        reinterpret_cast<HGDIOBJ>(
                            SendDlgItemMessageA(OpenBox, IDC_ABOUT_MAIL, WM_GETFONT, 0, 0))};
                for (const HGDIOBJ object : made) {
                    EXPECT_NE(GetObjectType(object), 0u);
                }
                PostMessageA(control ? GetDlgItem(OpenBox, control) : OpenBox, message, wParam, 0);
            };
            SetTimer(nullptr, 0, 1, OnOpen);
            about::ShowAboutBox(owner.get(), OpenBox);
            EXPECT_EQ(OpenBox, nullptr);
            EXPECT_EQ(made.size(), 5u);
            for (const HGDIOBJ object : made) {
                EXPECT_EQ(GetObjectType(object), 0u) << message << ", " << wParam;
            }
            EXPECT_TRUE(round == 0 || GdiObjects() == before) << message << ", " << wParam;
        }
    }
}

// The owners once deleted the object and kept its stale handle.
TEST(GdiHandles, ResetToTheHeldObjectKeepsIt) {
    about::UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    brush.reset(brush.get());
    EXPECT_EQ(GetObjectType(brush.get()), static_cast<DWORD>(OBJ_BRUSH));
}

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

TEST(AboutBox, VersionTextsFromEachKindOfVersionResource) {
    // The box's template under a procedure that does nothing: only the filling changes the texts.
    const UniqueWindow box(CreateDialogParamA(GetModuleHandleA(nullptr),
                                              MAKEINTRESOURCEA(IDD_ABOUT), nullptr, Inert, 0),
                           &DestroyWindow);
    const std::string all = "Company|Title|Description|Version: 7.6.5.4|Copyright|Comments|web";
    const std::pair<const char*, std::string> cases[] = {
        {"1.dll", "Company|Title|Description|Version: 7.6.5.4|Copyright|-|web"},
        {"2.dll", all},  // no translation: the fixed path
        {"3.dll", all},  // an empty translation: the fixed path
        {"0.dll", "-|-|-|-|-|-|-"},
        {"missing.dll", "-|-|-|-|-|-|-"}};
    for (const auto& [library, expected] : cases) {
        for (int id = IDC_ABOUT_COMPANY; id <= IDC_ABOUT_WEB; ++id) {
            SetDlgItemTextA(box.get(), id, "-");
        }
        about::FillVersionTextsFrom(box.get(),
                                    (LETTERMILL_VERSION_CASE + std::string(library)).c_str());
        std::string texts;
        for (int id = IDC_ABOUT_COMPANY; id <= IDC_ABOUT_WEB; ++id) {
            char text[64] = {};
            GetDlgItemTextA(box.get(), id, text, sizeof(text));
            texts += (id == IDC_ABOUT_COMPANY ? "" : "|") + std::string(text);
        }
        EXPECT_EQ(texts, expected) << library;
    }
}

}  // namespace

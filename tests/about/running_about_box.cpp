#include "running_about_box.h"

#include <gtest/gtest.h>

#include <utility>

#include "about/about_dialog.h"
#include "about/about_state.h"
#include "res/about_resource.h"

namespace about_testing {
namespace {

const std::function<void(HWND)>* PendingLook = nullptr;

void CALLBACK LookWhenOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    if (OpenBox == nullptr || PendingLook == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    const HWND box = OpenBox;
    UpdateWindow(box);
    (*std::exchange(PendingLook, nullptr))(box);
    // Handled only if the look left the box open.
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

}  // namespace

HWND OpenBox = nullptr;

INT_PTR RunAboutBox(const std::function<void(HWND box)>& whileOpen) {
    about::AboutHandleSlot = &OpenBox;
    about::AboutIcon = LoadIconA(nullptr, IDI_APPLICATION);
    PendingLook = &whileOpen;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, LookWhenOpen);
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT),
                                           nullptr, about::AboutDialog, 0);
    if (PendingLook != nullptr) {
        ADD_FAILURE() << "the About box did not open";
        KillTimer(nullptr, timer);
        PendingLook = nullptr;
    }
    return result;
}

}  // namespace about_testing

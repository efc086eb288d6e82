#include "about/about_box.h"

#include "about/about_dialog.h"
#include "about/about_state.h"
#include "res/about_resource.h"
#include "res/resource.h"

namespace about {

void ShowAboutBox(HWND owner, HWND& openBox) {
    if (openBox != nullptr) {
        return;
    }
    AboutHandleSlot = &openBox;
    const auto module = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    // A shared icon of the module's resources: nothing to release.
    AboutIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_LETTERMILL));
    DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialog, 0);
}

}  // namespace about

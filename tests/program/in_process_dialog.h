// The main dialog made inside the test program from the program's own template and procedure,
// for what needs the test's own memory or calls: drops, the dialog operations, the chooser's
// start folder after a drop.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace shell_testing {

class InProcessDialogTest : public ::testing::Test {
  protected:
    InProcessDialogTest();
    ~InProcessDialogTest() override;

    HWND item(int id) const { return GetDlgItem(dialog, id); }
    std::string text(int id) const;

    HWND dialog = nullptr;
};

}  // namespace shell_testing

// The version texts read from real files: test libraries whose version resources put their
// strings where their translation does or does not lead.
#include "about/version_texts.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "res/about_resource.h"

namespace {

constexpr int kFirstText = IDC_ABOUT_COMPANY;
constexpr int kLastText = IDC_ABOUT_WEB;
using Texts = std::array<std::string, kLastText - kFirstText + 1>;

const char* const kUntouched = "untouched";

INT_PTR CALLBACK DoNothing(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The About box's template with a procedure that does nothing, so the texts stay as the test
// sets them.
class VersionTextsTest : public ::testing::Test {
  protected:
    VersionTextsTest() {
        box = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUT), nullptr,
                                 DoNothing, 0);
        for (int id = kFirstText; id <= kLastText; ++id) {
            SetDlgItemTextA(box, id, kUntouched);
        }
    }
    ~VersionTextsTest() override { DestroyWindow(box); }

    Texts textsFrom(const std::string& library) const {
        about::FillVersionTextsFrom(
            box, (std::string(LETTERMILL_TEST_LIBRARY_DIR "/") + library).c_str());
        Texts texts;
        for (int id = kFirstText; id <= kLastText; ++id) {
            char text[260] = {};
            GetDlgItemTextA(box, id, text, sizeof(text));
            texts[id - kFirstText] = text;
        }
        return texts;
    }

    HWND box = nullptr;
};

Texts AllOf(const std::string& name) {
    return {"Company of " + name, "Title of " + name,     "Description of " + name,
            "Version: 7.6.5.4",   "Copyright of " + name, "Comments of " + name,
            "web.of." + name};
}

Texts Untouched() {
    Texts texts;
    texts.fill(kUntouched);
    return texts;
}

TEST_F(VersionTextsTest, TheFirstTranslationLeadsToTheStrings) {
    // Language 0x041A, code page 0x04E3: the path has letters.
    EXPECT_EQ(textsFrom("version_case_named.dll"), AllOf("named"));
}

TEST_F(VersionTextsTest, StringsUnderAnotherLanguageAreNotShown) {
    EXPECT_EQ(textsFrom("version_case_other.dll"), Untouched());
}

TEST_F(VersionTextsTest, WithoutATranslationTheFixedPathIsTried) {
    EXPECT_EQ(textsFrom("version_case_untranslated.dll"), AllOf("untranslated"));
    EXPECT_EQ(textsFrom("version_case_empty_translation.dll"), AllOf("empty"));
}

TEST_F(VersionTextsTest, MissingStringsLeaveTheirControls) {
    Texts expected = {"Company of partial",
                      "Title of partial",
                      "Description of partial",
                      "Version: 0.0.0.1",
                      "Copyright of partial",
                      kUntouched,
                      kUntouched};
    EXPECT_EQ(textsFrom("version_case_partial.dll"), expected);
}

TEST_F(VersionTextsTest, AFileWithoutVersionResourceOrNoFileChangesNothing) {
    EXPECT_EQ(textsFrom("version_case_none.dll"), Untouched());
    EXPECT_EQ(textsFrom("no such file.dll"), Untouched());
}

}  // namespace

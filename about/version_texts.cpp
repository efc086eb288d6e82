#include "about/version_texts.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "about/translation_path.h"
#include "res/about_resource.h"

namespace about {
namespace {

struct VersionKey {
    const char* key;
    int control;
};

// In the order the texts are read.
constexpr VersionKey VersionKeyTable[] = {
    {"CompanyName", IDC_ABOUT_COMPANY},
    {"ProductName", IDC_ABOUT_TITLE},
    {"FileDescription", IDC_ABOUT_DESCRIPTION},
    {"FileVersion", IDC_ABOUT_VERSION},
    {"LegalCopyright", IDC_ABOUT_COPYRIGHT},
    {"Comments", IDC_ABOUT_COMMENTS},
    {"Web", IDC_ABOUT_WEB},
};

std::optional<std::uint32_t> FirstTranslation(const std::vector<char>& block) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length)) {
        return std::nullopt;
    }
    return FirstTranslationEntry(value, length);
}

// The string under `path`, or nothing when the resource has none or an empty one.
std::optional<std::string> VersionString(const std::vector<char>& block, const std::string& path) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || length == 0) {
        return std::nullopt;
    }
    // The length may or may not count a terminator; the string never reaches past it.
    const auto* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
}

}  // namespace

void FillVersionTexts(HWND box) {
    char fileName[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, fileName, MAX_PATH);
    // A cut name could name another file, whose texts the box would then show.
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    FillVersionTextsFrom(box, fileName);
}

void FillVersionTextsFrom(HWND box, const char* fileName) {
    const DWORD size = GetFileVersionInfoSizeA(fileName, nullptr);
    if (size == 0) {
        return;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(fileName, 0, size, block.data())) {
        return;
    }
    const std::string tablePath = "\\StringFileInfo\\" + TranslationPath(FirstTranslation(block));
    for (const VersionKey& entry : VersionKeyTable) {
        const std::optional<std::string> text = VersionString(block, tablePath + entry.key);
        if (!text) {
            continue;
        }
        const std::string shown = entry.control == IDC_ABOUT_VERSION ? "Version: " + *text : *text;
        SetDlgItemTextA(box, entry.control, shown.c_str());
    }
}

}  // namespace about

// In-place replacement on Windows, with the calls that make it safe seen in the order made: the
// test links itself between them and the system (-Wl,--wrap).
#include <gtest/gtest.h>

#include <windows.h>

#include <array>

#include "support/support.h"
#include "platform/file_replacement.h"

namespace {

std::string calls;

}  // namespace

extern "C" {
BOOL __real_lettermillFlushFileBuffers(HANDLE file);
BOOL __real_lettermillRenameFile(HANDLE file, const wchar_t* target);

BOOL __wrap_lettermillFlushFileBuffers(HANDLE file) {
    calls += "flush|";
    return __real_lettermillFlushFileBuffers(file);
}

BOOL __wrap_lettermillRenameFile(HANDLE file, const wchar_t* target) {
    calls += "rename|";
    return __real_lettermillRenameFile(file, target);
}
}

namespace {

DWORD AttributesOf(const std::string& name) {
    return GetFileAttributesW(lm::Path(name).c_str());
}

// A batch of three: a hidden read-only file, one with a Cyrillic name, and one that another
// file took the place of after it was opened. The first two reach the disk before either is
// renamed and keep their attributes; the third is refused and the file now there left alone.
// No new file is left behind.
TEST(FileReplacementWindows, FlushesTheBatchBeforeRenamingKeepsAttributesRefusesASwap) {
    const lm::TempDir dir;
    const std::array<std::string, 3> names = {dir / "ro.txt", dir / "письмо.txt", dir / "b.txt"};
    for (const std::string& name : names) {
        lm::Write(name, "old");
    }
    constexpr DWORD kHiddenReadOnly = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
    SetFileAttributesW(lm::Path(names[0]).c_str(), kHiddenReadOnly);
    std::array<platform::FileReplacement, 3> batch;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        ASSERT_EQ(batch[i].open(names[i], platform::NameCoding::Utf8), 0u) << names[i];
        platform::closeFile(batch[i].takeOldFile());
        ASSERT_EQ(batch[i].makeNewFile(), 0u);
        ASSERT_EQ(platform::writeAll(batch[i].newFile(), "new", 3), 0u);
    }
    // Kept, so that the file put in its place cannot be given its number again.
    ASSERT_TRUE(MoveFileW(lm::Path(names[2]).c_str(), lm::Path(dir / "b.old").c_str()));
    lm::Write(names[2], "another");
    std::array<platform::ErrorCode, 3> codes{};
    calls.clear();
    platform::ReplaceAll(batch, codes);
    EXPECT_EQ(codes, (std::array<platform::ErrorCode, 3>{0, 0, ERROR_FILE_INVALID}));
    EXPECT_EQ(calls, "flush|flush|rename|rename|");
    EXPECT_EQ(lm::Read(names[0]), "new");
    EXPECT_EQ(AttributesOf(names[0]) & kHiddenReadOnly, kHiddenReadOnly);
    EXPECT_EQ(lm::Read(names[1]), "new");
    EXPECT_EQ(AttributesOf(names[1]) & kHiddenReadOnly, 0u);
    EXPECT_EQ(lm::Read(names[2]), "another");
    SetFileAttributesW(lm::Path(names[0]).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(lm::Path(dir / "")), {}), 4);
}

}  // namespace

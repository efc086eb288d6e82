// Real files on disk for the tests: a fresh folder per test, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The full name of a file in this folder, as the engine's opens take it.
    std::string path(const std::string& name) const;
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

  private:
    std::filesystem::path root_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// The code with which this platform refuses to open a file that another handle holds
// against writing.
unsigned SharingViolationCode();
unsigned FileNotFoundCode();

}  // namespace testing_support

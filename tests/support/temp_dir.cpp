#include "support/temp_dir.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = std::filesystem::temp_directory_path() /
            ("lettermill-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(root_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string TempDir::path(const std::string& name) const {
    return (root_ / name).string();
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    WriteFileBytes(path(name), bytes);
    return path(name);
}

std::string TempDir::read(const std::string& name) const {
    return ReadFileBytes(path(name));
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

unsigned SharingViolationCode() {
#ifdef _WIN32
    return 32;  // ERROR_SHARING_VIOLATION
#else
    return EBUSY;
#endif
}

unsigned FileNotFoundCode() {
    return 2;  // ERROR_FILE_NOT_FOUND on Windows, ENOENT on POSIX
}

}  // namespace testing_support

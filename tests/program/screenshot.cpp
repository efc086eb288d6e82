#include "program/screenshot.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "program/running_program.h"
#include "support/temp_dir.h"

namespace shell_testing {
namespace {

// Wine's own export: the Linux name of a Windows path.
std::string UnixName(const std::string& windowsName) {
    using UnixFileName = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) {
        return "";
    }
    const std::wstring wide = std::filesystem::path(windowsName).wstring();
    char* unixName = toUnix(wide.c_str());
    if (unixName == nullptr) {
        return "";
    }
    std::string name = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return name;
}

// Wine starts a Linux program when it is given one, but hands back no handle to wait on: the
// file appears under its final name only once it is whole.
bool RunLinuxCommand(const std::string& command) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    std::string commandLine = "/bin/sh -c \"" + command + "\"";
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return false;
    }
    for (const HANDLE handle : {started.hProcess, started.hThread}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
    return true;
}

}  // namespace

std::string Describe(const Pixel& pixel) {
    std::ostringstream text;
    text << "RGB(" << int{pixel.red} << ", " << int{pixel.green} << ", " << int{pixel.blue} << ")";
    return text.str();
}

Screenshot Screenshot::Take(const std::string& folder) {
    Screenshot shot;
    static int counter = 0;
    const std::string name = folder + "\\screen-" + std::to_string(++counter) + ".ppm";
    std::filesystem::remove(name);
    const std::string target = UnixName(name);
    const std::string command = "import -window root -depth 8 ppm:'" + target + ".part' && mv '" +
                                target + ".part' '" + target + "'";
    if (target.empty() || !RunLinuxCommand(command) ||
        !WaitUntil([&] { return std::filesystem::exists(name); })) {
        ADD_FAILURE() << "no screenshot";
        return shot;
    }
    const std::string bytes = testing_support::ReadFileBytes(name);
    std::filesystem::remove(name);
    std::istringstream in(bytes);
    std::string magic;
    int maxValue = 0;
    in >> magic >> shot.width_ >> shot.height_ >> maxValue;
    in.get();
    const std::size_t size = static_cast<std::size_t>(shot.width_) * shot.height_ * 3;
    const auto start = static_cast<std::size_t>(in.tellg());
    if (magic != "P6" || maxValue != 255 || bytes.size() < start + size) {
        ADD_FAILURE() << "not a 24-bit screenshot";
        return Screenshot();
    }
    shot.rgb_.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                     bytes.begin() + static_cast<std::ptrdiff_t>(start + size));
    return shot;
}

Pixel Screenshot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        ADD_FAILURE() << "no pixel " << x << ", " << y << " on the screenshot";
        return Pixel{};
    }
    const std::size_t offset = (static_cast<std::size_t>(y) * width_ + x) * 3;
    return Pixel{rgb_[offset], rgb_[offset + 1], rgb_[offset + 2]};
}

void Screenshot::saveCrop(const std::string& fileName, int left, int top, int right,
                          int bottom) const {
    std::string bytes =
        "P6\n" + std::to_string(right - left) + " " + std::to_string(bottom - top) + "\n255\n";
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const Pixel pixel = at(x, y);
            bytes += {static_cast<char>(pixel.red), static_cast<char>(pixel.green),
                      static_cast<char>(pixel.blue)};
        }
    }
    testing_support::WriteFileBytes(fileName, bytes);
}

}  // namespace shell_testing

// What a program learns from where it runs: its own folder, its environment, the folders of a
// folder list, and which names in a folder are files. lettermill-recode finds its tables by them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system_file.h"

namespace platform {

// The separator of a folder list such as PATH, and whether a byte separates the folders of a name.
#ifdef _WIN32
inline constexpr char kFolderListSeparator = ';';
inline bool isFolderSeparator(char byte) {
    return byte == '\\' || byte == '/';
}
#else
inline constexpr char kFolderListSeparator = ':';
inline bool isFolderSeparator(char byte) {
    return byte == '/';
}
#endif

// The folder that holds the running program's file, links resolved, as a UTF-8 name on Windows;
// empty when the system does not say.
std::string programFolder();

// The value of an environment variable, in UTF-8 on Windows; none when it is not set.
std::optional<std::string> environmentVariable(const char* name);

// The names of the files in a folder (not its folders), in no particular order, in UTF-8 on
// Windows as the folder's name is; a link counts as what it reaches.
ErrorCode listFiles(const std::string& folder, std::vector<std::string>& names);

}  // namespace platform

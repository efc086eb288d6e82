#include "cli/table_search.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "cli/command_line.h"
#include "platform/program_environment.h"
#include "recode/text_line_reader.h"

namespace cli {
namespace {

constexpr std::string_view kExtension = ".tab";
constexpr const char* kFolderVariable = "LETTERMILL_TABLES";
constexpr const char* kDescriptions = "descriptions.txt";
// The column of the descriptions: after the longest shipped name, with two blanks; a longer name
// is followed by two blanks.
constexpr std::size_t kDescriptionColumn = 12;

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::string inFolder(const std::string& folder, const std::string& name) {
    return folder == "." ? name : folder + kSeparator + name;
}

// The current folder; each folder of LETTERMILL_TABLES, empty ones skipped (the current folder
// has been searched); then, beside the program, the installed tables: share/lettermill/tables
// beside bin/ (the relative path comes from the build, after GNUInstallDirs), and tables/ beside
// the program itself, which is the Windows zip's layout and a build tree's (the build links it to
// the source's tables/).
std::vector<std::string> searchedFolders() {
    std::vector<std::string> folders = {"."};
    const std::string list = platform::environmentVariable(kFolderVariable).value_or("");
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(platform::kFolderListSeparator, start);
        end = end == std::string::npos ? list.size() : end;
        if (end > start) {
            folders.push_back(list.substr(start, end - start));
        }
        start = end + 1;
    }
    if (const std::string program = platform::programFolder(); !program.empty()) {
#ifndef _WIN32
        folders.push_back(program + kSeparator + LETTERMILL_TABLES_FROM_PROGRAM);
#endif
        folders.push_back(program + kSeparator + "tables");
    }
    return folders;
}

bool isFile(const std::string& name) {
    platform::FileIdentity identity;
    return platform::identifyByName(name, identity, kNames);
}

bool endsWithExtension(std::string_view name) {
    return name.size() > kExtension.size() && name.ends_with(kExtension);
}

// The descriptions.txt of a folder, as "NAME.tab DESCRIPTION" lines; a folder without one has
// none.
std::vector<std::pair<std::string, std::string>> descriptions(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> found;
    recode::TextLineReader reader;
    platform::NativeFile file{};
    if (platform::openForReading(inFolder(folder, kDescriptions), file, kNames) != 0) {
        return found;
    }
    reader.attach(file);
    while (!reader.atEnd()) {
        const std::string_view line = reader.readLine();
        const std::size_t blank = line.find(' ');
        if (blank != std::string_view::npos) {
            found.emplace_back(line.substr(0, blank), line.substr(blank + 1));
        }
    }
    reader.close();
    recode::takeIoResult();
    return found;
}

}  // namespace

std::string FindTable(const std::string& name) {
    if (name.empty() || std::ranges::any_of(name, platform::isFolderSeparator)) {
        return name;
    }
    for (const std::string& folder : searchedFolders()) {
        if (const std::string file = inFolder(folder, name); isFile(file)) {
            return file;
        }
        if (const std::string file = inFolder(folder, name + std::string(kExtension));
            !endsWithExtension(name) && isFile(file)) {
            return file;
        }
    }
    return name;
}

std::vector<ListedTable> ListTables() {
    std::vector<ListedTable> tables;
    std::set<std::string> listed;
    for (const std::string& folder : searchedFolders()) {
        std::vector<std::string> names;
        platform::listFiles(folder, names);
        std::ranges::sort(names);
        const auto described = descriptions(folder);
        for (const std::string& file : names) {
            if (!endsWithExtension(file)) {
                continue;
            }
            const std::string name = file.substr(0, file.size() - kExtension.size());
            if (!listed.insert(name).second) {
                continue;
            }
            const auto description =
                std::ranges::find(described, file, &std::pair<std::string, std::string>::first);
            tables.push_back(
                {name, description != described.end() ? description->second : std::string()});
        }
    }
    return tables;
}

void PrintTableList() {
    std::string list;
    for (const ListedTable& table : ListTables()) {
        list += table.name;
        if (!table.description.empty()) {
            const std::size_t width = std::max(table.name.size() + 2, kDescriptionColumn);
            list += std::string(width - table.name.size(), ' ') + table.description;
        }
        list += '\n';
    }
    platform::writeStandardOutput(list);
}

}  // namespace cli

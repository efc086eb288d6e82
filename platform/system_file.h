// The few file calls the recoding engine needs, over Win32 handles or POSIX descriptors.
//
// Every call answers with the system's own error code (GetLastError or errno); 0 means success.
// Both backends give files the same sharing rule: a file open for reading may be read by others
// but not written, and a file open for writing may be read but not opened for writing again.
#pragma once

#include <cstddef>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

using ErrorCode = std::uint32_t;

#ifdef _WIN32
using NativeFile = void*;  // a HANDLE
#else
using NativeFile = int;
#endif

// How a name is handed to the system on Windows: in the ANSI code page, as the Windows program
// does, or in UTF-8, as lettermill-recode holds the names of its wide command line. POSIX names
// are bytes either way.
enum class NameCoding { Ansi, Utf8 };

// How the system classifies a file that was opened for writing.
enum class FileKind { Unknown, Disk, Character, Pipe };

// Whether the system may be handed the name: its calls would silently stop at an embedded NUL
// and reach another file.
inline bool isUsableName(const std::string& name) {
    return name.find('\0') == std::string::npos;
}

ErrorCode openForReading(const std::string& name, NativeFile& file,
                         NameCoding coding = NameCoding::Ansi);

// Creates the file or empties an existing one; a file that may not be written keeps its content.
ErrorCode createForWriting(const std::string& name, NativeFile& file);

// lettermill-recode's output: opened, or made, without being emptied, so that it can still be
// refused untouched once its identity is known; emptyFile() empties it afterwards.
ErrorCode openForOutput(const std::string& name, NativeFile& file, NameCoding coding);
ErrorCode emptyFile(NativeFile file);

// The process's standard input or output, duplicated so that closing it leaves the original open.
// No lock or share mode is added to what the shell opened.
ErrorCode duplicateStandardInput(NativeFile& file);
ErrorCode duplicateStandardOutput(NativeFile& file);

FileKind kindOf(NativeFile file);

// Reads up to `capacity` bytes. `count` is 0 at the end of the data, which includes a pipe whose
// writer has gone.
ErrorCode readSome(NativeFile file, char* buffer, std::size_t capacity, std::size_t& count);

// Writes all `count` bytes or fails.
ErrorCode writeAll(NativeFile file, const char* data, std::size_t count);

ErrorCode closeFile(NativeFile file);

// Which file a name or a stream reaches, however it is reached: device and inode on POSIX, volume
// serial number and file index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

// False when the name or file reaches no file on a disk (nothing, a folder, a device, a pipe).
bool identifyByName(const std::string& name, FileIdentity& identity,
                    NameCoding coding = NameCoding::Ansi);
bool identifyFile(NativeFile file, FileIdentity& identity);
bool identifyStandardStream(bool output, FileIdentity& identity);

// Which standard streams the process was started with. A POSIX stream that was closed gets the
// null device in its place, so that no file opened later takes its number and is mistaken for
// it; lettermill-recode then refuses "-" for it.
struct StandardStreams {
    bool input = true;
    bool output = true;
};
StandardStreams reserveStandardStreams();

// A message or report for the user: UTF-8 text, shown as such on a Windows console, and passed
// on as bytes anywhere else.
void writeStandardError(std::string_view text);
void writeStandardOutput(std::string_view text);

// The system's own text for a code, for messages of the command-line companion.
std::string describeError(ErrorCode code);

}  // namespace platform

// The few file calls the recoding engine needs, over Win32 handles or POSIX descriptors.
//
// Every call answers with the system's own error code (GetLastError or errno); 0 means success.
// Both backends give files the same sharing rule: a file open for reading may be read by others
// but not written, and a file open for writing may be read but not opened for writing again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using ErrorCode = std::uint32_t;

#ifdef _WIN32
using NativeFile = void*;  // a HANDLE
#else
using NativeFile = int;
#endif

// How the system classifies a file that was opened for writing.
enum class FileKind { Unknown, Disk, Character, Pipe };

ErrorCode openForReading(const std::string& name, NativeFile& file);

// Creates the file or empties an existing one; a file that may not be written keeps its content.
ErrorCode createForWriting(const std::string& name, NativeFile& file);

// The process's standard input or output, duplicated so that closing it leaves the original open.
// A file behind it is held against writing as if it had been opened by name.
ErrorCode duplicateStandardInput(NativeFile& file);
ErrorCode duplicateStandardOutput(NativeFile& file);

FileKind kindOf(NativeFile file);

// Reads up to `capacity` bytes. `count` is 0 at the end of the data, which includes a pipe whose
// writer has gone.
ErrorCode readSome(NativeFile file, char* buffer, std::size_t capacity, std::size_t& count);

// Writes all `count` bytes or fails.
ErrorCode writeAll(NativeFile file, const char* data, std::size_t count);

ErrorCode closeFile(NativeFile file);

// The system's own text for a code, for messages of the command-line companion.
std::string describeError(ErrorCode code);

}  // namespace platform

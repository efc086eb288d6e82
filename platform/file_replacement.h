// Files replaced by new texts without a moment in which one is cut: each new text goes to a new
// file in the same folder, reaches the disk, and only then takes the old file's place in one step.
// Whatever happens before that step, the old file is left as it was, and a process ended by a
// signal (or Ctrl-C on Windows) or out of memory leaves no new file behind.
#pragma once

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/system_file.h"

namespace platform {

class FileReplacement {
  public:
    FileReplacement() = default;
    // Removes the new file unless it took the old one's place, and closes what is still open.
    ~FileReplacement();
    FileReplacement(FileReplacement&& other) noexcept;
    FileReplacement& operator=(FileReplacement&& other) noexcept;
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Opens the file that `name` reaches, through symbolic links, for reading. A name that reaches
    // a folder, a device or a pipe fails here. Nothing is made yet, so a caller that refuses the
    // file once it knows its identity leaves everything as it was.
    ErrorCode open(const std::string& name, NameCoding coding);
    const FileIdentity& identity() const { return identity_; }
    // The old file, open for reading: the caller reads it and closes it. What ReplaceAll gives
    // the new file of the old one's was taken at open(), so the old file may be closed before.
    NativeFile takeOldFile();

    // Makes the new file beside the old one, exclusively, so that no file that was there is
    // reached. From then on it is reached only through newFile(), never by name again, except
    // for the rename that puts it in place.
    ErrorCode makeNewFile();
    // Open for writing until the replacement commits or discards; the caller does not close it.
    NativeFile newFile() const { return newFile_; }

    // Removes the new file; the old one stays as it was.
    void discard();

  private:
    friend void ReplaceAll(std::span<FileReplacement> batch, std::span<ErrorCode> codes);

    // Whatever each system needs to reach the folder, the old file and the new one.
    std::string target_;   // the old file's full name, links resolved
    std::string newName_;  // the new file's, while it exists
    FileIdentity identity_{};
    NativeFile oldFile_{};
    NativeFile newFile_{};
    bool oldOpen_ = false;
    bool newOpen_ = false;
#ifndef _WIN32
    void release();
    // The folder, reached once: the new file is made, renamed and removed there whatever happens
    // to the names above it.
    int folder_ = -1;
    int pendingSlot_ = -1;  // among the new files a signal removes, while the new file exists
    FileIdentity newIdentity_{};
    // The old file's owner, permissions and extended attributes (ACLs among them), as opened.
    std::uint32_t mode_ = 0;
    std::uint32_t owner_ = 0;
    std::uint32_t group_ = 0;
    std::vector<std::pair<std::string, std::string>> attributes_;
#endif
};

// Puts each new file of the batch in its old file's place: gives it the old file's owner,
// permissions (set-user and set-group bits, ACLs, extended attributes; on Windows attributes and
// security), flushes it to the disk, renames it over the old name in one step, and last flushes
// each folder once. codes[i] is the outcome of batch[i]; a replacement that fails anywhere leaves
// its old file as it was and its new file removed, except for a folder that cannot be flushed at
// the end: its new files are in place, and each reports the failure. The old name is replaced
// only while it still reaches the old file (EBUSY otherwise: another program replaced it in the
// meantime). Many files in one batch cost fewer waits for the disk than one at a time, with the
// same guarantee for each file.
void ReplaceAll(std::span<FileReplacement> batch, std::span<ErrorCode> codes);

}  // namespace platform

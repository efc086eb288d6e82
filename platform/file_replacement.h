// A file replaced by a new text without a moment in which it is cut: the new text goes to a new
// file in the same folder, reaches the disk, and only then takes the old file's place in one step.
// Whatever happens before that step, the old file is left as it was.
#pragma once

#include <string>

#include "platform/system_file.h"

namespace platform {

class FileReplacement {
  public:
    FileReplacement() = default;
    // Removes the new file unless it took the old one's place.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Makes an empty new file beside the file `name` reaches (through symbolic links), with its
    // permissions. A name that reaches a folder or a device fails here.
    ErrorCode begin(const std::string& name);
    // Where the new text goes until commit().
    const std::string& newName() const { return newName_; }
    // Flushes the new file to the disk and puts it in the old one's place.
    ErrorCode commit();

  private:
    void discard();

    std::string target_;
    std::string newName_;
};

}  // namespace platform

#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace report {

// Writes a file so that its name shows either the old contents or the complete new ones, never a
// fragment: the new contents go to a temporary file in the same folder, which is given the old
// file's owner where we may and its permission bits (set-ID bits only with the owner or group they
// were for), synced and renamed over the name. A symbolic link keeps pointing
// where it pointed; the file it points to is replaced. Where a rename would change what the name
// means, the file is written in place instead: a name that is not a regular file (a device, a
// pipe), a file with more than one hard link, or a writable file in a folder that does not let us
// create one. Non-regular files are opened without blocking, so a pipe without a reader fails at
// once (ENXIO) instead of waiting for one.
class FileReplacement {
 public:
  // What a write does when a pipe or device cannot take more data at the moment.
  enum class Waiting {
    forever,  // waits, as a plain write would (a command-line tool feeding a pipe)
    never,    // fails with EAGAIN (a window that must never hang on a stalled reader)
  };

  FileReplacement() = default;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  // A replacement that was not committed is discarded: its temporary file is removed.
  ~FileReplacement();

  // Starts replacing a file. An empty result means the contents can now be written.
  std::error_code open(const std::string& path, Waiting waiting = Waiting::forever);
  // Writes all the bytes (unbuffered) or fails with the system's reason.
  std::error_code write(const char* data, std::size_t size);
  // Syncs and closes the file and puts it in place. On failure the old file is as it was.
  std::error_code commit();
  // Gives up: removes the temporary file, if any; the old file is as it was.
  void discard();

 private:
  int fd = -1;
  std::string target;          // the file being replaced, symbolic links followed
  std::string temporary;       // empty when writing in place
  bool regular = false;        // only regular files are synced
  std::optional<mode_t> mode;  // the old file's permission bits, given to its replacement once written
};

// Replaces a file with a text, as FileReplacement does. Returns the system's reason on failure.
std::error_code replaceFile(const std::string& path, std::string_view text,
                            FileReplacement::Waiting waiting = FileReplacement::Waiting::forever);

}  // namespace report

#pragma once

#include <sys/types.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace files {

// Writes a file so that its name shows either the old contents or the complete new ones, never a
// fragment: the new contents go to a private temporary file in the same folder, which is given the
// old file's owner where we may and, once written, its permission bits (set-ID bits only with the
// owner or group they were for), synced and renamed over the name. A file we may not write to is
// refused (EACCES), as a shell's redirection refuses it. A symbolic link keeps pointing where it pointed; the
// file it points to is replaced. A name that is not a regular file (a device, a pipe) or that stands
// for one of our own descriptors (/dev/stdout) is written as it is. Where a rename would change
// what the name means or cannot be made, for a file with more than one hard link or a writable file
// in a folder that does not let us create one, the file is truncated and written in place or, if
// the caller refuses that, not touched (ReplacementError). Non-regular files are opened without
// blocking, so a pipe without a reader fails at once (ENXIO) instead of waiting for one.
class FileReplacement {
 public:
  // What a write does when a pipe or device cannot take more data at the moment.
  enum class Waiting {
    forever,  // waits, as a plain write would (a command-line tool feeding a pipe)
    never,    // fails with EAGAIN (a window that must never hang on a stalled reader)
  };

  // Whether a file that cannot be replaced whole may be truncated and written in place, where a
  // failure leaves it cut short.
  enum class InPlace {
    allowed,  // saves where it can (a window)
    refused,  // fails first (a tool that promises to leave its output as it was when it fails)
  };

  // stop, when given, is a flag a signal handler sets: a write the signal interrupts then fails with
  // EINTR instead of going on, and a commit gives up before the rename.
  explicit FileReplacement(const volatile std::sig_atomic_t* stop = nullptr) : stopFlag(stop) {}
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  // A replacement that was not committed is discarded: its temporary file is removed.
  ~FileReplacement();

  // Starts replacing a file. An empty result means the contents can now be written; else the
  // system's reason, or a ReplacementError when writing in place is refused and would be needed.
  std::error_code open(const std::string& path, Waiting waiting = Waiting::forever, InPlace inPlace = InPlace::allowed);
  // Writes all the bytes (unbuffered) or fails with the system's reason.
  std::error_code write(const char* data, std::size_t size);
  // Syncs and closes the file and puts it in place. On failure the old file is as it was.
  std::error_code commit();
  // Bytes written so far.
  std::uint64_t written() const { return bytes; }
  // Whether the file is being replaced whole; else it is written as it is (a device, a pipe, a
  // descriptor of ours such as standard output).
  bool replacing() const { return !temporary.empty(); }
  // Whether what is written goes to a terminal.
  bool toTerminal() const;
  // Gives up: removes the temporary file, if any; the old file is as it was.
  void discard();

 private:
  // Whether the stop flag is set.
  bool stopped() const;

  int fd = -1;
  std::string target;          // the file being replaced, symbolic links followed
  std::string temporary;       // empty when writing in place
  bool regular = false;        // only regular files are synced
  std::optional<mode_t> mode;  // the old file's permission bits, given to its replacement once written
  const volatile std::sig_atomic_t* stopFlag = nullptr;
  std::uint64_t bytes = 0;
};

// Replaces a file with a text, as FileReplacement does. Returns the reason of a failure.
std::error_code replaceFile(const std::string& path, std::string_view text,
                            FileReplacement::Waiting waiting = FileReplacement::Waiting::forever,
                            FileReplacement::InPlace inPlace = FileReplacement::InPlace::allowed);

// Why a file was not replaced when writing it in place was refused.
enum class ReplacementError {
  severalHardLinks = 1,  // a new file in its place would part it from its other names
  closedFolder,          // no new file can be made beside it, though it is writable itself
};

// The category of ReplacementError, named "file replacement".
const std::error_category& replacementCategory() noexcept;
std::error_code make_error_code(ReplacementError error) noexcept;

}  // namespace files

namespace std {
template <>
struct is_error_code_enum<files::ReplacementError> : true_type {};
}  // namespace std

#include "file_replacement.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <random>
#include <string>
#include <vector>

namespace files {

namespace {

// Links followed before giving up with ELOOP, as the kernel does.
constexpr int maxLinkHops = 40;
// Longest part of the file's own name kept in the temporary name, which must stay within NAME_MAX.
constexpr std::size_t maxTemporaryStem = 200;
// Random temporary names tried before giving up with EEXIST.
constexpr int maxTemporaryAttempts = 100;

std::error_code systemError(int code) {
  return std::error_code(code, std::generic_category());
}

std::error_code lastError() {
  return systemError(errno != 0 ? errno : EIO);
}

// The folder part of a path ("." for a bare name) and the name after the last slash.
std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    return ".";
  }
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The descriptor of this process a name stands for ("/dev/stdout", "/dev/fd/3",
// "/proc/self/fd/3"), or -1. The links behind such names point at open files, not at paths: their
// text may be "pipe:[1234]" or a deleted file's name.
int descriptorNamed(const std::string& path) {
  if (path == "/dev/stdout") {
    return STDOUT_FILENO;
  }
  if (path == "/dev/stderr") {
    return STDERR_FILENO;
  }
  const std::array<std::string, 3> prefixes{"/dev/fd/", "/proc/self/fd/",
                                            "/proc/" + std::to_string(::getpid()) + "/fd/"};
  for (const std::string& prefix : prefixes) {
    if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0) {
      const std::string number = path.substr(prefix.size());
      if (number.size() <= 9 && number.find_first_not_of("0123456789") == std::string::npos) {
        return std::stoi(number);
      }
    }
  }
  return -1;
}

// Follows symbolic links from a path to the file they end at, which need not exist yet. Stops at
// a name that stands for an open descriptor and sets descriptor to it (else -1).
std::error_code followLinks(std::string& path, int& descriptor) {
  for (int hop = 0; hop <= maxLinkHops; ++hop) {
    descriptor = descriptorNamed(path);
    if (descriptor >= 0) {
      return {};
    }
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
      return errno == ENOENT ? std::error_code() : lastError();
    }
    if (!S_ISLNK(status.st_mode)) {
      return {};
    }
    std::vector<char> link(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : PATH_MAX) + 1);
    const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
    if (length < 0) {
      return lastError();
    }
    if (static_cast<std::size_t>(length) >= link.size()) {
      return systemError(ENAMETOOLONG);  // the link changed while it was read
    }
    const std::string next(link.data(), static_cast<std::size_t>(length));
    if (next.empty()) {
      return systemError(ENOENT);
    }
    path = next.front() == '/' ? next : folderOf(path) + "/" + next;
  }
  return systemError(ELOOP);
}

// Creates a temporary file beside a path under a fresh random name, with the permission bits asked
// for less what the umask or the folder's default ACL takes away, as for any new file. Sets name.
int createBeside(const std::string& path, mode_t permissions, std::string& name) {
  static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> letter(0, sizeof letters - 2);
  const std::string stem = folderOf(path) + "/." + nameOf(path).substr(0, maxTemporaryStem) + ".";
  for (int attempt = 0; attempt < maxTemporaryAttempts; ++attempt) {
    name = stem;
    for (int i = 0; i < 8; ++i) {
      name += letters[letter(random)];
    }
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, permissions);
    if (fd >= 0 || errno != EEXIST) {
      return fd;
    }
  }
  errno = EEXIST;
  return -1;
}

// Gives a new file the owner of the file it replaces and returns the permission bits to give it
// once written: the kernel clears the set-user-ID and set-group-ID bits on a change of owner and on
// a write by anyone but root. The owner is kept where we may (root), else the group where we belong
// to it; otherwise the file becomes ours, as any new file would, and a set-ID bit whose owner or
// group was not kept is dropped: the file must not run as us.
std::error_code takeOwner(int fd, const struct stat& old, mode_t& mode) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) {
    return lastError();
  }
  if (now.st_uid != old.st_uid || now.st_gid != old.st_gid) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
      errno = 0;
    }
    if (::fstat(fd, &now) != 0) {
      return lastError();
    }
  }
  mode = old.st_mode & 07777;
  if (now.st_uid != old.st_uid) {
    mode &= ~static_cast<mode_t>(S_ISUID);
  }
  if (now.st_gid != old.st_gid) {
    mode &= ~static_cast<mode_t>(S_ISGID);
  }
  return {};
}

std::error_code closeFile(int& fd) {
  const int result = ::close(fd);
  fd = -1;
  return result == 0 || errno == EINTR ? std::error_code() : lastError();
}

}  // namespace

FileReplacement::~FileReplacement() {
  discard();
}

std::error_code FileReplacement::open(const std::string& path, Waiting waiting, InPlace inPlace) {
  discard();
  bytes = 0;
  if (path.empty()) {
    return systemError(ENOENT);
  }
  target = path;
  int descriptor = -1;
  if (const std::error_code failure = followLinks(target, descriptor)) {
    return failure;
  }
  if (descriptor >= 0) {
    // Written as this process's own output would be: a file opened for appending is appended to. The
    // descriptor's flags are shared with its owner, so it is left blocking whatever the waiting.
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
      return lastError();
    }
    fd = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
      return lastError();
    }
    regular = S_ISREG(status.st_mode);
    return {};
  }
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) {
    return lastError();
  }

  if (exists && !S_ISREG(old.st_mode)) {
    // A device or a pipe: the name stays what it is. Opening without blocking refuses a pipe that
    // has no reader; a directory fails here with EISDIR.
    fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      return lastError();
    }
    if (waiting == Waiting::forever) {
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return {};
  }
  regular = true;
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES) {
    return systemError(EACCES);
  }
  if (exists && old.st_nlink > 1) {
    // A rename would part this name from the other links to the same file.
    if (inPlace == InPlace::refused) {
      return ReplacementError::severalHardLinks;
    }
    fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
    return fd < 0 ? lastError() : std::error_code();
  }

  // A new file gets what the umask and the folder allow. A replacement is private until it is
  // whole: it takes the old file's bits only at the commit.
  std::string name;
  fd = createBeside(target, exists ? 0600 : 0666, name);
  if (fd < 0) {
    const int reason = errno;
    if (exists && (reason == EACCES || reason == EPERM)) {
      // The folder is closed to new files, though the file itself is writable.
      if (inPlace == InPlace::refused) {
        return ReplacementError::closedFolder;
      }
      fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
      if (fd >= 0) {
        return {};
      }
    }
    return systemError(reason);
  }
  temporary = name;
  if (exists) {
    mode_t kept = 0;
    if (const std::error_code failure = takeOwner(fd, old, kept)) {
      discard();
      return failure;
    }
    mode = kept;
  }
  return {};
}

std::error_code FileReplacement::write(const char* data, std::size_t size) {
  if (fd < 0) {
    return systemError(EBADF);
  }
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR && !stopped()) {
        continue;
      }
      return lastError();
    }
    bytes += static_cast<std::uint64_t>(written);
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return {};
}

std::error_code FileReplacement::commit() {
  if (fd < 0) {
    return systemError(EBADF);
  }
  // The permission bits come after the last write, which would clear set-ID bits, and before the
  // sync, which makes them durable with the data.
  if (mode && ::fchmod(fd, *mode) != 0) {
    const std::error_code failure = lastError();
    discard();
    return failure;
  }
  // A network file system may report a full disk or quota only at the sync or the close.
  if (regular && ::fsync(fd) != 0) {
    const std::error_code failure = lastError();
    discard();
    return failure;
  }
  if (const std::error_code failure = closeFile(fd)) {
    discard();
    return failure;
  }
  if (!temporary.empty()) {
    // The last moment a stop can leave the old file as it was.
    if (stopped()) {
      discard();
      return systemError(EINTR);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
      const std::error_code failure = lastError();
      discard();
      return failure;
    }
    temporary.clear();
    // Makes the rename itself durable. The new file is in place whatever this says, so a folder
    // that cannot be synced is no failure of the write.
    const int folder = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      (void)::fsync(folder);
      ::close(folder);
    }
  }
  regular = false;
  mode.reset();
  return {};
}

bool FileReplacement::toTerminal() const {
  return fd >= 0 && ::isatty(fd) == 1;
}

bool FileReplacement::stopped() const {
  return stopFlag != nullptr && *stopFlag != 0;
}

void FileReplacement::discard() {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
  if (!temporary.empty()) {
    ::unlink(temporary.c_str());
    temporary.clear();
  }
  regular = false;
  mode.reset();
}

std::error_code replaceFile(const std::string& path, std::string_view text, FileReplacement::Waiting waiting,
                            FileReplacement::InPlace inPlace) {
  FileReplacement file;
  if (std::error_code failure = file.open(path, waiting, inPlace)) {
    return failure;
  }
  if (std::error_code failure = file.write(text.data(), text.size())) {
    return failure;
  }
  return file.commit();
}

const std::error_category& replacementCategory() noexcept {
  // The messages finish a sentence such as "cannot write NAME: ...".
  class Category : public std::error_category {
   public:
    const char* name() const noexcept override { return "file replacement"; }
    std::string message(int code) const override {
      switch (static_cast<ReplacementError>(code)) {
        case ReplacementError::severalHardLinks:
          return "it has several hard links, which a new file in its place would part; write to another name, then "
                 "copy that over it";
        case ReplacementError::closedFolder:
          return "its folder does not let a new file be made beside it, so it cannot be replaced whole; write to "
                 "another folder, then copy that over it";
      }
      return "unknown file replacement error " + std::to_string(code);
    }
  };
  static const Category category;
  return category;
}

std::error_code make_error_code(ReplacementError error) noexcept {
  return {static_cast<int>(error), replacementCategory()};
}

}  // namespace files

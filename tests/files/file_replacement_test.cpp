#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "failing_fsync.h"
#include "file_replacement.h"
#include "prerequisites.h"
#include "test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string oldText(600, 'o');

// What the window writes: a text replacing the file whole, never waiting on a pipe.
std::error_code writeText(const std::string& path, const std::string& text) {
  return files::replaceFile(path, text, files::FileReplacement::Waiting::never);
}

std::error_code reason(int code) {
  return std::error_code(code, std::generic_category());
}

// What a test part hands back: empty for success, else the failure's message.
std::string outcome(const std::error_code& failure) {
  return failure ? failure.message() : std::string();
}

// Runs a part of a test in a child process, as "nobody" when asked and we are root (without root's
// groups), and returns the text the part returns, or why the child gave none.
std::string inChild(const passwd* user, const std::function<std::string()>& part) {
  int ends[2];
  if (::pipe(ends) != 0) {
    return "no pipe";
  }
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    if (user != nullptr && ::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(user->pw_gid) != 0 || ::setuid(user->pw_uid) != 0)) {
      ::_exit(2);
    }
    const std::string text = part();
    ::_exit(::write(ends[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 3);
  }
  ::close(ends[1]);
  std::string text;
  char buffer[256];
  for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(ends[0]);
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "the child failed with status " + std::to_string(status);
  }
  return text;
}

class FileReplacementTest : public testing::Test {
 protected:
  void SetUp() override { std::ofstream(dir / "ref.out", std::ios::binary) << oldText; }

  // The names in the test folder: a failed or finished write leaves no temporary file behind.
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

  TempDir dir;
  const std::string newText = std::string(700, 'n');
};

TEST_F(FileReplacementTest, ReplacesTheFileKeepingItsPermissionBitsAndOwner) {
  const fs::path file = dir / "ref.out";
  ::chmod(file.c_str(), 0640);
  // Root may give the new file the old one's owner; anyone else's file is simply their own.
  const passwd* nobody = ::getpwnam("nobody");
  const bool chowned =
      ::geteuid() == 0 && nobody != nullptr && ::chown(file.c_str(), nobody->pw_uid, nobody->pw_gid) == 0;
  struct stat before {};
  ::stat(file.c_str(), &before);
  ASSERT_FALSE(writeText(file.string(), newText));
  EXPECT_EQ(fileContents(file), newText);
  struct stat after {};
  ::stat(file.c_str(), &after);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_TRUE(chowned || ::geteuid() != 0);
  EXPECT_NE(after.st_ino, before.st_ino) << "the file was rewritten in place, not replaced";
  EXPECT_EQ(names(), std::vector<std::string>{"ref.out"});

  // A new file gets the usual bits: 0666 less the umask.
  const mode_t mask = ::umask(027);
  const std::error_code created = files::replaceFile((dir / "new.out").string(), "x");
  ::umask(mask);
  ASSERT_FALSE(created);
  struct stat fresh {};
  ::stat((dir / "new.out").c_str(), &fresh);
  EXPECT_EQ(fresh.st_mode & 07777, 0640u);
}

// A set-ID bit stays only with the owner or group it was for. Root keeps the owner and so both
// bits; a file that becomes nobody's keeps neither bit for an owner or group it lost. Written by
// anyone but root (who may keep set-ID bits through a write), the bits of nobody's own file are
// set only after the last write, which would clear them.
TEST_F(FileReplacementTest, SetIdBitsStayOnlyWithTheOwnerAndGroupTheyWereFor) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() != 0 || nobody == nullptr) {
    GTEST_SKIP() << "needs root and a user \"nobody\"";
  }
  const uid_t user = nobody->pw_uid;
  const gid_t group = nobody->pw_gid;
  struct Case {
    uid_t owner;
    gid_t group;
    mode_t mode;
    bool byNobody;  // else written by root
    mode_t kept;
  };
  const Case cases[] = {
      {user, group, 06755, false, 06755}, {user, group, 02775, false, 02775}, {0, 0, 06755, false, 06755},
      {0, 0, 02775, false, 02775},        {0, 0, 06757, true, 00757},         {0, group, 06775, true, 02775},
      {user, group, 06755, true, 06755},
  };
  const fs::path file = dir / "ref.out";
  ::chmod(dir.path().c_str(), 0777);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode 0" << std::oct << c.mode << std::dec << " owner " << c.owner << ":"
                                    << c.group << (c.byNobody ? " written by nobody" : " written by root"));
    std::ofstream(file, std::ios::binary) << oldText;
    ASSERT_EQ(::chown(file.c_str(), c.owner, c.group), 0);
    ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
    const auto replace = [&file] { return outcome(files::replaceFile(file.string(), "new")); };
    EXPECT_EQ(c.byNobody ? inChild(nobody, replace) : replace(), "");
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(fileContents(file), "new");
    EXPECT_EQ(after.st_mode & 07777, c.kept) << std::oct << (after.st_mode & 07777);
    EXPECT_EQ(after.st_uid, c.byNobody ? user : c.owner);
    EXPECT_EQ(after.st_gid, c.byNobody ? group : c.group);
  }
  ::chmod(dir.path().c_str(), 0700);
}

// A name that cannot be opened or a device that refuses the data fails with the system's reason,
// and leaves nothing behind.
TEST_F(FileReplacementTest, FailuresReturnTheSystemsReason) {
  std::ofstream(dir / "plain") << "x";
  const std::pair<fs::path, int> failures[] = {
      {dir / "missing" / "ref.out", ENOENT},
      {dir / "plain" / "ref.out", ENOTDIR},
      {dir.path(), EISDIR},
      {"/dev/full", ENOSPC},
  };
  for (const auto& [path, code] : failures) {
    const std::error_code error = writeText(path.string(), newText);
    EXPECT_EQ(error, reason(code)) << path << ": " << error.message();
  }
  EXPECT_EQ(fileContents(dir / "plain"), "x");
  EXPECT_EQ(names(), (std::vector<std::string>{"plain", "ref.out"}));
}

// Past the file size limit the write fails with EFBIG (SIGXFSZ ignored, as the programs do) and
// the earlier file is still there, whole.
TEST_F(FileReplacementTest, FailedWriteKeepsTheOldFileByteForByte) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction previous {};
  ::sigaction(SIGXFSZ, &ignore, &previous);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limited = saved;
  limited.rlim_cur = 100;
  ::setrlimit(RLIMIT_FSIZE, &limited);
  const std::error_code failure = writeText((dir / "ref.out").string(), newText);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_EQ(failure, reason(EFBIG)) << failure.message();
  EXPECT_EQ(fileContents(dir / "ref.out"), oldText);
  EXPECT_EQ(names(), std::vector<std::string>{"ref.out"});

  // Giving up half way, as a tool does on bad input, leaves the old file too, and so does a stop
  // that comes before the rename; until then the new contents are private.
  volatile std::sig_atomic_t stop = 0;
  {
    files::FileReplacement half;
    ASSERT_FALSE(half.open((dir / "ref.out").string()));
    ASSERT_FALSE(half.write("partial", 7));
    files::FileReplacement stopped(&stop);
    ASSERT_FALSE(stopped.open((dir / "ref.out").string()));
    ASSERT_FALSE(stopped.write("whole", 5));
    for (const std::string& name : names()) {
      if (name != "ref.out") {
        EXPECT_EQ(fs::status(dir / name).permissions(), fs::perms::owner_read | fs::perms::owner_write);
      }
    }
    stop = SIGINT;
    EXPECT_EQ(stopped.commit(), reason(EINTR));
  }
  EXPECT_EQ(fileContents(dir / "ref.out"), oldText);
  EXPECT_EQ(names(), std::vector<std::string>{"ref.out"});
}

// A sync that fails (a disk that lost the data, a quota found only then) is reported, and nothing
// is renamed before the data is synced: the old file stays byte for byte and no temporary is left.
TEST_F(FileReplacementTest, FailedSyncKeepsTheOldFileByteForByte) {
  const std::string noFilter = "no seccomp filter: ";
  const std::string result = inChild(nullptr, [this, &noFilter] {
    if (!makeFsyncFail()) {
      return noFilter + std::strerror(errno);
    }
    return outcome(writeText((dir / "ref.out").string(), newText));
  });
  if (result.compare(0, noFilter.size(), noFilter) == 0 && !strictTests()) {
    GTEST_SKIP() << result;
  }
  EXPECT_EQ(result, reason(EIO).message());
  EXPECT_EQ(fileContents(dir / "ref.out"), oldText);
  EXPECT_EQ(names(), std::vector<std::string>{"ref.out"});
}

// Names a rename would change the meaning of: the other link of a hard-linked file sees the new
// text, and a symbolic link (relative, through another folder) still points to its file.
TEST_F(FileReplacementTest, LinksKeepTheirMeaning) {
  const fs::path file = dir / "ref.out";
  fs::create_hard_link(file, dir / "copy.out");
  // A caller that refuses writing in place gets the reason, and the file stays as it was.
  EXPECT_EQ(files::replaceFile(file.string(), "x", files::FileReplacement::Waiting::forever,
                               files::FileReplacement::InPlace::refused),
            files::ReplacementError::severalHardLinks);
  EXPECT_EQ(fileContents(file), oldText);
  ASSERT_FALSE(writeText(file.string(), newText));
  EXPECT_EQ(fileContents(dir / "copy.out"), newText);
  EXPECT_EQ(fs::hard_link_count(file), 2u);

  fs::create_directory(dir / "links");
  fs::create_symlink("../target.out", dir / "links" / "via.out");
  fs::create_symlink("via.out", dir / "links" / "again.out");
  std::ofstream(dir / "target.out") << oldText;
  ASSERT_FALSE(files::replaceFile((dir / "links" / "again.out").string(), "through two links"));
  EXPECT_EQ(fs::read_symlink(dir / "links" / "again.out"), "via.out");
  EXPECT_EQ(fs::read_symlink(dir / "links" / "via.out"), "../target.out");
  EXPECT_EQ(fileContents(dir / "target.out"), "through two links");

  // A link to a file that does not exist yet creates that file.
  fs::create_symlink("later.out", dir / "dangling.out");
  ASSERT_FALSE(files::replaceFile((dir / "dangling.out").string(), "created"));
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.out"));
  EXPECT_EQ(fileContents(dir / "later.out"), "created");

  fs::create_symlink("loop.out", dir / "loop.out");
  EXPECT_EQ(files::replaceFile((dir / "loop.out").string(), "x"), reason(ELOOP));
}

// A writable file in a folder that does not let us create files is written in place, unless the
// caller refuses that: then it fails untouched, saying why. Root may create anywhere, so as root
// the writes are made by a child process that runs as "nobody".
TEST_F(FileReplacementTest, FileInAClosedFolderIsWrittenInPlaceUnlessRefused) {
  const passwd* nobody = ::getpwnam("nobody");
  if (::geteuid() == 0 && nobody == nullptr) {
    GTEST_SKIP() << "running as root and there is no user \"nobody\" to drop to";
  }
  const fs::path file = dir / "ref.out";
  std::ofstream(dir / "protected.out") << oldText;
  ::chmod((dir / "protected.out").c_str(), 0444);
  ::chmod(dir.path().c_str(), 0777);
  // A file we may not write to is refused in an open folder too, as a shell's redirection refuses it.
  const std::string protectedFile = inChild(nobody, [this] {
    return outcome(files::replaceFile((dir / "protected.out").string(), "x", files::FileReplacement::Waiting::forever,
                                      files::FileReplacement::InPlace::refused));
  });
  EXPECT_EQ(protectedFile, reason(EACCES).message());
  EXPECT_EQ(fileContents(dir / "protected.out"), oldText);
  fs::remove(dir / "protected.out");
  ::chmod(file.c_str(), 0666);
  ::chmod(dir.path().c_str(), 0555);
  const std::string result = inChild(nobody, [&file, this] {
    const std::string refused = outcome(files::replaceFile(
        file.string(), "refused", files::FileReplacement::Waiting::forever, files::FileReplacement::InPlace::refused));
    const bool untouched = fileContents(file) == oldText;
    return refused + (untouched ? "|untouched|" : "|changed|") +
           outcome(files::replaceFile(file.string(), "in place")) + "|" +
           outcome(files::replaceFile((dir / "other.out").string(), "x"));
  });
  ::chmod(dir.path().c_str(), 0755);
  EXPECT_EQ(result,
            "its folder does not let a new file be made beside it, so it cannot be replaced whole; write to another "
            "folder, then copy that over it|untouched||" +
                reason(EACCES).message());
  EXPECT_EQ(fileContents(file), "in place");
  EXPECT_EQ(names(), std::vector<std::string>{"ref.out"});
}

// A pipe without a reader is refused at once instead of blocking; with a reader it gets the text.
TEST_F(FileReplacementTest, PipesAreWrittenWithoutBlocking) {
  const fs::path pipe = dir / "pipe.out";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(writeText(pipe.string(), newText), reason(ENXIO));

  auto reader = std::async(std::launch::async, [&pipe] { return fileContents(pipe); });
  // The reader may not have opened its end yet: try until it has.
  std::error_code written = reason(ENXIO);
  for (int attempt = 0; attempt < 1000 && written == reason(ENXIO); ++attempt) {
    written = writeText(pipe.string(), newText);
    if (written == reason(ENXIO)) {
      ::usleep(1000);
    }
  }
  EXPECT_FALSE(written) << written.message();
  if (written) {
    ::close(::open(pipe.c_str(), O_WRONLY));  // lets the reader go
  }
  EXPECT_EQ(reader.get(), newText);
  EXPECT_TRUE(fs::is_fifo(pipe));

  // A name for one of our own descriptors writes to that descriptor: a pipe's link reads
  // "pipe:[...]", and a file opened for appending is appended to.
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  EXPECT_FALSE(files::replaceFile("/proc/self/fd/" + std::to_string(ends[1]), "through the pipe"));
  ::close(ends[1]);
  char buffer[64] = {};
  EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(::read(ends[0], buffer, sizeof buffer))), "through the pipe");
  ::close(ends[0]);
  const int log = ::open((dir / "ref.out").c_str(), O_WRONLY | O_APPEND);
  EXPECT_FALSE(files::replaceFile("/dev/fd/" + std::to_string(log), "+more"));
  ::close(log);
  EXPECT_EQ(fileContents(dir / "ref.out"), oldText + "+more");

  if (fs::exists("/dev/null")) {
    EXPECT_FALSE(writeText("/dev/null", newText));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
  }
}

}  // namespace

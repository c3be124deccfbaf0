#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "file_replacement.h"
#include "run.h"
#include "values.h"

// A file in memory: a CaseReader reads it through its descriptor, a FileReplacement writes it
// through its name /dev/fd/N.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& text = "") : fd(memfd_create("table-test", MFD_CLOEXEC)) {
    if (::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) fd = -1;
    ::lseek(fd, 0, SEEK_SET);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  ~MemoryFile() { ::close(fd); }

  int descriptor() const { return fd; }
  std::string path() const { return "/dev/fd/" + std::to_string(fd); }
  // Everything the file holds.
  std::string text() const {
    std::string all(static_cast<std::size_t>(::lseek(fd, 0, SEEK_END)), '\0');
    return ::pread(fd, all.data(), all.size(), 0) == static_cast<ssize_t>(all.size()) ? all : "read error";
  }

 private:
  int fd;
};

// The message of the InputError a piece of work throws, or "no error".
template <typename Work>
std::string refusalOf(Work work) {
  try {
    work();
  } catch (const table::InputError& error) {
    return error.what();
  }
  return "no error";
}

// What a request writes, header first, and its summary; cases is the text of a case file, if any.
struct Written {
  std::string text;
  table::RunSummary summary;
};
inline Written tableOf(const table::Request& request, const std::optional<std::string>& cases = std::nullopt) {
  std::optional<MemoryFile> in;
  std::optional<table::CaseReader> reader;
  if (cases) {
    in.emplace(*cases);
    reader.emplace(in->descriptor(), "cases.csv");
  }
  const table::Job job = table::makeJob(request, reader ? &*reader : nullptr);
  MemoryFile out;
  files::FileReplacement file;
  file.open(out.path());
  table::RowWriter writer(file, job.layout);
  table::Progress quiet(-1, 0);
  writer.header();
  const table::RunSummary summary = table::runJob(job, writer, quiet);
  file.commit();
  return {out.text(), summary};
}

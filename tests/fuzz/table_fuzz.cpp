// libFuzzer target for the parsers of the table tool: the first byte chooses the value-list parser
// (odd) or the case reader (even; its other bits say which inputs the command line replaces), the
// rest is the text. Any crash, sanitizer report or abort below is a finding.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "case_reader.h"
#include "table_run.h"
#include "values.h"

namespace {

// Parsed inputs are always finite: anything else is a finding.
void requireFinite(double value) {
  if (!std::isfinite(value)) std::abort();
}

// Parses a text as an option value and reads values from the ends and middle of the list.
void fuzzValues(std::string_view text) {
  try {
    const table::ValueList list = table::ValueList::parse(text, "--fuzz");
    if (list.size() == 0) std::abort();
    const std::uint64_t last = list.size() - 1;
    for (std::uint64_t i : {std::uint64_t{0}, last / 3, last / 2, last}) requireFinite(list.at(i));
  } catch (const table::InputError&) {
  }
}

// Reads a text as a case file and computes its first thousand rows.
void fuzzCases(std::string_view text, std::uint8_t replacedBits) {
  std::array<bool, table::inputCount> replaced{};
  for (std::size_t i = 0; i < table::inputCount; ++i) replaced[i] = (replacedBits >> (i + 1)) & 1;
  const int fd = memfd_create("fuzz.csv", MFD_CLOEXEC);
  if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
  ::lseek(fd, 0, SEEK_SET);
  try {
    table::CaseReader reader(fd, "fuzz.csv", replaced);
    table::Inputs inputs = table::defaultInputs;
    for (int rows = 0; rows < 1000 && reader.next(inputs); ++rows) {
      for (double value : inputs) requireFinite(value);
      table::computeRow(inputs, (replacedBits & 0x80) != 0);
    }
  } catch (const table::InputError&) {
  }
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    fuzzValues(text);
  } else {
    fuzzCases(text, data[0]);
  }
  return 0;
}

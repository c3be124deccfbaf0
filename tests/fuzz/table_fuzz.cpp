// libFuzzer target for the parsers of the table tool: the first byte chooses the value-list parser
// (odd) or the case reader (even; its other bits say what the command line adds), the rest is the
// text. Any crash, sanitizer report or abort below is a finding.
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

// Reads a text as a case file and computes its first thousand rows. The bits of options say what
// the command line adds: a speed, an altitude, geometric altitudes, other units, a solve (for the
// Mach number with an altitude, else for the altitude) whose target the file gives.
void fuzzCases(std::string_view text, std::uint8_t options) {
  const int fd = memfd_create("fuzz.csv", MFD_CLOEXEC);
  if (fd < 0 || ::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) std::abort();
  ::lseek(fd, 0, SEEK_SET);
  try {
    table::CaseReader reader(fd, "fuzz.csv");
    table::Job job;
    if (options & 0x02) job.values[0] = table::ValueList(100.0);
    if (options & 0x04) job.values[1] = table::ValueList(-100.0);
    job.inputs[0] = job.setup.speed = (options & 0x02) ? table::tas : table::mach;
    job.setup.geometric = (options & 0x08) != 0;
    if (options & 0x10) job.setup.units[static_cast<std::size_t>(table::Quantity::speed)] = table::units[5];
    if (options & 0x20) job.setup.units[static_cast<std::size_t>(table::Quantity::altitude)] = table::units[2];
    if (options & 0x40) job.setup.units[static_cast<std::size_t>(table::Quantity::weight)] = table::units[11];
    if (options & 0x80) {
      job.setup.unknown = (options & 0x04) ? table::mach : table::altitude;
      if (job.setup.unknown == table::mach) job.values[0].reset();
    }
    job.readCases(reader);
    job.checkSolve();
    table::Row row{};
    for (int rows = 0; rows < 1000 && reader.next(row); ++rows) {
      for (const table::Column input : job.inputs) {
        if (reader.gives(input)) requireFinite(row[input]);
      }
      table::computeRow(row, job.setup);
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

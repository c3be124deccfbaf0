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
#include "run.h"
#include "values.h"

namespace {

// Parsed inputs are finite or NaN (a case file's nan): anything else is a finding.
void requireNumber(double value) {
  if (std::isinf(value)) std::abort();
}

// Parses a text as an option value and reads values from the ends and middle of the list.
void fuzzValues(std::string_view text) {
  try {
    const table::ValueList list = table::ValueList::parse(text, "--fuzz");
    if (list.size() == 0) std::abort();
    const std::uint64_t last = list.size() - 1;
    for (std::uint64_t i : {std::uint64_t{0}, last / 3, last / 2, last}) requireNumber(list.at(i));
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
    table::Request request;
    if (options & 0x02) request.values[table::tas] = "100";
    if (options & 0x04) request.values[table::altitude] = "-100";
    request.geometric = (options & 0x08) != 0;
    if (options & 0x10) request.units[static_cast<std::size_t>(aero::Quantity::speed)] = aero::units[5];
    if (options & 0x20) request.units[static_cast<std::size_t>(aero::Quantity::altitude)] = aero::units[2];
    if (options & 0x40) request.units[static_cast<std::size_t>(aero::Quantity::weight)] = aero::units[11];
    if (options & 0x80) {
      request.unknown = (options & 0x04) ? table::mach : table::altitude;
      if (request.unknown == table::mach) request.values[table::tas].reset();
    }
    const table::Job job = table::makeJob(request, &reader);
    table::Row row{};
    for (int rows = 0; rows < 1000 && reader.next(row); ++rows) {
      for (const table::Column input : job.inputs) {
        if (reader.gives(input)) requireNumber(row[input]);
      }
      table::checkRow(job, row);
      aero::computeRow(row, job.setup);
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

#include "run.h"

#include <unistd.h>

#include <cmath>
#include <limits>
#include <string>

#include "atmosphere.h"

namespace table {

Progress::Progress(int descriptor, std::uint64_t rowsInAll)
    : fd(descriptor), total(rowsInAll), enabled(isatty(descriptor) == 1), start(std::chrono::steady_clock::now()) {}

void Progress::show(std::uint64_t rows) {
  const auto now = std::chrono::steady_clock::now();
  if (now - start < std::chrono::seconds(1) || (shown && now - last < std::chrono::milliseconds(100))) return;
  last = now;
  shown = true;
  std::string line = "\rquorvan-table: " + std::to_string(rows);
  if (total != 0) {
    line += " of " + std::to_string(total) + " rows (" +
            std::to_string(static_cast<int>(100.0 * static_cast<double>(rows) / static_cast<double>(total))) + "%)";
  } else {
    line += " rows";
  }
  line += "\033[K";
  // A failed progress line is no reason to stop the table.
  [[maybe_unused]] const ssize_t ignored = ::write(fd, line.data(), line.size());
}

void Progress::finish() {
  if (!shown) return;
  shown = false;
  constexpr char erase[] = "\r\033[K";
  [[maybe_unused]] const ssize_t ignored = ::write(fd, erase, sizeof erase - 1);
}

RunSummary runJob(const Job& job, RowWriter& writer, Progress& progress) {
  RunSummary summary;
  Row row{};
  Row fromFile{};
  std::array<std::uint64_t, inputCount> index{};
  std::array<double, inputCount> value{};
  while (job.cases == nullptr || job.cases->next(fromFile)) {
    for (std::size_t i = 0; i < inputCount; ++i) {
      const Column input = job.inputs[i];
      index[i] = 0;
      value[i] = job.values[i]                                     ? job.values[i]->at(0)
                 : job.cases != nullptr && job.cases->gives(input) ? fromFile[input]
                                                                   : aero::defaultValue(input, job.setup.units);
    }
    while (true) {
      bool nanInput = false;
      for (std::size_t i = 0; i < inputCount; ++i) {
        row[job.inputs[i]] = value[i];
        nanInput = nanInput || std::isnan(value[i]);
      }
      // A command-line sweep was checked whole before its first row.
      if (job.cases != nullptr) checkRow(job, row);
      const double height = aero::computeRow(row, job.setup);
      if (height < 0.0 || height > aero::atmosphereUpperBound) ++summary.extrapolated;
      if (nanInput) {
        ++summary.nanInputs;
      } else if (job.setup.unknown != columnCount && std::isnan(row[job.setup.unknown])) {
        ++summary.unsolved;
      }
      writer.row(row);
      progress.update(++summary.rows);
      if (stopSignal != 0) throw Interrupted();
      // Next combination: the last input varies fastest; one not swept keeps its value.
      std::size_t i = inputCount;
      while (i-- > 0) {
        const std::optional<ValueList>& list = job.values[i];
        if (!list) continue;
        if (++index[i] < list->size()) {
          value[i] = list->at(index[i]);
          break;
        }
        index[i] = 0;
        value[i] = list->at(0);
      }
      if (i == std::numeric_limits<std::size_t>::max()) break;
    }
    if (job.cases == nullptr) break;
  }
  writer.flush();
  progress.finish();
  return summary;
}

}  // namespace table

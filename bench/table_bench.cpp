#include <cstdint>
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "file_replacement.h"
#include "table_run.h"

namespace {

// A 1000 x 1000 Mach-altitude sweep, the other inputs at their defaults.
table::Job machAltitudeSweep() {
  table::Job job;
  job.values[0] = table::ValueList::parse("0.1:1.099:0.001", "--mach");
  job.values[1] = table::ValueList::parse("0:19980:20", "--altitude");
  return job;
}

// A 1000 x 1000 sweep of calibrated airspeed in knots and altitude in feet, every column shown.
table::Job casSweep() {
  table::Job job;
  job.inputs[0] = job.setup.speed = table::cas;
  job.setup.units[static_cast<std::size_t>(table::Quantity::speed)] = table::units[5];
  job.setup.units[static_cast<std::size_t>(table::Quantity::altitude)] = table::units[2];
  job.values[0] = table::ValueList::parse("100:1098:1", "--cas");
  job.values[1] = table::ValueList::parse("0:59940:60", "--altitude");
  return job;
}

// The whole table written to a file with the default format: rows per second.
void sweepToFile(benchmark::State& state) {
  table::Job job = state.range(0) == 0 ? machAltitudeSweep() : casSweep();
  const table::Layout layout = table::layoutOf(
      job, state.range(0) == 0 ? table::defaultColumns(job.setup.speed) : table::parseColumns("all", job.setup.speed),
      ',', 0);
  const std::string path = "quorvan_table_bench.csv";
  std::uint64_t rows = 0;
  for (auto _ : state) {
    report::FileReplacement file;
    if (file.open(path)) state.SkipWithError("cannot open the output file");
    table::RowWriter writer(file, layout);
    table::Progress quiet(-1, 0);
    writer.header();
    rows += table::runJob(job, writer, quiet).rows;
    if (file.commit()) state.SkipWithError("cannot write the output file");
  }
  std::remove(path.c_str());
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(sweepToFile)->ArgName("cas_all")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The Mach-altitude sweep written to /dev/null, and with --digits 6.
void sweepDiscarded(benchmark::State& state) {
  table::Job job = machAltitudeSweep();
  const table::Layout layout =
      table::layoutOf(job, table::defaultColumns(table::mach), ',', static_cast<int>(state.range(0)));
  report::FileReplacement sink;
  if (sink.open("/dev/null")) state.SkipWithError("cannot open /dev/null");
  std::uint64_t rows = 0;
  for (auto _ : state) {
    table::RowWriter writer(sink, layout);
    table::Progress quiet(-1, 0);
    rows += table::runJob(job, writer, quiet).rows;
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(sweepDiscarded)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

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
  job.values[table::mach] = table::ValueList::parse("0.1:1.099:0.001", "--mach");
  job.values[table::altitude] = table::ValueList::parse("0:19980:20", "--altitude");
  job.onCommandLine[table::mach] = job.onCommandLine[table::altitude] = true;
  return job;
}

// The whole table written to a file with the default format: rows per second.
void sweepToFile(benchmark::State& state) {
  const table::Job job = machAltitudeSweep();
  const std::string path = "quorvan_table_bench.csv";
  std::uint64_t rows = 0;
  for (auto _ : state) {
    report::FileReplacement file;
    if (file.open(path)) state.SkipWithError("cannot open the output file");
    table::RowWriter writer(file, ',', 0);
    table::Progress quiet(-1, 0);
    writer.header(false);
    rows += table::runJob(job, writer, quiet).rows;
    if (file.commit()) state.SkipWithError("cannot write the output file");
  }
  std::remove(path.c_str());
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(sweepToFile)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same sweep written to /dev/null, and with --digits 6.
void sweepDiscarded(benchmark::State& state) {
  const table::Job job = machAltitudeSweep();
  report::FileReplacement sink;
  if (sink.open("/dev/null")) state.SkipWithError("cannot open /dev/null");
  std::uint64_t rows = 0;
  for (auto _ : state) {
    table::RowWriter writer(sink, ',', static_cast<int>(state.range(0)));
    table::Progress quiet(-1, 0);
    rows += table::runJob(job, writer, quiet).rows;
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(sweepDiscarded)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One row computed, without writing it.
void computeRow(benchmark::State& state) {
  table::Inputs inputs = table::defaultInputs;
  for (auto _ : state) {
    inputs[table::altitude] = inputs[table::altitude] < 20000.0 ? inputs[table::altitude] + 7.0 : 0.0;
    benchmark::DoNotOptimize(table::computeRow(inputs, false));
  }
}
BENCHMARK(computeRow);

}  // namespace

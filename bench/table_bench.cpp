#include <cstdint>
#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>

#include "file_replacement.h"
#include "run.h"

namespace {

// A 1000 x 1000 Mach-altitude sweep, the other inputs at their defaults.
table::Request machAltitudeSweep() {
  table::Request request;
  request.values[table::mach] = "0.1:1.099:0.001";
  request.values[table::altitude] = "0:19980:20";
  return request;
}

// A 1000 x 1000 sweep of calibrated airspeed in knots and altitude in feet, every column shown.
table::Request casSweep() {
  table::Request request;
  request.units[static_cast<std::size_t>(aero::Quantity::speed)] = aero::units[5];
  request.units[static_cast<std::size_t>(aero::Quantity::altitude)] = aero::units[2];
  request.values[table::cas] = "100:1098:1";
  request.values[table::altitude] = "0:59940:60";
  request.columns = "all";
  return request;
}

// The whole table written to a file with the default format: rows per second.
void sweepToFile(benchmark::State& state) {
  const table::Job job = table::makeJob(state.range(0) == 0 ? machAltitudeSweep() : casSweep(), nullptr);
  const std::string path = "quorvan_table_bench.csv";
  std::uint64_t rows = 0;
  for (auto _ : state) {
    files::FileReplacement file;
    if (file.open(path)) state.SkipWithError("cannot open the output file");
    table::RowWriter writer(file, job.layout);
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
  table::Request request = machAltitudeSweep();
  request.digits = static_cast<int>(state.range(0));
  const table::Job job = table::makeJob(request, nullptr);
  files::FileReplacement sink;
  if (sink.open("/dev/null")) state.SkipWithError("cannot open /dev/null");
  std::uint64_t rows = 0;
  for (auto _ : state) {
    table::RowWriter writer(sink, job.layout);
    table::Progress quiet(-1, 0);
    rows += table::runJob(job, writer, quiet).rows;
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(sweepDiscarded)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

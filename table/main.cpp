#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "file_replacement.h"
#include "table_run.h"
#include "version.h"

namespace {

using namespace table;

// The options as typed. Input values are read as text and parsed here, so that a leading minus
// sign and our own messages work.
struct Options {
  // The speed options (--mach, --tas, --eas, --cas), the other inputs (--altitude ...), then the
  // targets of a solve.
  std::array<std::string, inputCount + 8> values;
  std::array<CLI::Option*, inputCount + 8> given{};
  std::string solve;
  std::array<std::string, quantityCount> units;
  std::string columns;
  bool geometric = false;
  std::string cases;
  bool hasCases = false;
  // The output file; empty for standard output.
  std::string output;
  std::string format = "csv";
  int digits = 0;
  bool noHeader = false;
  std::uint64_t maxRows = 100000000;
};

// The inputs the options name, in their order: the four speeds, the altitude and the rest, then the
// targets of a solve.
constexpr std::array<Column, inputCount + 8> optionInputs{mach,
                                                          tas,
                                                          eas,
                                                          cas,
                                                          altitude,
                                                          loadFactor,
                                                          weight,
                                                          refLength,
                                                          refArea,
                                                          isaOffset,
                                                          liftCoefficient,
                                                          reynolds,
                                                          dynamicPressure,
                                                          pressure,
                                                          density};
constexpr std::size_t firstTarget = inputCount + 3;

// Reports a failed write with the system's reason; the tool then exits with 1.
int writeFailed(const Options& options, const std::error_code& error) {
  std::cerr << "quorvan-table: cannot write " << (options.output.empty() ? "standard output" : options.output) << ": "
            << error.message() << '\n';
  return 1;
}

// Computes and writes the table the options ask for; returns the exit status or throws InputError.
int run(const Options& options) {
  Job job;
  for (std::size_t i = 0; i < firstTarget; ++i) {
    if (!*options.given[i]) continue;
    const std::size_t slot = i < 4 ? 0 : i - 3;
    job.values[slot] = ValueList::parse(options.values[i], optionName(optionInputs[i]));
    job.inputs[slot] = optionInputs[i];
  }
  job.setup.speed = job.inputs[0];
  if (!options.solve.empty()) {
    const Column unknown = options.solve == "mach" ? mach : altitude;
    const std::string solving = "--solve " + options.solve + ": ";
    if (job.values[unknown == mach ? 0 : 1]) {
      throw InputError(solving + "the " + (unknown == mach ? "speed" : "altitude") +
                       " is what is solved for; leave out " + optionName(job.inputs[unknown == mach ? 0 : 1]));
    }
    job.setup.unknown = unknown;
    for (std::size_t i = firstTarget; i < optionInputs.size(); ++i) {
      if (!*options.given[i]) continue;
      if (unknown == mach && (optionInputs[i] == pressure || optionInputs[i] == density)) {
        throw InputError(solving + optionName(optionInputs[i]) +
                         " fixes the altitude, not the speed; use --solve altitude");
      }
      job.solveFor(unknown, optionInputs[i], ValueList::parse(options.values[i], optionName(optionInputs[i])));
    }
  }
  job.setup.geometric = options.geometric;
  for (std::size_t q = 1; q < quantityCount; ++q) {
    for (const Unit& unit : units) {
      if (static_cast<std::size_t>(unit.quantity) == q && unit.name == options.units[q]) job.setup.units[q] = unit;
    }
  }
  const std::uint64_t rows = sweepSize(job);
  if (rows > options.maxRows) {
    throw InputError("the options give " +
                     (rows == UINT64_MAX ? std::string("more than 18446744073709551615") : std::to_string(rows)) +
                     " rows, more than " + std::to_string(options.maxRows) + "; --max-rows N allows up to N");
  }
  // The case file and its header are read before any output exists.
  std::optional<CaseReader> cases;
  if (options.hasCases) {
    const bool standardInput = options.cases == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(options.cases.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw InputError(options.cases + ": cannot open: " + std::strerror(errno));
    cases.emplace(fd, standardInput ? "standard input" : options.cases);
    job.readCases(*cases);
  }
  job.checkSolve();
  if (!options.hasCases) checkSweep(job);
  const Layout layout = layoutOf(
      job, options.columns.empty() ? defaultColumns(job.setup.speed) : parseColumns(options.columns, job.setup.speed),
      options.format == "tsv" ? '\t' : ',', options.digits);

  // Standard output is written through its descriptor; a file is replaced only once complete, and
  // one that cannot be replaced whole is refused before anything is computed.
  report::FileReplacement out;
  if (const std::error_code error =
          out.open(options.output.empty() ? "/dev/stdout" : options.output, report::FileReplacement::Waiting::forever,
                   report::FileReplacement::InPlace::refused)) {
    return writeFailed(options, error);
  }
  RowWriter writer(out, layout);
  // Rows going to the terminal are their own progress: a progress line would be mixed into them.
  const bool rowsOnTerminal = options.output.empty() && isatty(STDOUT_FILENO) == 1;
  Progress progress(rowsOnTerminal ? -1 : STDERR_FILENO, options.hasCases ? 0 : rows);
  RunSummary summary;
  try {
    if (!options.noHeader) writer.header();
    summary = runJob(job, writer, progress);
  } catch (const std::system_error& error) {
    progress.finish();
    return writeFailed(options, error.code());
  }
  if (stopSignal != 0) throw Interrupted();
  if (const std::error_code error = out.commit()) return writeFailed(options, error);
  if (summary.unsolved > 0) {
    std::cerr << "quorvan-table: note: " << summary.unsolved << " of " << summary.rows << " rows have no solution"
              << (job.setup.unknown == altitude ? " between 0 and 88000 m" : "") << '\n';
  }
  if (summary.extrapolated > 0) {
    std::cerr << "quorvan-table: note: " << summary.extrapolated << " of " << summary.rows
              << " rows have an altitude outside 0 to 88000 m; their atmosphere is extrapolated (the end layers "
                 "continue)\n";
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit then fails the write with EFBIG ("File too large") instead of killing us.
  std::signal(SIGXFSZ, SIG_IGN);
  std::ios::sync_with_stdio(false);

  Options options;
  CLI::App app{
      "Computes the aerodynamic reference values of many flight conditions as a CSV table.\n"
      "Each input takes a value, a list 0.5,0.8,0.85 or an inclusive range START:STOP:STEP.\n"
      "Speed, altitude, weight, length and area are in the units the unit options choose (inputs and\n"
      "outputs alike, a column in another unit than the first named with a suffix such as _ft);\n"
      "every other column is SI.",
      "quorvan-table"};
  app.set_version_flag("--version", projectVersion);
  app.footer(
      "Examples:\n"
      "  A KCAS test card on a day 15 K warmer, with TAS and Mach:\n"
      "    quorvan-table --cas 250,300 --speed-unit kt --altitude 10000:30000:10000 --altitude-unit ft \\\n"
      "      --isa-offset 15 --weight 60000 --weight-unit kg --columns cas,altitude,tas,mach,lift_coefficient\n"
      "  At Mach 0.8, the altitude where the Reynolds number on 3.5 m is 20 million (11354.5 m):\n"
      "    quorvan-table --solve altitude --mach 0.8 --reynolds 2e7 --ref-length 3.5\n"
      "  At 11000 m and 60 t, the Mach number that gives CL = 0.5 (1.15133):\n"
      "    quorvan-table --solve mach --altitude 11000 --weight 60 --lift-coefficient 0.5\n"
      "  The pressure altitude of 23840 Pa (35002.5 ft), the density altitude of 0.41 kg/m3 (10053.2 m):\n"
      "    quorvan-table --solve altitude --pressure 23840 --altitude-unit ft\n"
      "    quorvan-table --solve altitude --density 0.41\n"
      "Models: the 1962 U.S. Standard Atmosphere, 0 to 88000 m geopotential (the end layers continue\n"
      "outside it, never in a solve); Sutherland's law for the viscosity; the impact pressure isentropic\n"
      "up to Mach 1 and behind a normal shock (Rayleigh's pitot formula) above, gamma 1.4; CAS the speed\n"
      "with the same impact pressure at sea level; EAS = TAS sqrt(rho / rho0). man quorvan-table tells more.");
  app.get_formatter()->column_width(34);
  const std::array<const char*, inputCount + 8> descriptions{
      "Mach number (default 0.8)",
      "true airspeed, the speed unit",
      "equivalent airspeed TAS sqrt(rho / rho0), the speed unit",
      "calibrated airspeed: the pitot's impact pressure at sea level, the speed unit",
      "altitude, the altitude unit (default 11000 m)",
      "load factor, no unit (default 1)",
      "aircraft weight, the weight unit (default 50 t)",
      "reference length of the Reynolds number, the length unit (default 3.5 m)",
      "reference area, the area unit (default 56 m2)",
      "ISA temperature offset, K: temperature = standard + offset at the same pressure (default 0)",
      "target of --solve: lift coefficient",
      "target of --solve: Reynolds number on the reference length",
      "target of --solve: dynamic pressure, Pa",
      "target of --solve altitude: static pressure, Pa",
      "target of --solve altitude: density, kg/m3"};
  for (std::size_t i = 0; i < optionInputs.size(); ++i) {
    options.given[i] =
        app.add_option(optionName(optionInputs[i]), options.values[i], descriptions[i])->type_name("VALUES");
  }
  CLI::Option* solve =
      app.add_option("--solve", options.solve,
                     "find the Mach number or the altitude at which the target (the one option below it) is met")
          ->type_name("WHAT")
          ->check(CLI::IsMember({"mach", "altitude"}));
  // One speed and one target per run; a target needs --solve.
  for (std::size_t i = 0; i < optionInputs.size(); ++i) {
    const std::size_t end = i < 4 ? 4 : i < firstTarget ? i + 1 : optionInputs.size();
    for (std::size_t j = i + 1; j < end; ++j) options.given[i]->excludes(options.given[j]);
    if (i >= firstTarget) options.given[i]->needs(solve);
  }
  const std::array<std::pair<const char*, const char*>, quantityCount - 1> unitOptions{{
      {"--altitude-unit", "unit of the altitudes, geopotential_altitude and density_altitude"},
      {"--speed-unit", "unit of tas, eas, cas, velocity and sound_speed"},
      {"--weight-unit", "unit of the weight"},
      {"--length-unit", "unit of ref_length"},
      {"--area-unit", "unit of ref_area"},
  }};
  for (std::size_t q = 1; q < quantityCount; ++q) {
    std::vector<std::string> names;
    for (const Unit& unit : units) {
      if (static_cast<std::size_t>(unit.quantity) == q) names.emplace_back(unit.name);
    }
    options.units[q] = names.front();
    app.add_option(unitOptions[q - 1].first, options.units[q],
                   std::string(unitOptions[q - 1].second) + " (default " + names.front() + ")")
        ->type_name("UNIT")
        ->check(CLI::IsMember(names));
  }
  app.add_option("--columns", options.columns,
                 "the columns to write, in this order, named without unit suffix; all for every column")
      ->type_name("NAMES");
  app.add_flag("--geometric", options.geometric,
               "altitudes are geometric, m: converted to geopotential H = r0 Z / (r0 + Z), r0 = 6356766 m; the "
               "altitude column is then geometric_altitude");
  CLI::Option* output = app.add_option("-o,--output", options.output,
                                       "write the table to FILE (- for standard output), replacing it only once "
                                       "complete")
                            ->type_name("FILE");
  app.add_option("--format", options.format, "csv or tsv (default csv)")
      ->type_name("FORMAT")
      ->check(CLI::IsMember({"csv", "tsv"}));
  app.add_option("--digits", options.digits,
                 "significant digits of the computed columns, 1 to 17 (default: the shortest text that reads back "
                 "exactly, which the inputs always are)")
      ->type_name("N")
      ->check(CLI::Range(1, 17));
  app.add_flag("--no-header", options.noHeader, "leave out the header line");
  app.add_option("--max-rows", options.maxRows, "allow a command-line sweep of up to N rows (default 100000000)")
      ->type_name("N")
      ->check(CLI::Range(std::int64_t{1}, std::numeric_limits<std::int64_t>::max()));
  CLI::Option* cases = app.add_option("CASES", options.cases,
                                      "CSV or TSV file of cases (- for standard input) whose header names any of the "
                                      "inputs: one speed (mach, tas, eas or cas), altitude (or geometric_altitude), "
                                      "load_factor, weight, ref_length, ref_area, isa_offset, each with a unit "
                                      "suffix where it is in another unit than the first");
  try {
    app.parse(argc, argv);
    if (*output && options.output.empty()) throw CLI::ValidationError("--output", "an empty file name");
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) return app.exit(error);
    std::cerr << "quorvan-table: " << error.what() << '\n';
    return 2;
  }
  options.hasCases = static_cast<bool>(*cases);
  if (options.output == "-") options.output.clear();

  if (!options.output.empty()) {
    // A reader that goes away is a failed write like any other, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    // Interrupting stops the run and discards the unfinished file; no SA_RESTART, so a read of the
    // cases waiting on a terminal or a pipe is interrupted too.
    struct sigaction stop {};
    stop.sa_handler = [](int signal) { stopSignal = signal; };
    sigemptyset(&stop.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &stop, nullptr);
  }
  int status = 0;
  try {
    status = run(options);
  } catch (const Interrupted&) {
    status = 1;
  } catch (const InputError& error) {
    std::cerr << "quorvan-table: " << error.what() << '\n';
    status = 2;
  }
  if (stopSignal != 0) {
    // Everything has unwound and the unfinished file is gone: die of the signal, as a shell expects.
    std::cerr << "quorvan-table: interrupted; " << options.output << " is as it was\n";
    std::signal(stopSignal, SIG_DFL);
    std::raise(stopSignal);
  }
  return status;
}

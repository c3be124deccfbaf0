#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include "file_replacement.h"
#include "table_run.h"
#include "version.h"

namespace {

using namespace table;

// Sends the table to the replacement of the output file.
class ReplacementSink : public Sink {
 public:
  explicit ReplacementSink(report::FileReplacement& replacement) : file(replacement) {}
  std::error_code write(const char* data, std::size_t size) override { return file.write(data, size); }

 private:
  report::FileReplacement& file;
};

// The options as typed: values are read as text and parsed here, so that a leading minus sign and
// our own messages work.
struct Options {
  std::array<std::string, inputCount> values;
  std::string cases;
  std::string output;
  std::string format = "csv";
  std::string digits;
  std::string maxRows;
  bool geometric = false;
  bool noHeader = false;
  // Which options were given: an empty text given is refused, not taken for a missing option.
  std::array<bool, inputCount> given{};
  bool hasCases = false;
  bool hasOutput = false;
  bool hasDigits = false;
  bool hasMaxRows = false;
};

// A whole text as an integer from low to high; what names it in the message.
std::uint64_t parseCount(const std::string& text, const char* what, std::uint64_t low, std::uint64_t high) {
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    throw InputError(std::string(what) + ": an integer from " + std::to_string(low) + " to " + std::to_string(high) +
                     " is needed, found " + table::quoted(text));
  }
  return value;
}

// Reports a failed write with the system's reason; the tool then exits with 1.
int writeFailed(const std::string& name, const std::error_code& error) {
  std::cerr << "quorvan-table: cannot write " << name << ": " << error.message() << '\n';
  return 1;
}

// Computes and writes the table the options ask for; returns the exit status or throws InputError.
int run(const Options& options) {
  Job job;
  for (std::size_t i = 0; i < inputCount; ++i) {
    if (!options.given[i]) continue;
    std::string option = "--" + std::string(inputNames[i]);
    for (char& c : option) c = c == '_' ? '-' : c;
    job.values[i] = ValueList::parse(options.values[i], option);
    job.onCommandLine[i] = true;
  }
  job.geometric = options.geometric;
  if (options.format != "csv" && options.format != "tsv") {
    throw InputError("--format: csv or tsv, found " + table::quoted(options.format));
  }
  const int digits = !options.hasDigits ? 0 : static_cast<int>(parseCount(options.digits, "--digits", 1, 17));
  const std::uint64_t maxRows =
      !options.hasMaxRows ? defaultMaxRows : parseCount(options.maxRows, "--max-rows", 1, UINT64_MAX);
  const std::uint64_t rows = sweepSize(job);
  if (rows > maxRows) {
    throw InputError("the options give " +
                     (rows == UINT64_MAX ? std::string("more than 18446744073709551615") : std::to_string(rows)) +
                     " rows, more than " + std::to_string(maxRows) + "; --max-rows N allows up to N");
  }

  if (!options.hasCases) checkSweepTemperatures(job);

  // The case file and its header are read before any output exists.
  std::ifstream file;
  std::unique_ptr<CaseReader> cases;
  if (options.hasCases) {
    std::istream* in = &std::cin;
    std::string name = "standard input";
    if (options.cases != "-") {
      file.open(options.cases, std::ios::binary);
      if (!file) throw InputError(options.cases + ": cannot open: " + std::strerror(errno));
      if (std::filesystem::is_directory(options.cases)) throw InputError(options.cases + ": cannot read: a folder");
      in = &file;
      name = options.cases;
    }
    cases = std::make_unique<CaseReader>(*in, name, job.onCommandLine);
    job.cases = cases.get();
  }

  report::FileReplacement replacement;
  DescriptorSink standardOutput(STDOUT_FILENO);
  ReplacementSink outputFile(replacement);
  if (options.hasOutput && options.output.empty()) throw InputError("--output: an empty file name");
  const std::string outputName = options.hasOutput ? options.output : "standard output";
  if (options.hasOutput) {
    // A reader that goes away is a failed write like any other, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    // Interrupting stops at the next row and discards the unfinished file; no SA_RESTART, so a
    // read of the cases waiting on a terminal is interrupted too.
    struct sigaction stop {};
    stop.sa_handler = [](int signal) { stopSignal = signal; };
    sigemptyset(&stop.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &stop, nullptr);
    if (const std::error_code error = replacement.open(options.output)) return writeFailed(outputName, error);
  }
  Sink& sink = options.hasOutput ? static_cast<Sink&>(outputFile) : standardOutput;
  RowWriter writer(sink, options.format == "tsv" ? '\t' : ',', digits);
  // Rows going to the terminal are their own progress: a progress line would be mixed into them.
  const bool rowsOnTerminal = !options.hasOutput && isatty(STDOUT_FILENO) == 1;
  Progress progress(rowsOnTerminal ? -1 : STDERR_FILENO, job.cases == nullptr ? rows : 0);
  RunSummary summary;
  try {
    if (!options.noHeader) writer.header();
    summary = runJob(job, writer, progress);
  } catch (const std::system_error& error) {
    progress.finish();
    return writeFailed(outputName, error.code());
  }
  if (options.hasOutput) {
    if (const std::error_code error = replacement.commit()) return writeFailed(outputName, error);
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
      "Each input takes a value, a list 0.5,0.8,0.85 or an inclusive range START:STOP:STEP.",
      "quorvan-table"};
  app.set_version_flag("--version", projectVersion);
  app.get_formatter()->column_width(32);
  const std::array<const char*, inputCount> descriptions{
      "Mach number, no unit (default 0.8)",
      "altitude, m (default 11000)",
      "load factor, no unit (default 1)",
      "aircraft weight, t (metric tonnes; default 50)",
      "reference length of the Reynolds number, m (default 3.5)",
      "reference area, m^2 (default 56)",
      "ISA temperature offset, K: temperature = standard + offset at the same pressure (default 0)"};
  std::array<CLI::Option*, inputCount> inputOptions{};
  for (std::size_t i = 0; i < inputCount; ++i) {
    std::string option = "--" + std::string(inputNames[i]);
    for (char& c : option) c = c == '_' ? '-' : c;
    inputOptions[i] = app.add_option(option, options.values[i], descriptions[i])->type_name("VALUES");
  }
  app.add_flag("--geometric", options.geometric,
               "altitudes are geometric, m: converted to geopotential H = r0 Z / (r0 + Z), r0 = 6356766 m");
  CLI::Option* output =
      app.add_option("-o,--output", options.output, "write the table to FILE, replacing it only once complete")
          ->type_name("FILE");
  app.add_option("--format", options.format, "csv or tsv (default csv)")->type_name("FORMAT");
  CLI::Option* digits =
      app.add_option("--digits", options.digits,
                     "significant digits, 1 to 17 (default: the shortest text that reads back exactly)")
          ->type_name("N");
  app.add_flag("--no-header", options.noHeader, "leave out the header line");
  CLI::Option* maxRows =
      app.add_option("--max-rows", options.maxRows, "allow a command-line sweep of up to N rows (default 100000000)")
          ->type_name("N");
  CLI::Option* cases =
      app.add_option("CASES", options.cases,
                     "CSV or TSV file of cases (- for standard input) whose header names any of the inputs: mach, "
                     "altitude, load_factor, weight, ref_length, ref_area, isa_offset");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    return app.exit(error) == 0 ? 0 : 2;
  }
  for (std::size_t i = 0; i < inputCount; ++i) options.given[i] = inputOptions[i]->count() > 0;
  options.hasCases = cases->count() > 0;
  options.hasOutput = output->count() > 0;
  options.hasDigits = digits->count() > 0;
  options.hasMaxRows = maxRows->count() > 0;
  int status = 0;
  try {
    status = run(options);
  } catch (const Interrupted&) {
    status = 1;
  } catch (const InputError& error) {
    // A read cut short by the signal is not the file's fault.
    if (stopSignal == 0) std::cerr << "quorvan-table: " << error.what() << '\n';
    status = 2;
  }
  if (status != 0 && stopSignal != 0) {
    // Everything has unwound and the unfinished file is gone: die of the signal, as a shell expects.
    std::cerr << "quorvan-table: interrupted; " << options.output << " is as it was\n";
    const int signal = stopSignal;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
  }
  return status;
}

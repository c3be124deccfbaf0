#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <iostream>
#include <optional>
#include <string>

#include "atmosphere.h"
#include "command_line.h"
#include "file_replacement.h"
#include "run.h"
#include "texts.h"

namespace {

using namespace table;

// What a run made of its output, for the message of a stop.
struct Output {
  std::string name = "standard output";  // printable
  bool stream = true;                    // written as it goes, not replaced whole
  bool complete = false;                 // the new table is in place
  std::uint64_t rows = 0;                // written whole to a stream
};

// Computes and writes the table the command line asks for; returns the exit status or throws
// InputError or Interrupted.
int run(const CommandLine& line, Output& output) {
  // The case file and its header are read, and the job checked, before any output exists.
  std::optional<CaseReader> cases;
  if (line.cases) {
    const bool standardInput = *line.cases == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(line.cases->c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && stopSignal != 0) throw Interrupted();
    if (fd < 0) throw InputError(printable(*line.cases) + ": cannot open: " + std::strerror(errno));
    cases.emplace(fd, standardInput ? "standard input" : *line.cases);
  }
  const Job job = makeJob(line.request, cases ? &*cases : nullptr);

  // A file is replaced only once complete, and one that cannot be replaced whole is refused first.
  files::FileReplacement out(&stopSignal);
  const auto failed = [&output](const std::error_code& error) {
    if (error == std::errc::interrupted && stopSignal != 0) throw Interrupted();
    std::cerr << "quorvan-table: cannot write " << output.name << ": " << error.message() << '\n';
    return 1;
  };
  if (const std::error_code error =
          out.open(line.output.empty() ? "/dev/stdout" : line.output, files::FileReplacement::Waiting::forever,
                   files::FileReplacement::InPlace::refused)) {
    return failed(error);
  }
  output.stream = !out.replacing();
  RowWriter writer(out, job.layout);
  // Rows going to a terminal are their own progress: a progress line would be mixed into them.
  Progress progress(out.toTerminal() ? -1 : STDERR_FILENO, line.cases ? 0 : sweepSize(job));
  RunSummary summary;
  try {
    if (line.header) writer.header();
    summary = runJob(job, writer, progress);
  } catch (const std::system_error& error) {
    output.rows = writer.rowsWritten();
    progress.finish();
    return failed(error.code());
  } catch (const Interrupted&) {
    output.rows = writer.rowsWritten();
    throw;
  }
  output.rows = writer.rowsWritten();
  if (stopSignal != 0) throw Interrupted();
  if (const std::error_code error = out.commit()) return failed(error);
  output.complete = true;
  const std::string top = numberText(aero::atmosphereUpperBound);
  const auto note = [&summary](std::uint64_t count, const std::string& what) {
    if (count > 0) std::cerr << "quorvan-table: note: " << count << " of " << summary.rows << " rows " << what << '\n';
  };
  note(summary.unsolved, "have no solution" + (job.setup.unknown == altitude ? " between 0 and " + top + " m" : ""));
  note(summary.nanInputs, "have nan among their inputs, and nan wherever it is used");
  note(summary.extrapolated,
       "have an altitude outside 0 to " + top + " m; their atmosphere is extrapolated (the end layers continue)");
  return 0;
}

timer_t interrupter;
bool interrupterMade = false;

// Asks the run to stop, and from then on interrupts whatever system call it waits in ten times a
// second: a signal ends a blocked read or write (no SA_RESTART), and the timer also ends one that
// began just after the signal came.
void requestStop(int signal) {
  if (stopSignal == 0) stopSignal = signal;
  const itimerspec often{{0, 100000000}, {0, 100000000}};
  if (interrupterMade) timer_settime(interrupter, 0, &often, nullptr);
}

void handleStops() {
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = [](int) {};
  sigaction(SIGALRM, &action, nullptr);
  sigevent alarm{};
  alarm.sigev_notify = SIGEV_SIGNAL;
  alarm.sigev_signo = SIGALRM;
  interrupterMade = timer_create(CLOCK_MONOTONIC, &alarm, &interrupter) == 0;
  action.sa_handler = requestStop;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(signal, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit then fails the write with EFBIG ("File too large") instead of killing us.
  std::signal(SIGXFSZ, SIG_IGN);
  std::ios::sync_with_stdio(false);
  CommandLine line;
  if (const std::optional<int> status = readCommandLine(argc, argv, line)) return *status;

  // A reader that goes away is a failed write like any other, not a silent death; standard output
  // into a pipe keeps the usual quiet end.
  if (!line.output.empty()) std::signal(SIGPIPE, SIG_IGN);
  handleStops();
  Output out;
  if (!line.output.empty()) {
    out.name = printable(line.output);
    out.stream = false;
  }
  int status = 0;
  try {
    status = run(line, out);
  } catch (const Interrupted&) {
    status = 1;
  } catch (const InputError& error) {
    std::cerr << "quorvan-table: " << error.what() << '\n';
    status = 2;
  }
  if (stopSignal != 0) {
    // Everything has unwound and an unfinished file is gone: die of the signal, as a shell expects.
    std::cerr << "quorvan-table: interrupted; "
              << (out.stream ? std::to_string(out.rows) + (out.rows == 1 ? " row was" : " rows were") + " written to " +
                                   out.name
                  : out.complete ? out.name + " holds the complete new table"
                                 : out.name + " is as it was")
              << '\n';
    std::signal(stopSignal, SIG_DFL);
    std::raise(stopSignal);
  }
  return status;
}

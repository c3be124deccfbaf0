#include <fx.h>

#include <csignal>

#include "ref_values.h"

int main(int argc, char* argv[]) {
  // A report written to a pipe whose reader went away, or past the file size limit, is a failed save
  // told in the error box ("Broken pipe", "File too large"), not the end of the program.
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  FXApp application("Quorvan", "FOX Quorvan");
  application.init(argc, argv);
  new RefValues(&application);
  application.create();
  return application.run();
}

#include <fx.h>

#include "ref_values.h"

int main(int argc, char* argv[]) {
  FXApp application("Quorvan", "FOX Quorvan");
  application.init(argc, argv);
  new RefValues(&application);
  application.create();
  return application.run();
}

// Preloaded into a program (LD_PRELOAD), raises SIGINT in it the moment it calls the function that
// SIGNAL_IN names, fsync or rename, and then makes the call: a Ctrl-C that comes while a finished
// file is synced, or while it is put in place.
#include <dlfcn.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

void raiseIn(const char* function) {
  const char* named = std::getenv("SIGNAL_IN");
  if (named != nullptr && std::strcmp(named, function) == 0) std::raise(SIGINT);
}

}  // namespace

extern "C" int fsync(int fd) {
  raiseIn("fsync");
  return reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"))(fd);
}

extern "C" int rename(const char* from, const char* to) {
  raiseIn("rename");
  return reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"))(from, to);
}

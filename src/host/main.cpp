// Entry point: a script path runs that script, no argument starts the interactive loop.
#include "host/host.h"

int main(int argc, char** argv) {
  if (argc > 1) {
    std::string path = argv[1];
    return qlr::runOnLargeStack([&] { return qlr::runScriptFile(path); });
  }
  return qlr::runOnLargeStack([] { return qlr::runInteractive(); });
}

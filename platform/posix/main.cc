// The POSIX program entry: runs the Unix command line.
#include <csignal>
#include <string>
#include <vector>

#include "app/cli.h"

int main(int argc, char** argv) {
  // A reader that goes away must show up as a failed write: a clipboard tool
  // that died fails the run with a message, and a closed pipe on standard
  // output ends it as the signal would (see WriteStandardOutput).
  std::signal(SIGPIPE, SIG_IGN);
  // Past a file-size limit, a write should fail and be handled (the partial
  // output removed), not kill the program and leave the partial file behind.
  std::signal(SIGXFSZ, SIG_IGN);
  return RunArguments(std::vector<std::string>(argv + 1, argv + argc));
}

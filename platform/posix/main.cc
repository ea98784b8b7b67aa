// The POSIX program entry: joins the arguments into the command-line text, as
// Windows hands it to a GUI program, and runs it.
#include <csignal>
#include <string>

#include "app/entry.h"

int main(int argc, char** argv) {
  // A reader that goes away (a closed pipe, a clipboard tool that died) must
  // show up as a failed write, which ends the run quietly, not as a signal.
  std::signal(SIGPIPE, SIG_IGN);
  // Past a file-size limit, a write should fail and be handled (the partial
  // output removed), not kill the program and leave the partial file behind.
  std::signal(SIGXFSZ, SIG_IGN);
  std::string command_line;
  for (int i = 1; i < argc; i++) {
    if (i > 1) command_line.push_back(' ');
    command_line.append(argv[i]);
  }
  return RunCommandLine(command_line);
}

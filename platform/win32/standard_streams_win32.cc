// Standard input and output on Windows: qln.exe is a GUI program, started
// from Explorer or a shortcut, with no text on its standard input and no
// standard output to write to.
#include "platform/standard_streams.h"

namespace platform {

InputKind StandardInputKind() { return InputKind::kOther; }

long ReadStandardInput(char*, size_t, std::string* error) {
  *error = "no standard input";
  return -1;
}

bool WriteStandardOutput(std::string_view, std::string* error) {
  *error = "no standard output";
  return false;
}

}  // namespace platform

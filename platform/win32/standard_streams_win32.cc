// Standard input and output on Windows: qln.exe is a GUI program, started
// from Explorer or a shortcut, with no text on its standard input. It has no
// filter mode.
#include "platform/standard_streams.h"

namespace platform {

bool StandardInputIsData() { return false; }

long ReadStandardInput(char*, size_t) { return -1; }

bool WriteStandardOutput(std::string_view) { return false; }

}  // namespace platform

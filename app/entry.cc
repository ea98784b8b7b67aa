// The program's entry logic, shared by every OS's entry point.
#include "app/entry.h"

#include "app/clipboard_mode.h"
#include "app/modes.h"
#include "app/settings.h"

int RunCommandLine(std::string_view command_line) {
  if (command_line.starts_with('!')) return 0;
  Settings settings;
  LoadSettings(&settings);
  if (command_line.size() < 2) {
    ConvertClipboard(settings);
    return 0;
  }
  // A read or write error is the one failure that is not quiet.
  return ConvertFile(command_line, settings) ? 0 : 1;
}

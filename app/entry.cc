// The program's entry logic, shared by every OS's entry point.
#include "app/entry.h"

#include "app/clipboard_mode.h"
#include "app/filter.h"
#include "app/modes.h"
#include "app/settings_file.h"
#include "platform/standard_streams.h"

int RunCommandLine(std::string_view command_line) {
  if (command_line.starts_with('!')) return 0;
  const qln::Settings settings = LoadSettings();
  if (command_line.size() < 2) {
    // Text on standard input is the clipboard's text, and the result goes to
    // standard output: a filter.
    if (platform::StandardInputIsData())
      FilterStandardInput(settings);
    else
      ConvertClipboard(settings);
    return 0;
  }
  // A read or write error is the one failure that is not quiet.
  return ConvertFile(command_line, settings) ? 0 : 1;
}

// The Windows program's entry logic: one command-line text, a message box
// for a file of the wrong type, and quiet ends otherwise.
#include "app/entry.h"

#include "app/clipboard_mode.h"
#include "app/modes.h"
#include "app/settings_file.h"

int RunCommandLine(std::string_view command_line) {
  if (command_line.starts_with('!')) return 0;
  const qln::Settings settings = LoadSettings();
  if (command_line.size() < 2) {
    ConvertClipboard(settings);  // any failure leaves the clipboard quietly
    return 0;
  }
  // A read or write error is the one failure that is not quiet.
  return ConvertFile(command_line, settings) ? 0 : 1;
}

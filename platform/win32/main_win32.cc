// The Windows program entry: a GUI program, so no console window opens. The
// command-line text is read as Unicode, so that any file name reaches it
// whole: the rest of the command line after the program name and the spaces
// that follow it.
#include <windows.h>

#include "app/entry.h"
#include "platform/win32/command_line_text.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return RunCommandLine(platform::CommandLineText());
}

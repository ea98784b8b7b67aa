// The Windows program entry: a GUI program, so no console window opens. The
// command-line text is what Windows hands to WinMain: the rest of the command
// line after the program name and the spaces that follow it.
#include <windows.h>

#include "app/entry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  return RunCommandLine(command_line != nullptr ? command_line : "");
}

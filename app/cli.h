// The Unix command line: each argument a file, the options, a message on
// standard error for every file not converted, and the exit status.
#ifndef QLN_APP_CLI_H_
#define QLN_APP_CLI_H_

#include <string>
#include <vector>

/// Runs qln for the arguments after the program's name and returns the exit
/// status: 0 when everything was converted, 1 when anything was not, 2 for a
/// wrong command line. A first argument that begins with "!" does nothing.
int RunArguments(const std::vector<std::string>& args);

#endif  // QLN_APP_CLI_H_

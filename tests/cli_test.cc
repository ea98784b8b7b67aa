// The Unix command line through the real executable: each row gives the
// arguments, standard input, and what must come out: standard output,
// standard error, the exit status and the files written. Every row starts
// from the same folder of files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/test_util.h"

namespace {

namespace fs = std::filesystem;

const std::string kWrongType = "Files passed to this function can be .html, .htm, or .txt.";
const std::string kTryHelp = "Try 'qln --help'.\n";
const std::string kPage = "<P>Hello <B>world</B>.\n";
const std::string kPageText = "\r\n  Hello **world**.\r\n\r\n";
const std::string kPageLf = "\n  Hello **world**.\n\n";

/// The folder every row starts from.
void MakeFiles(const TempDir& dir) {
  WriteFile(dir / "page.htm", kPage);
  WriteFile(dir / "other.html", "x\n");
  WriteFile(dir / "notes.txt", "a b\n");
  WriteFile(dir / "my page.htm", "spaced\n");
  WriteFile(dir / "a\"b.htm", "quoted\n");
  WriteFile(dir / "readme.md", "x\n");
  WriteFile(dir / "Makefile", "x\n");
  WriteFile(dir / "x", "x\n");
  WriteFile(dir / "locked.htm", "x\n");
  fs::permissions(dir / "locked.htm", fs::perms::none);
  fs::create_directory(dir / "folder.htm");
  fs::create_directory(dir / "site.htm");
  WriteFile(dir / "site.htm/index", "x\n");
  fs::create_directory(dir / "ro");
  WriteFile(dir / "ro/page.htm", "x\n");
  fs::permissions(dir / "ro", fs::perms(0555));
  WriteFile(dir / "sym.htm", "x\n");
  fs::create_symlink("sym.htm", dir / "sym.txt");
  // Reading the process's own memory from address 0 fails, even for root.
  fs::create_symlink("/proc/self/mem", dir / "mem.htm");
  // Everyone may work in the folder: rows run as the user nobody when the
  // tests run as root, so that the permissions above hold.
  fs::permissions(dir.path(), fs::perms::all);
}

struct Row {
  std::string what;
  std::vector<std::string> args;
  Input from = Input::kNull;
  std::string input;
  std::string standard_output;
  std::string standard_error;
  int status = 0;
  /// Files and what they must hold afterwards ("<missing>": no such file).
  std::vector<std::pair<std::string, std::string>> files;
};

TEST(CliTest, Rows) {
  const std::string missing = "<missing>";
  // One row to a case, kept as written.
  // clang-format off
  const Row rows[] = {
      {"one file", {"page.htm"}, Input::kNull, "", "", "", 0, {{"page.txt", kPageText}}},
      {"several files, converted in turn",
       {"page.htm", "other.html", "notes.txt"},
       Input::kNull,
       "",
       "",
       "",
       0,
       {{"page.txt", kPageText}, {"other.txt", "  x\r\n\r\n"}, {"notes_qln.txt", "  a b\r\n\r\n"}}},
      {"a failure does not stop the others",
       {"page.htm", "missing.htm", "notes.txt"},
       Input::kNull,
       "",
       "",
       "qln: missing.htm: No such file or directory\n",
       1,
       {{"page.txt", kPageText}, {"notes_qln.txt", "  a b\r\n\r\n"}}},
      {"each argument is one path, quotes and all",
       {"my page.htm", "a\"b.htm"},
       Input::kNull,
       "",
       "",
       "",
       0,
       {{"my page.txt", "  spaced\r\n\r\n"}, {"a\"b.txt", "  quoted\r\n\r\n"}}},
      {"arguments are not joined", {"my", "page.htm"}, Input::kNull, "", "",
       "qln: my: " + kWrongType + "\n", 1, {{"page.txt", kPageText}}},
      {"wrong type", {"readme.md"}, Input::kNull, "", "", "qln: readme.md: " + kWrongType + "\n", 1,
       {{"readme.txt", missing}}},
      {"no extension", {"Makefile"}, Input::kNull, "", "", "qln: Makefile: " + kWrongType + "\n", 1, {}},
      {"a one-character argument is a file", {"x"}, Input::kNull, "", "",
       "qln: x: " + kWrongType + "\n", 1, {}},
      {"a folder", {"folder.htm"}, Input::kNull, "", "", "qln: folder.htm: Is a directory\n", 1,
       {{"folder.txt", missing}}},
      {"an unreadable file", {"locked.htm"}, Input::kNull, "", "",
       "qln: locked.htm: Permission denied\n", 1, {{"locked.txt", missing}}},
      {"a read-only folder", {"ro/page.htm"}, Input::kNull, "", "",
       "qln: ro/page.txt: Permission denied\n", 1, {{"ro/page.txt", missing}}},
      {"the output would replace the input", {"sym.htm"}, Input::kNull, "", "",
       "qln: sym.htm: the output would replace the input\n", 1, {{"sym.htm", "x\n"}}},
      {"the output would leave the folder", {"site.htm/index"}, Input::kNull, "", "",
       "qln: site.htm/index: the output would be written outside the input's folder\n", 1,
       {{"site.txt", missing}}},
      {"a read error", {"mem.htm"}, Input::kNull, "", "", "qln: mem.htm: Input/output error\n", 1,
       {{"mem.txt", missing}}},
      {"-o FILE", {"-o", "out.txt", "page.htm"}, Input::kNull, "", "", "", 0,
       {{"out.txt", kPageText}, {"page.txt", missing}}},
      {"--output=FILE, after the file", {"page.htm", "--output=out.txt"}, Input::kNull, "", "", "",
       0, {{"out.txt", kPageText}}},
      {"-o - writes LF line ends to standard output", {"-o", "-", "page.htm"}, Input::kNull, "",
       kPageLf, "", 0, {{"page.txt", missing}}},
      {"-o checks the type", {"-o", "out.txt", "readme.md"}, Input::kNull, "", "",
       "qln: readme.md: " + kWrongType + "\n", 1, {{"out.txt", missing}}},
      {"-o that is the input", {"-o", "page.htm", "page.htm"}, Input::kNull, "", "",
       "qln: page.htm: the output would replace the input\n", 1, {{"page.htm", kPage}}},
      {"-o with two files", {"-o", "out.txt", "page.htm", "other.html"}, Input::kNull, "", "",
       "qln: --output takes exactly one input FILE\n" + kTryHelp, 2, {{"out.txt", missing}}},
      {"-o with no file", {"-o", "out.txt"}, Input::kPipe, kPage, "",
       "qln: --output takes exactly one input FILE\n" + kTryHelp, 2, {}},
      {"-o with no value", {"page.htm", "-o"}, Input::kNull, "", "",
       "qln: option requires an argument -- 'o'\n" + kTryHelp, 2, {{"page.txt", missing}}},
      {"- is standard input, as the filter converts it", {"-"}, Input::kPipe,
       "Line1\r\nLine2 <B>x</B>", "  Line1\n  Line2", "", 0, {}},
      {"- among files", {"page.htm", "-"}, Input::kFile, "a b\n", "  a b\n", "", 0,
       {{"page.txt", kPageText}}},
      {"-- ends the options", {"--", "-c"}, Input::kNull, "", "", "qln: -c: " + kWrongType + "\n",
       1, {}},
      {"an unknown long option", {"--bogus", "page.htm"}, Input::kNull, "", "",
       "qln: unrecognized option '--bogus'\n" + kTryHelp, 2, {{"page.txt", missing}}},
      {"an unknown short option", {"-x"}, Input::kNull, "", "",
       "qln: invalid option -- 'x'\n" + kTryHelp, 2, {}},
      {"--version", {"--version"}, Input::kNull, "", "qln " QLN_VERSION "\n", "", 0, {}},
      {"-c with a file", {"-c", "page.htm"}, Input::kNull, "", "",
       "qln: --clipboard converts the clipboard: it takes no FILE and no --output\n" + kTryHelp, 2, {}},
      {"-c with no desktop", {"--clipboard"}, Input::kTerminal, "", "",
       "qln: no desktop clipboard to reach: neither WAYLAND_DISPLAY nor DISPLAY is set\n", 1, {}},
      {"nothing, typed in a terminal", {}, Input::kTerminal, "", "",
       "Usage: qln [OPTION]... [FILE]...\n       qln < page.html > page.txt\n"
       "       qln --clipboard\n" + kTryHelp,
       2, {}},
      {"nothing, from a pipe", {}, Input::kPipe, kPage, kPageLf.substr(0, kPageLf.size() - 1), "",
       0, {}},
      {"nothing, from a file", {}, Input::kFile, "", "", "", 0, {}},
      {"nothing, from a desktop launcher", {}, Input::kNull, "", "",
       "qln: no desktop clipboard to reach: neither WAYLAND_DISPLAY nor DISPLAY is set\n", 1, {}},
      {"a first argument that begins with !", {"!x", "page.htm"}, Input::kTerminal, "", "", "", 0,
       {{"page.txt", missing}}},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    MakeFiles(dir);
    RunOptions options;
    options.from = row.from;
    options.input = row.input;
    options.unprivileged = true;
    const RunResult result = RunProgram(InstallQln(dir), row.args, dir.path(), options);
    EXPECT_EQ(row.standard_output, result.standard_output);
    EXPECT_EQ(row.standard_error, result.standard_error);
    EXPECT_EQ(row.status, result.exit_code);
    for (const auto& [name, contents] : row.files)
      EXPECT_EQ(contents, ReadFile(dir / name)) << name;
    fs::permissions(dir / "ro", fs::perms::all);  // so that the folder can be removed
  }
}

TEST(CliTest, HelpGoesToStandardOutput) {
  TempDir dir;
  for (const char* help : {"-h", "--help"}) {
    const RunResult result = RunProgram(InstallQln(dir), {help, "--bogus"}, dir.path());
    EXPECT_EQ(0, result.exit_code);
    EXPECT_TRUE(result.standard_output.starts_with("Usage: qln [OPTION]... [FILE]...\n"));
    for (const char* option : {"-o, --output", "-c, --clipboard", "--version", "Exit status"})
      EXPECT_NE(std::string::npos, result.standard_output.find(option)) << option;
    EXPECT_EQ("", result.standard_error);
  }
}

TEST(CliTest, TheHelpTheManualPageAndTheReadmeNameTheSameOptions) {
  TempDir dir;
  const std::string help = RunProgram(InstallQln(dir), {"--help"}, dir.path()).standard_output;
  const std::string page = ReadFile(QLN_SOURCE_DIR "/doc/qln.1.in");
  const std::string readme = ReadFile(QLN_SOURCE_DIR "/README.md");
  for (const std::string option : {"output", "clipboard", "help", "version"}) {
    EXPECT_NE(std::string::npos, help.find("--" + option)) << option;
    EXPECT_NE(std::string::npos, page.find("\\-\\-" + option)) << option;
    EXPECT_NE(std::string::npos, readme.find("`--" + option)) << option;
  }
  for (const char* place : {"$XDG_CONFIG_HOME/qln", "~/.config/qln", "/etc/qln"}) {
    EXPECT_NE(std::string::npos, help.find(place)) << place;
    EXPECT_NE(std::string::npos, page.find(place)) << place;
    EXPECT_NE(std::string::npos, readme.find(place)) << place;
  }
}

}  // namespace

// Runs the real executable in file mode and checks the files it writes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "engine/scanner.h"
#include "tests/test_util.h"

namespace {

std::string ToCrLf(const std::string& text) {
  std::string crlf;
  for (char c : text) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  return crlf;
}

class ProgramTest : public ::testing::Test {
 protected:
  /// Converts `html` saved as `name` and returns the output file's bytes.
  std::string Convert(const std::string& html, const std::string& name = "page.htm",
                      const std::string& output = "page.txt") {
    WriteFile(dir_ / name, html);
    RunResult result = RunProgram(qln_, {name}, dir_.path());
    EXPECT_EQ(0, result.exit_code);
    EXPECT_EQ("<missing>", result.standard_error.empty() ? "<missing>" : result.standard_error);
    return ReadFile(dir_ / output);
  }

  RunResult Run(const std::vector<std::string>& args) {
    return RunProgram(qln_, args, dir_.path());
  }

  TempDir dir_;
  std::string qln_ = InstallQln(dir_);
};

TEST_F(ProgramTest, ConvertsWithCrLfLineEnds) {
  struct {
    const char* html;
    const char* text;
  } cases[] = {
      {"<P>Hello <A HREF=\"page2.htm\">world</A>.</P>\n",
       "\r\n  Hello world[1].\r\n\r\n\r\nHyperlink Reference:\r\n.. [1] page2.htm\r\n"},
      {"", "\r\n"},
      {"Hello world.\n", "  Hello world.\r\n\r\n"},
      {"Hello world.", "  Hello world.\r\n"},
      {"Hello world.\r\n", "  Hello world.\r\n\r\n"},
      {"<A HREF=\"a.htm\">x</A> y\n<A HREF=\"b.htm\">z</A>\n",
       "  x[1] y\r\n  z[2]\r\n\r\n\r\nHyperlink Reference:\r\n.. [1] a.htm\r\n.. [2] b.htm\r\n"},
      {"<A HREF=\"a.php?x=1&y=2\">link</A> after\n",
       "  link[1] after\r\n\r\n\r\nHyperlink Reference:\r\n.. [1] a.php?x=1&y=2\r\n"},
      {"<H1>Title</H1>\n", "\r\nTitle\r\n=====\r\n\r\n\r\n\r\n"},
      {"<UL><LI>one<LI>two</UL>\n", "\r\n* one\r\n* two\r\n\r\n\r\n\r\n"},
      {"text<HR>more",
       "  text\r\n    ____________________________________________________________\r\n\r\n"
       "  more\r\n"},
      {"<PRE>  a  b\n  c</PRE>\n", "  a  b\r\n\r\n c\r\n\r\n"},
      {"it\x92s caf\xe9 ok\n", "  it's caf ok\r\n\r\n"},
      {"a \x1A b\n", "  a\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, Convert(c.html)) << c.html;
}

TEST_F(ProgramTest, LongLineIsConvertedAsOneChunk) {
  // A 200 kB line: the reader cuts it, but words, tags and references that
  // straddle the cuts convert as if the line were one chunk.
  std::string line;
  for (int i = 0; line.size() < 200000; i++)
    line.append(std::to_string(i)).append(i % 7 ? " " : "<B>x</B>&auml;&#65; ");
  line += "\n";
  qln::detail::ConversionState state;
  qln::detail::ByteBuffer scanned;
  qln::detail::ScanChunk(&state, qln::detail::RunSettings{}, line, &scanned);
  const std::string expected = ToCrLf(std::string(scanned.view()) + "\n");

  std::string text = Convert(line);
  EXPECT_EQ(expected.size(), text.size());
  EXPECT_TRUE(expected == text)
      << "first difference at byte "
      << std::mismatch(expected.begin(), expected.end(), text.begin(), text.end()).first -
             expected.begin();
}

TEST_F(ProgramTest, NamesTheOutputBesideTheInput) {
  std::filesystem::create_directories(dir_ / "My Docs");
  WriteFile(dir_ / "My Docs/page.HTML", "x\n");
  EXPECT_EQ(0, Run({"My Docs/page.HTML"}).exit_code);
  EXPECT_EQ("  x\r\n\r\n", ReadFile(dir_ / "My Docs/page.txt"));

  EXPECT_EQ("  n\r\n\r\n", Convert("n\n", "notes.txt", "notes_qln.txt"));
  EXPECT_EQ("  r\r\n\r\n", Convert("r\n", "report.xhtml", "report.txt"));

  // An existing output is replaced.
  WriteFile(dir_ / "page.txt", "old contents that are longer");
  EXPECT_EQ("  new\r\n\r\n", Convert("new\n"));

  // A path of any length.
  std::string deep = "d";
  while (deep.size() < 600) deep.append(1, '/').append(50, 'd');
  std::filesystem::create_directories(dir_ / deep);
  EXPECT_EQ("  deep\r\n\r\n", Convert("deep\n", deep + "/page.htm", deep + "/page.txt"));
}

TEST_F(ProgramTest, FailedWriteOrReadLeavesNoOutput) {
  std::string html;
  while (html.size() < 300000) html += "<P>Some words to convert.\n";
  WriteFile(dir_ / "page.htm", html);
  const size_t kLimit = 100000;  // the output is larger

  // A full disk, as a file-size limit: the previous output stays as it was.
  WriteFile(dir_ / "page.txt", "previous");
  RunResult result = RunProgram(qln_, {"page.htm"}, dir_.path(), Input::kNull, "", kLimit);
  EXPECT_EQ(1, result.exit_code);
  EXPECT_EQ("qln: page.txt: File too large\n", result.standard_error);
  EXPECT_EQ("previous", ReadFile(dir_ / "page.txt"));
  std::filesystem::remove(dir_ / "page.txt");
  EXPECT_EQ(1, RunProgram(qln_, {"page.htm"}, dir_.path(), Input::kNull, "", kLimit).exit_code);
  EXPECT_EQ((std::vector<std::string>{"page.htm", "qln"}), FileNames(dir_.path()));
  // With room to spare, the same run succeeds.
  EXPECT_EQ(0,
            RunProgram(qln_, {"page.htm"}, dir_.path(), Input::kNull, "", 100 * kLimit).exit_code);
  std::string text = ReadFile(dir_ / "page.txt");
  EXPECT_GT(text.size(), kLimit);
  EXPECT_TRUE(text.ends_with("  Some words to convert.\r\n\r\n"));

  // A read error: the process's own memory from address 0, never mapped.
  std::filesystem::create_symlink("/proc/self/mem", dir_ / "mem.htm");
  WriteFile(dir_ / "mem.txt", "previous");
  EXPECT_EQ("qln: mem.htm: Input/output error\n", Run({"mem.htm"}).standard_error);
  EXPECT_EQ("previous", ReadFile(dir_ / "mem.txt"));
  EXPECT_EQ((std::vector<std::string>{"mem.htm", "mem.txt", "page.htm", "page.txt", "qln"}),
            FileNames(dir_.path()));
}

TEST_F(ProgramTest, InputThatIsNoRegularFileIsRefused) {
  ASSERT_EQ(0, mkfifo((dir_ / "pipe.htm").c_str(), 0600));  // must not wait for a writer
  std::filesystem::create_directory(dir_ / "folder.htm");
  std::filesystem::create_symlink("/dev/null", dir_ / "null.htm");
  std::filesystem::create_symlink(dir_ / "missing.htm", dir_ / "dangling.htm");
  const std::pair<std::string, std::string> cases[] = {
      {"pipe.htm", "not a regular file"},
      {"folder.htm", "Is a directory"},
      {"null.htm", "not a regular file"},
      {"dangling.htm", "No such file or directory"},
  };
  for (const auto& [name, reason] : cases) {
    RunResult result = Run({name});
    EXPECT_EQ(1, result.exit_code) << name;
    EXPECT_EQ("qln: " + name + ": " + reason + "\n", result.standard_error);
  }
  EXPECT_EQ((std::vector<std::string>{"dangling.htm", "folder.htm", "null.htm", "pipe.htm", "qln"}),
            FileNames(dir_.path()));
}

TEST_F(ProgramTest, OutputThatIsTheInputOrAFolderIsNotWritten) {
  namespace fs = std::filesystem;
  WriteFile(dir_ / "sym.htm", "sym\n");
  fs::create_symlink("sym.htm", dir_ / "sym.txt");
  WriteFile(dir_ / "hard.htm", "hard\n");
  fs::create_hard_link(dir_ / "hard.htm", dir_ / "hard.txt");
  WriteFile(dir_ / "target.txt", "target\n");
  fs::create_symlink("target.txt", dir_ / "back.htm");  // the input is the link
  fs::rename(dir_ / "target.txt", dir_ / "back.txt");
  WriteFile(dir_ / "notes.txt", "notes\n");
  fs::create_symlink("notes.txt", dir_ / "notes_qln.txt");
  WriteFile(dir_ / "folder.htm", "folder\n");
  fs::create_directory(dir_ / "folder.txt");
  for (const char* name : {"sym.htm", "hard.htm", "notes.txt"}) {
    RunResult result = Run({name});
    EXPECT_EQ(1, result.exit_code) << name;
    EXPECT_EQ(std::string("qln: ") + name + ": the output would replace the input\n",
              result.standard_error);
  }
  EXPECT_EQ("qln: folder.txt: Is a directory\n", Run({"folder.htm"}).standard_error);
  EXPECT_EQ("qln: back.htm: No such file or directory\n", Run({"back.htm"}).standard_error);
  EXPECT_EQ("sym\n", ReadFile(dir_ / "sym.htm"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "sym.txt"));
  EXPECT_EQ("hard\n", ReadFile(dir_ / "hard.htm"));
  EXPECT_EQ(2u, fs::hard_link_count(dir_ / "hard.htm"));
  EXPECT_EQ("target\n", ReadFile(dir_ / "back.txt"));
  EXPECT_EQ("notes\n", ReadFile(dir_ / "notes.txt"));
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.txt"));
  EXPECT_EQ(11u, FileNames(dir_.path()).size());  // nothing new
}

TEST_F(ProgramTest, SettingsFileBesideTheExecutableTakesEffect) {
  WriteFile(dir_ / "qln.ini",
            "qln settings\nLeftMargin=5\nRightMargin=60\nDoURLs=0\nKeepLinefeeds=0\n"
            "Space2AfterPeriod=1\n");
  std::string html =
      "<A HREF=\"a.htm\">One.</A> Two three four five six seven eight nine ten eleven\n"
      "twelve.\n";
  EXPECT_EQ(
      "     One.  Two three four five six seven eight nine ten\r\n"
      "     eleven twelve.\r\n",
      Convert(html));
}

TEST_F(ProgramTest, SettingsAreSearchedBesideTheProgramThenInTheUsersFolder) {
  namespace fs = std::filesystem;
  // A settings file of margin N turns "x" into N spaces and "x".
  auto settings_with_margin = [](int margin) {
    return "qln\nLeftMargin=" + std::to_string(margin) + "\n";
  };
  auto margin_used = [&](const std::vector<std::pair<std::string, std::string>>& environment) {
    RunOptions options;
    options.from = Input::kPipe;
    options.input = "x";
    options.environment = environment;
    const std::string out = RunProgram(qln_, {}, dir_.path(), options).standard_output;
    return static_cast<int>(out.find('x'));
  };
  const std::string config = dir_ / "config", home = dir_ / "home";
  fs::create_directories(config + "/qln");
  fs::create_directories(home + "/.config/qln");
  WriteFile(config + "/qln/qln.ini", settings_with_margin(4));
  WriteFile(home + "/.config/qln/qln.ini", settings_with_margin(6));
  // $XDG_CONFIG_HOME/qln/qln.ini; an unset, empty or relative one means
  // ~/.config.
  EXPECT_EQ(4, margin_used({{"XDG_CONFIG_HOME", config}, {"HOME", home}}));
  EXPECT_EQ(6, margin_used({{"XDG_CONFIG_HOME", ""}, {"HOME", home}}));
  EXPECT_EQ(6, margin_used({{"XDG_CONFIG_HOME", "config"}, {"HOME", home}}));
  // The one beside the program comes first, and is the only one read.
  WriteFile(dir_ / "qln.ini", "qln\n");
  EXPECT_EQ(2, margin_used({{"XDG_CONFIG_HOME", config}, {"HOME", home}}));
  fs::remove(dir_ / "qln.ini");
  // A folder of that name does not open: the next place is tried.
  fs::create_directory(dir_ / "qln.ini");
  EXPECT_EQ(4, margin_used({{"XDG_CONFIG_HOME", config}, {"HOME", home}}));
  // Without any, the defaults (unless this machine has /etc/qln/qln.ini).
  if (!fs::exists("/etc/qln/qln.ini")) {
    EXPECT_EQ(2, margin_used({{"XDG_CONFIG_HOME", dir_ / "none"}, {"HOME", dir_ / "none"}}));
  }
}

TEST_F(ProgramTest, TheModernProfileIsChosenInTheSettingsOrOnTheCommandLine) {
  const std::string page = "<h1>Caf\xC3\xA9</h1><p>x &amp; y<script>z</script></p>\n";
  const std::string modern = "Caf\xC3\xA9\r\n====\r\n\r\n  x & y\r\n";
  const std::string classic = "\r\nCaf\r\n===\r\n\r\n\r\n  x y z\r\n\r\n";
  EXPECT_EQ(classic, Convert(page));
  // Any line after the first; lines 2 to 6 keep their meaning.
  WriteFile(dir_ / "qln.ini", "qln settings\nModernHtml=1\n");
  EXPECT_EQ(modern, Convert(page));
  WriteFile(dir_ / "qln.ini",
            "x\nLeftMargin=4\nRightMargin=78\nDoURLs=1\nKeepLinefeeds=1\n"
            "Space2AfterPeriod=0\nModernHtml=1\n");
  EXPECT_EQ("Caf\xC3\xA9\r\n====\r\n\r\n    x & y\r\n", Convert(page));
  // The options override the settings file.
  EXPECT_EQ(0, Run({"--classic", "page.htm"}).exit_code);
  EXPECT_EQ("\r\nCaf\r\n===\r\n\r\n\r\n    x y z\r\n\r\n", ReadFile(dir_ / "page.txt"));
  std::filesystem::remove(dir_ / "qln.ini");
  RunResult result = Run({"--modern", "-o", "-", "page.htm"});
  EXPECT_EQ("Caf\xC3\xA9\n====\n\n  x & y\n", result.standard_output);
  RunOptions pipe;
  pipe.from = Input::kPipe;
  pipe.input = page;
  EXPECT_EQ("Caf\xC3\xA9\n====\n\n  x & y\n",
            RunProgram(qln_, {"--modern"}, dir_.path(), pipe).standard_output);
}

TEST_F(ProgramTest, SampleMatchesTheReviewedOutput) {
  std::string sample = ReadFile(QLN_SOURCE_DIR "/samples/sample.html");
  EXPECT_EQ(ReadFile(QLN_SOURCE_DIR "/tests/data/sample_expected.txt"),
            Convert(sample, "sample.html", "sample.txt"));
}

}  // namespace

// Runs the real executable without a path, with standard input a pipe or a
// file: it then converts standard input to standard output, with LF line ends,
// as the input arrives.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/test_util.h"

namespace {

/// qln running as a filter between two pipes of the test's.
struct RunningFilter {
  pid_t pid = -1;
  int to_qln = -1;    // its standard input
  int from_qln = -1;  // its standard output

  RunningFilter(const std::string& qln, const std::string& input_file = "") {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    pid = fork();
    if (pid == 0) {
      const int input = input_file.empty() ? in[0] : open(input_file.c_str(), O_RDONLY);
      dup2(input, 0);
      dup2(out[1], 1);
      for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
      execl(qln.c_str(), qln.c_str(), nullptr);
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_qln = in[1];
    from_qln = out[0];
  }

  /// Reads what qln writes within `seconds`, until it holds `wanted` bytes.
  std::string Read(size_t wanted, int seconds) {
    std::string got;
    pollfd ready{from_qln, POLLIN, 0};
    while (got.size() < wanted && poll(&ready, 1, seconds * 1000) > 0) {
      char block[4096];
      const ssize_t count = read(from_qln, block, std::min(sizeof block, wanted - got.size()));
      if (count <= 0) break;
      got.append(block, static_cast<size_t>(count));
    }
    return got;
  }

  /// Waits for qln to end: its exit status, or 128 plus the signal that ended it.
  int Wait() {
    if (to_qln >= 0) close(to_qln);
    if (from_qln >= 0) close(from_qln);
    to_qln = from_qln = -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
  }
};

class FilterTest : public ::testing::Test {
 protected:
  std::string Filter(const std::string& input, Input from = Input::kPipe,
                     const std::vector<std::string>& args = {}) {
    RunResult result = RunProgram(qln_, args, dir_.path(), from, input);
    EXPECT_EQ(0, result.exit_code);
    EXPECT_EQ("", result.standard_error);
    return result.standard_output;
  }

  TempDir dir_;
  std::string qln_ = InstallQln(dir_);
};

TEST_F(FilterTest, ConvertsStandardInputInOnePiece) {
  struct {
    std::string input;
    std::string expected;
  } cases[] = {
      {"<P>Hello <B>world</B> again.", "\n  Hello **world** again."},
      // The pending word is lost when the text ends with a tag that keeps it.
      {"Line1\nLine2 <B>x</B>", "  Line1\n  Line2"},
      {"Line1\r\nLine2 x\n", "  Line1\n  Line2 x\n"},
      {"<A HREF=\"a.htm\">x</A> y", "  x[1] y\n\nHyperlink Reference:\n.. [1] a.htm\n"},
      {"<HEAD><TITLE>", ""},
      {"", ""},
      // The text ends at its first zero byte, as a clipboard text does.
      {std::string("one two \0three", 14), "  one two"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Filter(c.input, Input::kPipe)) << c.input;
    EXPECT_EQ(c.expected, Filter(c.input, Input::kFile)) << c.input;
  }
}

TEST_F(FilterTest, OutputAppearsAsTheInputArrives) {
  std::signal(SIGPIPE, SIG_IGN);
  RunningFilter filter(qln_);
  const std::string line = "<P>Hello <B>world</B> again.\n";
  ASSERT_EQ(static_cast<ssize_t>(line.size()), write(filter.to_qln, line.data(), line.size()));
  // The writer keeps its end open: the finished line is there all the same.
  const std::string expected = "\n  Hello **world** again.\n";
  EXPECT_EQ(expected, filter.Read(expected.size(), 30));
  ASSERT_EQ(3, write(filter.to_qln, "end", 3));
  close(filter.to_qln);
  filter.to_qln = -1;
  EXPECT_EQ("  end", filter.Read(5, 30));
  EXPECT_EQ(0, filter.Wait());
}

TEST_F(FilterTest, AReaderThatGoesAwayEndsTheRunAsForCat) {
  std::string big;
  while (big.size() < (4 << 20)) big += "<P>Some words to convert, again and again.\n";
  WriteFile(dir_ / "big.html", big);
  RunningFilter filter(qln_, dir_ / "big.html");
  EXPECT_EQ(10u, filter.Read(10, 30).size());
  close(filter.from_qln);  // as head -c 10 does
  filter.from_qln = -1;
  EXPECT_EQ(128 + SIGPIPE, filter.Wait());
}

TEST_F(FilterTest, AFailedWriteIsReported) {
  RunOptions options;
  options.from = Input::kPipe;
  options.input = "<p>x";
  options.standard_output = "/dev/full";
  RunResult result = RunProgram(qln_, {}, dir_.path(), options);
  EXPECT_EQ(1, result.exit_code);
  EXPECT_EQ("qln: standard output: No space left on device\n", result.standard_error);
}

TEST_F(FilterTest, HonoursTheSettingsFile) {
  WriteFile(dir_ / "qln.ini", "qln\nLeftMargin=4\nRightMargin=78\nDoURLs=0\nKeepLinefeeds=0\n");
  EXPECT_EQ("    Line1 Line2 x y", Filter("Line1\nLine2 <A HREF=\"a.htm\">x</A> y\n"));
}

TEST_F(FilterTest, TakesALargeFileWhole) {
  std::string input, expected;
  for (int i = 0; i < 100000; i++) {
    input.append("abc <I>def</I>\n");
    expected.append("  abc ~def~\n");
  }
  // Compared whole, without a printed difference, which would take minutes.
  EXPECT_TRUE(expected == Filter(input, Input::kFile));
}

}  // namespace

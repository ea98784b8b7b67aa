#include "app/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/test_util.h"

namespace {

struct Piece {
  std::string text;
  bool line_ends;
  bool operator==(const Piece&) const = default;
};

std::vector<Piece> ReadPieces(const std::string& path, size_t buffer_size,
                              bool whole_lines = false) {
  TextReader reader(buffer_size);
  EXPECT_TRUE(reader.Open(path));
  std::vector<Piece> pieces;
  std::string_view piece;
  bool line_ends;
  while (whole_lines ? reader.NextLines(&piece, &line_ends)
                     : reader.NextPiece(&piece, &line_ends)) {
    EXPECT_FALSE(piece.empty());
    EXPECT_LE(piece.size(), buffer_size);
    pieces.push_back({std::string(piece), line_ends});
  }
  return pieces;
}

/// Joins the pieces into lines, checking that only a line's last piece ends it.
std::vector<std::string> Lines(const std::vector<Piece>& pieces) {
  std::vector<std::string> lines(1);
  for (const Piece& piece : pieces) {
    lines.back() += piece.text;
    if (piece.line_ends) lines.emplace_back();
  }
  EXPECT_TRUE(lines.back().empty()) << "the last piece must end its line";
  lines.pop_back();
  return lines;
}

TEST(TextReaderTest, TranslatesLineEndsAndStopsAtEndOfText) {
  struct {
    std::string raw;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"one\r\ntwo\r\n", {"one\n", "two\n"}},
      {"one\ntwo", {"one\n", "two"}},
      {"a\rb\r\r\nc\r", {"a\rb\r\n", "c\r"}},  // a lone CR stays
      {"abc\x1A" "def\n", {"abc"}},
      {"\x1A", {}},
      {"x\r\x1A" "y", {"x\r"}},
      {std::string("a\0b\n", 4), {std::string("a\0b\n", 4)}},
      {std::string(40, 'w') + "\r\n" + std::string(7, 'v'),
       {std::string(40, 'w') + "\n", std::string(7, 'v')}},
  };
  TempDir dir;
  std::string path = dir / "in.htm";
  for (const auto& c : cases) {
    WriteFile(path, c.raw);
    // Small buffers cut lines and CR LF pairs at every possible place.
    for (size_t size : {4, 5, 6, 7, 8, 13, 64 * 1024}) {
      EXPECT_EQ(c.lines, Lines(ReadPieces(path, size))) << c.raw << " / " << size;
    }
  }
}

TEST(TextReaderTest, KnowsWhenALongLineEndsTheInput) {
  TempDir dir;
  std::string path = dir / "in.htm";
  // Lines about a buffer long, with and without a final line feed: only the
  // piece that ends the line (or the input) says so.
  for (size_t size : {4, 8, 9}) {
    for (size_t length = size - 2; length <= 2 * size + 1; length++) {
      std::string line(length, 'a');
      WriteFile(path, line);
      EXPECT_EQ(std::vector<std::string>{line}, Lines(ReadPieces(path, size))) << size;
      WriteFile(path, line + "\n");
      EXPECT_EQ(std::vector<std::string>{line + "\n"}, Lines(ReadPieces(path, size)));
    }
  }
}

// Blocks of whole lines hold the same text as the lines one by one: a block
// that ends a line ends with a line feed or the input, and a long line still
// comes in pieces that say they do not end it.
TEST(TextReaderTest, HandsOutBlocksOfWholeLines) {
  TempDir dir;
  std::string path = dir / "in.htm";
  std::string lines_of_every_length;  // line feeds in every lane of a 16-byte step
  for (size_t length = 0; length < 40; length++)
    lines_of_every_length += std::string(length, 'x') + "\n";
  const std::string inputs[] = {
      lines_of_every_length, lines_of_every_length + "end",
      "", "one\r\ntwo\r\n", "one\ntwo", "a\rb\r\r\nc\r", "abc\x1A" "def\n",
      std::string(40, 'w') + "\r\nx\n" + std::string(7, 'v') + "\n\ny",
  };
  for (const std::string& input : inputs) {
    WriteFile(path, input);
    for (size_t size : {4, 5, 7, 13, 100, 333, 64 * 1024}) {
      SCOPED_TRACE(input + " / " + std::to_string(size));
      std::string by_lines, by_blocks;
      for (const std::string& line : Lines(ReadPieces(path, size))) by_lines += line;
      const std::vector<Piece> blocks = ReadPieces(path, size, true);
      for (size_t i = 0; i < blocks.size(); i++) {
        by_blocks += blocks[i].text;
        const bool ends_in_lf = blocks[i].text.back() == '\n';
        if (blocks[i].line_ends)
          EXPECT_TRUE(ends_in_lf || i + 1 == blocks.size());
        else
          EXPECT_EQ(blocks[i].text.find('\n'), std::string::npos);
      }
      EXPECT_EQ(by_blocks, by_lines);
      if (size > input.size() && !input.empty()) {
        EXPECT_EQ(blocks.size(), 1u);
      }
    }
  }
}

TEST(TextReaderTest, OpensOnlyRegularFiles) {
  TempDir dir;
  ASSERT_EQ(0, mkfifo((dir / "pipe.htm").c_str(), 0600));  // must not wait for a writer
  std::filesystem::create_directory(dir / "folder.htm");
  WriteFile(dir / "page.htm", "x\n");
  std::filesystem::create_symlink(dir / "page.htm", dir / "link.htm");
  std::filesystem::create_symlink(dir / "folder.htm", dir / "folder-link.htm");
  const std::pair<std::string, bool> cases[] = {
      {dir / "missing.htm", false}, {dir / "pipe.htm", false},
      {dir / "folder.htm", false},  {dir / "folder-link.htm", false},
      {"/dev/null", false},         {dir / "page.htm", true},
      {dir / "link.htm", true},
  };
  for (const auto& [path, opens] : cases) {
    TextReader reader;
    EXPECT_EQ(opens, reader.Open(path)) << path;
    std::string_view piece;
    bool line_ends;
    EXPECT_EQ(opens, reader.NextPiece(&piece, &line_ends)) << path;
    EXPECT_FALSE(reader.Failed());
  }
}

TEST(TextReaderTest, TellsAReadErrorFromTheEnd) {
  // The process's own memory, read from address 0, which is never mapped: a
  // regular file whose reading fails, even for root.
  TextReader reader;
  if (!reader.Open("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem";
  std::string_view piece;
  bool line_ends;
  EXPECT_FALSE(reader.NextPiece(&piece, &line_ends));
  EXPECT_TRUE(reader.Failed());
}

TEST(TextWriterTest, StoresLineFeedsAsCrLf) {
  TempDir dir;
  std::string path = dir / "out.txt";
  TextWriter writer;
  ASSERT_TRUE(writer.Open(path));
  EXPECT_TRUE(writer.Write("a\nb"));
  EXPECT_TRUE(writer.Write("\n\n"));
  EXPECT_TRUE(writer.Write(std::string(100000, 'x') + "\r\n"));  // a CR already there stays
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ("a\r\nb\r\n\r\n" + std::string(100000, 'x') + "\r\r\n", ReadFile(path));
}

TEST(TextWriterTest, ReplacesTheFileOnlyWhenClosed) {
  TempDir dir;
  std::string path = dir / "out.txt";
  WriteFile(path, "old");
  std::filesystem::permissions(path, std::filesystem::perms(0640));
  const bool is_root = geteuid() == 0;  // only root may give a file away
  if (is_root) {
    ASSERT_EQ(0, chown(path.c_str(), 4321, 4321));
  }
  {
    TextWriter writer;
    ASSERT_TRUE(writer.Open(path));
    writer.Write(std::string(200000, 'n'));  // past the write buffer
    EXPECT_EQ("old", ReadFile(path));
    EXPECT_EQ(2u, FileNames(dir.path()).size());  // the file and the new one beside it
  }  // not closed: discarded
  EXPECT_EQ("old", ReadFile(path));
  EXPECT_EQ(std::vector<std::string>{"out.txt"}, FileNames(dir.path()));

  TextWriter writer;
  ASSERT_TRUE(writer.Open(path));
  writer.Write("new\n");
  writer.Discard();
  EXPECT_EQ("old", ReadFile(path));
  ASSERT_TRUE(writer.Open(path));
  writer.Write("new\n");
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ("new\r\n", ReadFile(path));
  EXPECT_EQ(std::vector<std::string>{"out.txt"}, FileNames(dir.path()));
  // The replaced file's permissions, and its owner where allowed, carry over.
  struct stat info;
  ASSERT_EQ(0, stat(path.c_str(), &info));
  EXPECT_EQ(0640u, info.st_mode & 0777);
  if (is_root) {
    EXPECT_EQ(4321u, info.st_uid);
  }
}

TEST(TextWriterTest, CannotReplaceAFolder) {
  TempDir dir;
  std::filesystem::create_directory(dir / "out.txt");
  TextWriter writer;
  EXPECT_FALSE(writer.Open(dir / "out.txt"));
  EXPECT_FALSE(writer.Open(dir / "missing/out.txt"));
  EXPECT_EQ(std::vector<std::string>{"out.txt"}, FileNames(dir.path()));
}

}  // namespace

#include "app/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/files.h"
#include "tests/test_util.h"

namespace {

TEST(OpenRegularFileTest, OpensOnlyRegularFiles) {
  TempDir dir;
  ASSERT_EQ(0, mkfifo((dir / "pipe.htm").c_str(), 0600));  // must not wait for a writer
  std::filesystem::create_directory(dir / "folder.htm");
  WriteFile(dir / "page.htm", "x\n");
  std::filesystem::create_symlink(dir / "page.htm", dir / "link.htm");
  std::filesystem::create_symlink(dir / "folder.htm", dir / "folder-link.htm");
  const std::pair<std::string, bool> cases[] = {
      {dir / "missing.htm", false},     {dir / "pipe.htm", false}, {dir / "folder.htm", false},
      {dir / "folder-link.htm", false}, {"/dev/null", false},      {dir / "page.htm", true},
      {dir / "link.htm", true},
  };
  for (const auto& [path, opens] : cases) {
    std::FILE* file = platform::OpenRegularFile(path);
    EXPECT_EQ(opens, file != nullptr) << path;
    if (file) std::fclose(file);
  }
}

TEST(OutputFileTest, WritesTheBytesAsTheyAre) {
  TempDir dir;
  std::string path = dir / "out.txt";
  OutputFile output;
  ASSERT_TRUE(output.Open(path));
  EXPECT_TRUE(output.Write("a\nb\r\n"));
  EXPECT_TRUE(output.Write(std::string(100000, 'x')));
  EXPECT_TRUE(output.Close());
  EXPECT_EQ("a\nb\r\n" + std::string(100000, 'x'), ReadFile(path));
}

TEST(OutputFileTest, ReplacesTheFileOnlyWhenClosed) {
  TempDir dir;
  std::string path = dir / "out.txt";
  WriteFile(path, "old");
  std::filesystem::permissions(path, std::filesystem::perms(0640));
  const bool is_root = geteuid() == 0;  // only root may give a file away
  if (is_root) {
    ASSERT_EQ(0, chown(path.c_str(), 4321, 4321));
  }
  {
    OutputFile writer;
    ASSERT_TRUE(writer.Open(path));
    writer.Write(std::string(200000, 'n'));  // past the write buffer
    EXPECT_EQ("old", ReadFile(path));
    EXPECT_EQ(2u, FileNames(dir.path()).size());  // the file and the new one beside it
  }                                               // not closed: discarded
  EXPECT_EQ("old", ReadFile(path));
  EXPECT_EQ(std::vector<std::string>{"out.txt"}, FileNames(dir.path()));

  OutputFile writer;
  ASSERT_TRUE(writer.Open(path));
  writer.Write("new\n");
  writer.Discard();
  EXPECT_EQ("old", ReadFile(path));
  ASSERT_TRUE(writer.Open(path));
  writer.Write("new\n");
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ("new\n", ReadFile(path));
  EXPECT_EQ(std::vector<std::string>{"out.txt"}, FileNames(dir.path()));
  // The replaced file's permissions, and its owner where allowed, carry over.
  struct stat info;
  ASSERT_EQ(0, stat(path.c_str(), &info));
  EXPECT_EQ(0640u, info.st_mode & 0777);
  if (is_root) {
    EXPECT_EQ(4321u, info.st_uid);
  }
}

TEST(OutputFileTest, CannotReplaceAFolder) {
  TempDir dir;
  std::filesystem::create_directory(dir / "out.txt");
  OutputFile writer;
  EXPECT_FALSE(writer.Open(dir / "out.txt"));
  EXPECT_FALSE(writer.Open(dir / "missing/out.txt"));
  EXPECT_EQ(std::vector<std::string>{"out.txt"}, FileNames(dir.path()));
}

}  // namespace

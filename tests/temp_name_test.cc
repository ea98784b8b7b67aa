#include "platform/temp_name.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The part of a temporary path before its six unique characters.
std::string Stem(const std::string& path) { return path.substr(0, path.size() - 6); }

TEST(TempNameTest, HiddenBesideTheTargetInItsFolder) {
  struct {
    std::string target;
    std::string separators;
    std::string stem;
  } cases[] = {
      {"page.txt", "/", ".page.txt.qln-"},
      {"/home/me/page.txt", "/", "/home/me/.page.txt.qln-"},
      {"C:\\My Docs\\page.txt", "\\/", "C:\\My Docs\\.page.txt.qln-"},
      {"C:/web\\sub/page.txt", "\\/", "C:/web\\sub/.page.txt.qln-"},
      // On POSIX a backslash is part of a name, not a folder's end.
      {"dir/a\\b.txt", "/", "dir/.a\\b.txt.qln-"},
  };
  for (const auto& c : cases) {
    const std::string path = platform::TempPathFor(c.target, c.separators, 42, 0);
    EXPECT_EQ(c.stem, Stem(path)) << c.target;
    for (char ch : path.substr(path.size() - 6))
      EXPECT_TRUE((ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'z')) << path;
  }
}

TEST(TempNameTest, LongNameIsCutSoTheFolderTakesIt) {
  const std::string name(255, 'n');
  const std::string path = platform::TempPathFor("d/" + name, "/", 1, 0);
  EXPECT_EQ("d/." + std::string(200, 'n') + ".qln-", Stem(path));
  EXPECT_LE(path.size() - 2, 255u);  // one name, within the usual limit
}

TEST(TempNameTest, AttemptsAndSeedsGiveDifferentNames) {
  std::set<std::string> names;
  for (uint64_t seed = 0; seed < 10; seed++)
    for (int attempt = 0; attempt < 100; attempt++)
      names.insert(platform::TempPathFor("page.txt", "/", seed, attempt));
  EXPECT_EQ(1000u, names.size());
}

}  // namespace

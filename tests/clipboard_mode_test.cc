#include "app/clipboard_mode.h"

#include <gtest/gtest.h>

#include "app/clipboard_text.h"
#include "tests/fake_clipboard.h"

namespace {

using CallList = std::vector<std::string>;

const std::string kLinkList = "\r\n\r\nHyperlink Reference:\r\n.. [1] a.htm\r\n";

class ClipboardModeTest : public testing::Test {
 protected:
  void SetUp() override { ResetFakeClipboard(); }
  void TearDown() override {
    // Whatever happened, the clipboard is closed and no text is leaked.
    EXPECT_FALSE(TheFakeClipboard().is_open);
    EXPECT_EQ(0, TheFakeClipboard().prepared_alive);
  }
  const CallList& Calls() { return TheFakeClipboard().calls; }
};

TEST_F(ClipboardModeTest, ReplacesTheTextWithItsConversion) {
  ResetFakeClipboard().text = "<A HREF=\"a.htm\">x</A> y";
  ConvertClipboard({});
  EXPECT_EQ(std::string("  x[1] y").append(kLinkList), TheFakeClipboard().text);
  EXPECT_EQ((CallList{"open", "get", "close", "prepare", "open", "empty", "set", "close"}),
            Calls());
}

TEST_F(ClipboardModeTest, ATextThatConvertsToNothingLeavesAnEmptyText) {
  ResetFakeClipboard().text = "<HEAD><TITLE>";
  ConvertClipboard({});
  EXPECT_EQ(std::optional<std::string>(""), TheFakeClipboard().text);
}

TEST_F(ClipboardModeTest, NoTextOrAnEmptyTextIsLeftAlone) {
  for (std::optional<std::string> text :
       {std::optional<std::string>(), std::optional<std::string>("")}) {
    ResetFakeClipboard().text = text;
    ConvertClipboard({});
    EXPECT_EQ(text, TheFakeClipboard().text);
    EXPECT_EQ((CallList{"open", "get", "close"}), Calls());
  }
  ResetFakeClipboard().open_fails = true;
  TheFakeClipboard().text = "kept";
  ConvertClipboard({});
  EXPECT_EQ(std::optional<std::string>("kept"), TheFakeClipboard().text);
  EXPECT_EQ((CallList{"open"}), Calls());
}

TEST_F(ClipboardModeTest, AFailedWriteNeverCostsTheOldTextBeforeItCanBeReplaced) {
  // Preparing the new text comes first, so running out of memory there leaves
  // the clipboard as it was.
  ResetFakeClipboard().text = "old";
  TheFakeClipboard().prepare_fails = true;
  EXPECT_FALSE(WriteClipboardText("new", platform::TextForm::kBytes));
  EXPECT_EQ(std::optional<std::string>("old"), TheFakeClipboard().text);
  EXPECT_EQ((CallList{"prepare"}), Calls());

  ResetFakeClipboard().text = "old";
  TheFakeClipboard().open_fails = true;
  EXPECT_FALSE(WriteClipboardText("new", platform::TextForm::kBytes));
  EXPECT_EQ(std::optional<std::string>("old"), TheFakeClipboard().text);
  EXPECT_EQ((CallList{"prepare", "open", "free"}), Calls());

  ResetFakeClipboard().text = "old";
  TheFakeClipboard().empty_fails = true;
  EXPECT_FALSE(WriteClipboardText("new", platform::TextForm::kBytes));
  EXPECT_EQ(std::optional<std::string>("old"), TheFakeClipboard().text);
  EXPECT_EQ((CallList{"prepare", "open", "empty", "close", "free"}), Calls());

  // Once emptied, a refused hand-over leaves the clipboard empty, and the
  // prepared text is freed.
  ResetFakeClipboard().text = "old";
  TheFakeClipboard().set_fails = true;
  EXPECT_FALSE(WriteClipboardText("new", platform::TextForm::kBytes));
  EXPECT_EQ(std::nullopt, TheFakeClipboard().text);
  EXPECT_EQ((CallList{"prepare", "open", "empty", "set", "close", "free"}), Calls());
}

}  // namespace

// The line formatter: margin, separators, sentence ends, wrapping, line ends,
// heading underlines and preformatted words.
#include "engine/formatter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace qln::detail;  // NOLINT(build/namespaces)

/// Places each word in turn and returns what was appended.
std::string Place(ConversionState* state, const std::vector<std::string>& words,
                  const RunSettings& settings = {}) {
  ByteBuffer output;
  for (const std::string& word : words) EmitWord(state, settings, word, &output);
  return std::string(output.view());
}

TEST(FormatterTest, MarginThenOneSeparator) {
  ConversionState state;
  EXPECT_EQ(Place(&state, {"Hello", " world."}), "  Hello world.");
  EXPECT_EQ(state.LineColumn, 14);
  EXPECT_TRUE(state.SentenceEnded);
}

TEST(FormatterTest, LeadingWhitespaceOfAllSixKindsIsSkipped) {
  ConversionState state;
  EXPECT_EQ(Place(&state, {"\t\r\n\v\f x"}), "  x");
}

TEST(FormatterTest, TwoSpacesAfterSentenceEnds) {
  RunSettings settings;
  settings.Space2AfterPeriod = 1;
  ConversionState state;
  EXPECT_EQ(Place(&state, {"One.", "Two!", "Three", "\"Four.\"", "Five", "Six:", "Seven?", "x"},
                  settings),
            "  One.  Two!  Three \"Four.\"  Five Six:  Seven?  x");
  // A lone double quote is its own last character and ends nothing.
  ConversionState quote;
  EXPECT_EQ(Place(&quote, {"x.", "\"", "y"}, settings), "  x.  \" y");
  // Off by default.
  ConversionState off;
  EXPECT_EQ(Place(&off, {"One.", "Two"}), "  One. Two");
}

TEST(FormatterTest, WrapsAtRightMarginMinusLeftMargin) {
  struct Case {
    int left, right, column;
    size_t length;
    std::string expected;
  };
  const Case cases[] = {
      {2, 78, 70, 5, " xxxxx"},        // 75 < 76: same line
      {2, 78, 70, 6, "\n  xxxxxx"},    // 76: next line
      {4, 40, 30, 5, " xxxxx"},        // 35 < 36
      {4, 40, 30, 6, "\n    xxxxxx"},  // 36
      {0, 40, 39, 1, "\nx"},           // no margin, no separator
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    RunSettings settings;
    settings.LeftMargin = c.left;
    settings.RightMargin = c.right;
    ConversionState state;
    state.LineColumn = c.column;
    EXPECT_EQ(Place(&state, {std::string(c.length, 'x')}, settings), c.expected);
  }
}

TEST(FormatterTest, LongWordAtColumnZeroStillGetsALineEndFirst) {
  ConversionState state;
  std::string word(76, 'w');
  EXPECT_EQ(Place(&state, {word}), "\n  " + word);
  EXPECT_EQ(state.LineColumn, 78);
}

TEST(FormatterTest, NoIndentAtColumnZeroAndAfterABullet) {
  ConversionState state;
  state.FormatFlags = NoIndent;
  EXPECT_EQ(Place(&state, {"Term"}), "Term");
  ConversionState bullet;
  bullet.FormatFlags = NoIndent;
  EXPECT_EQ(Place(&bullet, {"*", " one"}), "* one");
  EXPECT_EQ(bullet.FormatFlags, static_cast<uint32_t>(NoIndent));  // tag actions clear it
}

TEST(FormatterTest, LineEndFlagsActOnEmptyWords) {
  ConversionState state;
  state.FormatFlags = NewLineAfter;
  EXPECT_EQ(Place(&state, {""}), "\n");
  EXPECT_EQ(state.FormatFlags, 0u);
  EXPECT_EQ(state.LineColumn, 0);

  // EndLineAfter ends only a line that holds more than the indent threshold.
  for (int column : {0, 2}) {
    ConversionState end_line;
    end_line.LineColumn = column;
    end_line.FormatFlags = EndLineAfter;
    EXPECT_EQ(Place(&end_line, {" "}), "");
    EXPECT_EQ(end_line.FormatFlags, 0u);
  }
  ConversionState held;
  held.LineColumn = 3;
  held.FormatFlags = EndLineAfter | NewLineAfter;
  EXPECT_EQ(Place(&held, {""}), "\n\n");
  ConversionState no_indent;
  no_indent.LineColumn = 1;
  no_indent.FormatFlags = EndLineAfter | NoIndent;
  EXPECT_EQ(Place(&no_indent, {""}), "\n");
}

TEST(FormatterTest, HeadingUnderlinedByItsOwnLength) {
  ConversionState state;
  state.FormatFlags = UnderlineDouble | NoIndent | EndLineAfter;
  EXPECT_EQ(Place(&state, {"Title"}), "Title\n=====\n");
  ConversionState single;
  single.FormatFlags = UnderlineSingle | NoIndent | EndLineAfter;
  EXPECT_EQ(Place(&single, {"Sub"}), "Sub\n---\n");
  ConversionState both;
  both.FormatFlags = UnderlineDouble | UnderlineSingle | NoIndent | EndLineAfter;
  EXPECT_EQ(Place(&both, {"ab"}), "ab\n==\n");
}

TEST(FormatterTest, WrappedHeadingGetsOneUnderlinePerLine) {
  ConversionState state;
  state.FormatFlags = UnderlineSingle | NoIndent;
  const std::string a(37, 'a'), b(37, 'b'), c(37, 'c');
  std::string output = Place(&state, {a, " " + b});
  state.FormatFlags |= EndLineAfter;
  output += Place(&state, {" " + c});
  EXPECT_EQ(output, a + " " + b + "\n" + std::string(75, '-') + "\n" + c + "\n" +
                        std::string(37, '-') + "\n");
}

TEST(FormatterTest, AppendUnderline) {
  ConversionState state;
  ByteBuffer output;
  output.push_back('x');
  AppendUnderline(state, 0, &output);
  AppendUnderline(state, 3, &output);  // "-" unless UnderlineDouble
  state.FormatFlags = UnderlineDouble;
  state.CrLfMode = true;
  AppendUnderline(state, 2, &output);
  EXPECT_EQ(output, "x\n---\n==\r\n");
}

TEST(FormatterTest, PreformattedWordIsVerbatimAndCounted) {
  ConversionState state;
  state.FormatFlags = Preformatted;
  state.LineColumn = 5;
  state.SentenceEnded = true;
  EXPECT_EQ(Place(&state, {"\n  c"}), "\n  c");
  EXPECT_EQ(state.LineColumn, 9);  // the line feed inside does not reset it
  EXPECT_TRUE(state.SentenceEnded);
  state.LineColumn = 75;  // no wrapping either
  EXPECT_EQ(Place(&state, {" 0123456789"}), " 0123456789");
  state.FormatFlags |= NewLineAfter;
  EXPECT_EQ(Place(&state, {"ab"}), "ab\n");
  EXPECT_EQ(state.LineColumn, 0);
}

TEST(FormatterTest, CrLfModeWritesCrLfEverywhere) {
  ConversionState state;
  state.CrLfMode = true;
  state.LineColumn = 72;
  state.FormatFlags = UnderlineDouble | NewLineAfter;
  EXPECT_EQ(Place(&state, {" word"}), "\r\n" + std::string(72, '=') + "\r\n  word\r\n");
}

/// The scanner's shortcut for a plain word, one word at a time: when
/// PlacesAfterOneSpace holds and the word's end stays before column
/// RightMargin - LeftMargin, it moves the column and the sentence flag and
/// writes " word" itself. Returns false, changing nothing, otherwise.
bool PlaceAfterOneSpace(ConversionState* state, const RunSettings& settings,
                        std::string_view word) {
  if (!PlacesAfterOneSpace(*state, settings) ||
      state->LineColumn + static_cast<int64_t>(word.size()) >=
          settings.RightMargin - settings.LeftMargin)
    return false;
  state->LineColumn += static_cast<int64_t>(word.size()) + 1;
  state->SentenceEnded = EndsSentence(word);
  return true;
}

TEST(FormatterTest, PlaceAfterOneSpaceAgreesWithEmitWord) {
  struct Start {
    int64_t column;
    uint32_t flags;
    bool sentence_ended;
  };
  const Start starts[] = {
      {0, 0, false},
      {2, 0, false},
      {3, 0, false},
      {40, 0, true},
      {70, 0, false},
      {71, 0, false},
      {1, NoIndent, false},
      {0, NoIndent, false},
      {10, Preformatted, false},
      {10, EndLineAfter, false},
      {10, NewLineAfter, false},
      {10, UnderlineDouble, false},
  };
  RunSettings spaced;
  spaced.Space2AfterPeriod = 1;
  for (const RunSettings& settings : {RunSettings{}, spaced}) {
    for (const Start& start : starts) {
      for (std::string word : {"a", "word.", "end\"\"", "12345"}) {
        ConversionState placed, emitted;
        for (ConversionState* state : {&placed, &emitted}) {
          state->LineColumn = start.column;
          state->FormatFlags = start.flags;
          state->SentenceEnded = start.sentence_ended;
        }
        ByteBuffer emitted_text;
        EmitWord(&emitted, settings, word, &emitted_text);
        const std::string_view output = emitted_text.view();
        SCOPED_TRACE(std::to_string(start.column) + " " + word);
        if (PlaceAfterOneSpace(&placed, settings, word)) {
          EXPECT_EQ(output, " " + word);
          EXPECT_EQ(placed.LineColumn, emitted.LineColumn);
          EXPECT_EQ(placed.SentenceEnded, emitted.SentenceEnded);
          EXPECT_EQ(placed.FormatFlags, emitted.FormatFlags);
        } else {
          EXPECT_NE(output, " " + word);
          EXPECT_EQ(placed.LineColumn, start.column);
          EXPECT_EQ(placed.SentenceEnded, start.sentence_ended);
        }
      }
    }
  }
}

}  // namespace

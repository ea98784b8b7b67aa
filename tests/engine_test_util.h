// Helpers for the engine's unit tests: run pieces of input through ScanChunk
// the way the front end does, and collect what the engine appends.
#ifndef QLN_TESTS_ENGINE_TEST_UTIL_H_
#define QLN_TESTS_ENGINE_TEST_UTIL_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/conversion.h"
#include "engine/conversion_state.h"
#include "engine/links.h"
#include "engine/run_settings.h"
#include "engine/scanner.h"

// The engine's unit tests reach into its details.
using namespace qln::detail;  // NOLINT(build/namespaces)

/// Scans each chunk whole, in order, into one output text. The chunks are
/// taken as they are: a line of a file carries its own "\n".
inline std::string Scan(ConversionState* state, const std::vector<std::string>& chunks,
                        const RunSettings& settings = {}) {
  ByteBuffer output;
  for (const std::string& chunk : chunks) ScanChunk(state, settings, chunk, &output);
  return std::string(output.view());
}

/// Converts the chunks with a fresh state; `crlf` selects clipboard line ends.
inline std::string Convert(const std::vector<std::string>& chunks, const RunSettings& settings = {},
                           bool crlf = false) {
  ConversionState state;
  state.CrLfMode = crlf;
  return Scan(&state, chunks, settings);
}

/// A sink that appends to the std::string at `user`.
inline void AppendTo(const char* bytes, size_t size, void* user) {
  static_cast<std::string*>(user)->append(bytes, size);
}

/// Converts the lines (each but the last ending with its line feed) as file
/// mode does, with LF line ends: the text, one closing line end, then the
/// reference list when links are numbered.
inline std::string ConvertAsFile(const std::vector<std::string>& lines,
                                 const RunSettings& settings = {}) {
  std::string output;
  Conversion conversion;
  StartConversion(&conversion, settings, qln::Mode::kFile, qln::LineEnds::kLf, AppendTo, &output);
  for (const std::string& line : lines) FeedConversion(&conversion, line);
  FinishConversion(&conversion);
  return output;
}

/// The reference list as file mode writes it now; this empties the list.
inline std::string TakeList(ConversionState* state) {
  ByteBuffer output;
  WriteUrlList(&state->Urls, &output);
  return std::string(output.view());
}

/// The reference list file mode writes for these targets, in this order.
inline std::string ListText(const std::vector<std::string>& targets) {
  std::string text = "\nHyperlink Reference:\n";
  for (size_t i = 0; i < targets.size(); i++)
    text += ".. [" + std::to_string(i + 1) + "] " + targets[i] + "\n";
  return text;
}

/// Changes a-z into A-Z in place, except between double quotes: each double
/// quote switches between outside and inside. The way an anchor's HREF is
/// read: the tests check the engine's reading against it.
inline void UpperCaseOutsideQuotes(std::string* text) {
  bool quoted = false;
  for (char& c : *text) {
    if (c == '"')
      quoted = !quoted;
    else if (!quoted && c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
}

/// Chunks of input and the text they convert to.
struct Example {
  std::vector<std::string> chunks;
  std::string expected;
};

/// Converts each example with a fresh state and checks its text.
inline void ExpectConversions(const std::vector<Example>& examples,
                              const RunSettings& settings = {}, bool crlf = false) {
  for (const Example& e : examples) {
    SCOPED_TRACE(e.chunks.front());
    EXPECT_EQ(Convert(e.chunks, settings, crlf), e.expected);
  }
}

#endif  // QLN_TESTS_ENGINE_TEST_UTIL_H_

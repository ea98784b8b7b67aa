// Line-end translations, whole and in pieces cut anywhere, with every kernel;
// and each kernel's steps against the plain ones on long random texts.
#include "engine/line_ends.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "engine/kernel_plain_steps.h"

namespace {

using namespace qln::detail;  // NOLINT(build/namespaces)

struct Case {
  std::string in;
  std::string out;
};

/// A translation over pieces: appends the translation of a piece, carrying a
/// flag from one piece to the next; `finish` writes what the flag still holds.
using Step = std::function<void(std::string_view, bool*, ByteBuffer*)>;
using Finish = std::function<void(bool, ByteBuffer*)>;

std::string Translate(const std::vector<std::string_view>& pieces, const Step& step,
                      const Finish& finish) {
  ByteBuffer out;
  bool flag = false;
  for (std::string_view piece : pieces) step(piece, &flag, &out);
  finish(flag, &out);
  return std::string(out.view());
}

/// The kernels this machine runs.
std::vector<const Kernel*> Kernels() {
  std::vector<const Kernel*> kernels;
  for (KernelChoice choice : {KernelChoice::kScalar, KernelChoice::kSse2, KernelChoice::kAvx2})
    if (HasKernel(choice)) kernels.push_back(&KernelFor(choice));
  return kernels;
}

using KernelStep = void (*)(const Kernel&, std::string_view, bool*, ByteBuffer*);

/// Checks each case whole, cut in two at every place, and a byte at a time,
/// with every kernel.
void ExpectTranslations(const std::vector<Case>& cases, KernelStep kernel_step,
                        const Finish& finish) {
  for (const Kernel* kernel : Kernels()) {
    SCOPED_TRACE(kernel->name);
    const Step step = [&](std::string_view in, bool* flag, ByteBuffer* out) {
      kernel_step(*kernel, in, flag, out);
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.in);
      const std::string_view in = c.in;
      EXPECT_EQ(c.out, Translate({in}, step, finish));
      for (size_t cut = 0; cut <= in.size(); cut++)
        EXPECT_EQ(c.out, Translate({in.substr(0, cut), in.substr(cut)}, step, finish)) << cut;
      std::vector<std::string_view> bytes;
      for (size_t i = 0; i < in.size(); i++) bytes.push_back(in.substr(i, 1));
      EXPECT_EQ(c.out, Translate(bytes, step, finish));
    }
  }
}

void WriteHeldCr(bool held, ByteBuffer* out) {
  if (held) out->push_back('\r');
}

TEST(LineEndsTest, TextModeReadsCrLfAsLf) {
  ExpectTranslations({{"", ""},
                      {"a\r\nb\r\n", "a\nb\n"},
                      {"a\rb\n\r", "a\rb\n\r"},  // a lone CR stays
                      {"a\r\r\nb", "a\r\nb"},
                      {"\r\r\r", "\r\r\r"},
                      {std::string("a\0b\r\n", 5), std::string("a\0b\n", 4)}},
                     AppendLfForCrLf, WriteHeldCr);
}

TEST(LineEndsTest, ClipboardTextGetsCrBeforeEveryLf) {
  ExpectTranslations({{"", ""},
                      {"a\nb", "a\r\nb"},
                      {"\n\n", "\r\n\r\n"},
                      {"a\r\nb\n", "a\r\nb\r\n"},  // a CR LF stays one line end
                      {"a\rb", "a\rb"},            // a lone CR is left as it is
                      {"a\r\r\nb", "a\r\r\nb"}},
                     AppendCrBeforeLf, [](bool, ByteBuffer*) {});
}

TEST(LineEndsTest, CrLfBecomesLf) {
  ExpectTranslations({{"", ""},
                      {"a\r\nb\r\n", "a\nb\n"},
                      {"a\rb\n", "a\rb\n"},
                      {"\r\r\n\r", "\r\n\r"},
                      {"\r\n\r\n", "\n\n"}},
                     AppendLfForCrLf, WriteHeldCr);
}

TEST(LineEndsTest, TextFilesStoreEveryLfAsCrLf) {
  std::string many_line_ends;
  for (int i = 0; i < 40; i++) many_line_ends.append("\r\n");
  // Long enough for the sixteen-byte steps, with line feeds at their edges.
  const std::string block = "0123456789abcde\n";
  const Case cases[] = {
      {"", ""},
      {"\n", "\r\n"},
      {"a\r\nb", "a\r\r\nb"},  // a CR before a LF is not special
      {block + block + "x", "0123456789abcde\r\n0123456789abcde\r\nx"},
      {std::string(40, '\n'), many_line_ends},
  };
  for (const Kernel* kernel : Kernels()) {
    for (const Case& c : cases) {
      ByteBuffer out;
      out.append("kept");
      AppendWithCrLf(*kernel, c.in, &out);
      EXPECT_EQ("kept" + c.out, out.view()) << kernel->name << " " << c.in;
    }
  }
}

// Long texts thick with CRs and LFs at every distance, so that the vector
// steps meet them in every lane and at every edge.
TEST(LineEndsTest, KernelStepsMatchThePlainOnes) {
  std::mt19937 random(11);
  for (int round = 0; round < 300; round++) {
    // Dense rounds of "ab\r\n", and sparse ones of mostly "x".
    std::string in(1 + random() % 300, 'x');
    for (char& c : in)
      if (round % 2 == 0 || random() % 7 == 0) c = "ab\r\n"[random() % 4];
    const bool after_cr = round % 3 == 0;
    std::string want(2 * in.size() + 32, '\0'), got(2 * in.size() + 32, '\0');
    const auto same = [&](char* want_end, char* got_end) {
      return std::string(want.data(), want_end) == std::string(got.data(), got_end);
    };
    for (const Kernel* kernel : Kernels()) {
      SCOPED_TRACE(kernel->name);
      EXPECT_TRUE(same(plain::LfForCrLf(in.data(), in.size(), want.data()),
                       kernel->lf_for_cr_lf(in.data(), in.size(), got.data())));
      EXPECT_TRUE(same(plain::CrLfForLf(in.data(), in.size(), want.data()),
                       kernel->cr_lf_for_lf(in.data(), in.size(), got.data())));
      EXPECT_TRUE(same(plain::CrLfForBareLf(in.data(), in.size(), after_cr, want.data()),
                       kernel->cr_lf_for_bare_lf(in.data(), in.size(), after_cr, got.data())));
    }
  }
}

}  // namespace

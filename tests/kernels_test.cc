// Every kernel this machine runs classifies as the plain kernel does, and a
// kernel the processor lacks, when forced, gives one that it has.
#include "engine/kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/engine_test_util.h"
#include "tests/test_util.h"

namespace {

constexpr KernelChoice kChoices[] = {KernelChoice::kScalar, KernelChoice::kSse2,
                                     KernelChoice::kAvx2};

/// Texts of whole blocks, each classified from `offset` bytes into it.
struct Text {
  std::string bytes;
  size_t offset = 0;
};

/// Each byte a mask holds, and the bytes either side of each range a kernel
/// compares against, in every lane of two blocks; then random texts, of
/// every byte and of those bytes, at every alignment.
std::vector<Text> Texts() {
  const std::string stops = {' ',    '\t',   '\n',   '\v',   '\f',   '\r',   '<',    '>',
                             '&',    ';',    '"',    '\'',   '=',    '/',    '-',    '\0',
                             '\x01', '\x08', '\x0e', '\x1f', '\x21', '\x7e', '\x7f', '\x80',
                             '\x81', '\xbf', '\xc0', '\xfe', '\xff'};
  std::vector<Text> texts;
  for (char stop : stops) {
    for (size_t at = 0; at < 128; at++) {
      std::string bytes(128, 'x');
      bytes[at] = stop;
      texts.push_back({bytes, 0});
    }
  }
  std::mt19937 random(11);
  for (int i = 0; i < 300; i++) {
    const size_t offset = random() % 32;
    std::string bytes(offset + 64 * (1 + random() % 6), 'x');
    for (char& c : bytes) c = i % 2 ? static_cast<char>(random()) : stops[random() % stops.size()];
    texts.push_back({bytes, offset});
  }
  return texts;
}

/// A block's masks, classic then modern, in their fields' order.
std::array<uint64_t, 7> Fields(const ClassicMasks& classic, const ModernMasks& modern) {
  return {classic.word_stops, classic.tag_stops, classic.spaces, classic.quotes,
          modern.markup,      modern.word_stops, modern.spaces};
}

TEST(KernelsTest, EveryKernelsMasksAreThePlainKernels) {
  const Kernel& plain = KernelFor(KernelChoice::kScalar);
  const std::vector<Text> texts = Texts();
  for (KernelChoice choice : kChoices) {
    if (!HasKernel(choice)) continue;
    const Kernel& kernel = KernelFor(choice);
    SCOPED_TRACE(kernel.name);
    for (const Text& text : texts) {
      const char* bytes = text.bytes.data() + text.offset;
      const size_t blocks = (text.bytes.size() - text.offset) / 64;
      std::vector<ClassicMasks> classic(blocks), classic_want(blocks);
      std::vector<ModernMasks> modern(blocks), modern_want(blocks);
      kernel.classify_classic(bytes, blocks, classic.data());
      plain.classify_classic(bytes, blocks, classic_want.data());
      kernel.classify_modern(bytes, blocks, modern.data());
      plain.classify_modern(bytes, blocks, modern_want.data());
      for (size_t b = 0; b < blocks; b++)
        ASSERT_EQ(Fields(classic[b], modern[b]), Fields(classic_want[b], modern_want[b]))
            << testing::PrintToString(text.bytes) << " from " << text.offset << ", block " << b;
    }
  }
}

// kAuto is the last kernel this machine runs, each kernel that runs as itself
// is a kernel of its own, and a forced kernel, run or stand-in, converts as
// the rules alone do.
TEST(KernelsTest, AutoIsTheBestAndAForcedKernelFallsBack) {
  std::vector<const Kernel*> available;
  for (KernelChoice choice : kChoices) {
    if (!HasKernel(choice)) continue;
    for (const Kernel* other : available) EXPECT_NE(other, &KernelFor(choice));
    available.push_back(&KernelFor(choice));
  }
  EXPECT_TRUE(HasKernel(KernelChoice::kAuto));
  EXPECT_EQ(&KernelFor(KernelChoice::kAuto), available.back());

  const std::string page = ReadFile(std::string(QLN_SOURCE_DIR) + "/samples/sample.html");
  for (int modern : {0, 1}) {
    RunSettings by_rules;
    by_rules.ModernHtml = modern;
    by_rules.Scan = ScanWay::kRulesOnly;
    const std::string want = ConvertAsFile({page}, by_rules);
    for (KernelChoice choice : kChoices) {
      const Kernel& kernel = KernelFor(choice);
      EXPECT_NE(std::find(available.begin(), available.end(), &kernel), available.end());
      RunSettings forced;
      forced.ModernHtml = modern;
      forced.Kernel = choice;
      EXPECT_EQ(ConvertAsFile({page}, forced), want) << kernel.name << ", modern " << modern;
    }
  }
}

}  // namespace

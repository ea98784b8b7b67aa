// Holds every block kernel this machine runs to the reference, byte for byte.
// Arbitrary bytes, with arbitrary settings (either profile), mode and line
// ends, go in the same pieces to a conversion by the ordered rules alone and
// to one by the shortcuts with each kernel: after every piece each must have
// the reference's state and output, and at the end its whole output.
//
// Beneath the scanners, on the input's bytes: each SIMD kernel's masks must be
// the plain kernel's, block by block, and its line-end translations the plain
// ones. Their buffers hold only what a kernel may touch, so that a read or a
// write past them stops the run.
//
// The input's last bytes pick the settings, the mode, the line ends and the
// cutting; the rest is the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/conversion.h"
#include "engine/kernel_plain_steps.h"
#include "engine/kernels.h"
#include "fuzz/fuzz_settings.h"

namespace {

using qln::detail::ClassicMasks;
using qln::detail::Conversion;
using qln::detail::Kernel;
using qln::detail::KernelChoice;
using qln::detail::KernelFor;
using qln::detail::ModernMasks;
using qln::detail::RunSettings;
using qln::detail::ScanWay;
namespace plain = qln::detail::plain;

/// Check, naming the kernel that failed it.
void CheckKernel(const Kernel& kernel, bool ok, const char* what) {
  if (!ok) std::fprintf(stderr, "kernel %s: ", kernel.name);
  Check(ok, what);
}

/// `size` bytes on the heap and not one more, so that the sanitizer stops a
/// kernel that reads or writes past them.
std::unique_ptr<char[]> Exactly(size_t size) { return std::unique_ptr<char[]>(new char[size]); }

void CheckMask(const Kernel& kernel, size_t block, const char* name, uint64_t got, uint64_t want) {
  if (got != want)
    std::fprintf(stderr, "block %zu, %s: %016llx where the plain kernel has %016llx\n", block, name,
                 static_cast<unsigned long long>(got), static_cast<unsigned long long>(want));
  CheckKernel(kernel, got == want, "the masks are the plain kernel's");
}

/// `kernel`'s masks of `raw`, padded with zero bytes to whole blocks, against
/// the plain kernel's. The blocks start raw.size() % 32 bytes into their
/// buffer, so that the loads meet every alignment.
void CheckMasks(const Kernel& kernel, std::string_view raw) {
  const size_t blocks = (raw.size() + 63) / 64;
  if (blocks == 0) return;
  const size_t offset = raw.size() % 32;
  const std::unique_ptr<char[]> buffer = Exactly(offset + 64 * blocks);
  char* const text = buffer.get() + offset;
  std::memset(text, 0, 64 * blocks);
  std::memcpy(text, raw.data(), raw.size());
  const Kernel& scalar = KernelFor(KernelChoice::kScalar);

  const auto classic = std::make_unique<ClassicMasks[]>(blocks);
  const auto classic_want = std::make_unique<ClassicMasks[]>(blocks);
  kernel.classify_classic(text, blocks, classic.get());
  scalar.classify_classic(text, blocks, classic_want.get());
  for (size_t b = 0; b < blocks; b++) {
    const ClassicMasks& got = classic[b];
    const ClassicMasks& want = classic_want[b];
    CheckMask(kernel, b, "classic word_stops", got.word_stops, want.word_stops);
    CheckMask(kernel, b, "classic tag_stops", got.tag_stops, want.tag_stops);
    CheckMask(kernel, b, "classic spaces", got.spaces, want.spaces);
    CheckMask(kernel, b, "classic quotes", got.quotes, want.quotes);
  }

  const auto modern = std::make_unique<ModernMasks[]>(blocks);
  const auto modern_want = std::make_unique<ModernMasks[]>(blocks);
  kernel.classify_modern(text, blocks, modern.get());
  scalar.classify_modern(text, blocks, modern_want.get());
  for (size_t b = 0; b < blocks; b++) {
    const ModernMasks& got = modern[b];
    const ModernMasks& want = modern_want[b];
    CheckMask(kernel, b, "modern markup", got.markup, want.markup);
    CheckMask(kernel, b, "modern word_stops", got.word_stops, want.word_stops);
    CheckMask(kernel, b, "modern spaces", got.spaces, want.spaces);
  }
}

/// One line-end translation of `in` by a kernel's step against the plain
/// step; the kernel writes into exactly the `room` its step may use.
template <typename Step, typename PlainStep>
void CheckStep(const Kernel& kernel, std::string_view in, size_t room, Step step,
               PlainStep plain_step, const char* what) {
  std::string want(room, '\0');
  const char* want_end = plain_step(in.data(), in.size(), want.data());
  const std::unique_ptr<char[]> out = Exactly(room);
  const char* end = step(in.data(), in.size(), out.get());
  CheckKernel(kernel,
              std::string_view(out.get(), static_cast<size_t>(end - out.get())) ==
                  std::string_view(want.data(), static_cast<size_t>(want_end - want.data())),
              what);
}

/// `kernel`'s line-end translations of `raw` (which libFuzzer holds in a
/// buffer of its exact size) against the plain ones.
void CheckLineEnds(const Kernel& kernel, std::string_view raw) {
  const size_t n = raw.size();
  CheckStep(kernel, raw, n + 32, kernel.lf_for_cr_lf, plain::LfForCrLf, "CR LF read as LF");
  CheckStep(kernel, raw, 2 * n + 32, kernel.cr_lf_for_lf, plain::CrLfForLf, "LF written as CR LF");
  for (bool after_cr : {false, true}) {
    CheckStep(
        kernel, raw, 2 * n + 32,
        [&](const char* in, size_t size, char* out) {
          return kernel.cr_lf_for_bare_lf(in, size, after_cr, out);
        },
        [&](const char* in, size_t size, char* out) {
          return plain::CrLfForBareLf(in, size, after_cr, out);
        },
        "a bare LF written as CR LF");
  }
}

void AppendTo(const char* bytes, size_t size, void* user) {
  static_cast<std::string*>(user)->append(bytes, size);
}

struct Streamed {
  Conversion conversion;
  std::string output;
  Streamed(const RunSettings& settings, qln::Mode mode, qln::LineEnds line_ends) {
    StartConversion(&conversion, settings, mode, line_ends, AppendTo, &output);
  }
};

/// The conversion with `kernel` is where the reference is: the same state,
/// the same input and output flags, the same output so far.
void CheckSame(const Kernel& kernel, const Streamed& run, const Streamed& reference) {
  const Conversion& got = run.conversion;
  const Conversion& want = reference.conversion;
  CheckKernel(kernel, got.state == want.state, "the classic state is the reference's");
  CheckKernel(kernel, got.modern == want.modern, "the modern state is the reference's");
  CheckKernel(kernel,
              got.input_ended == want.input_ended && got.held_cr == want.held_cr &&
                  got.after_cr == want.after_cr && got.skipping_line == want.skipping_line &&
                  got.chunk_open == want.chunk_open && got.output_held_cr == want.output_held_cr,
              "the input and output flags are the reference's");
  CheckKernel(kernel, run.output == reference.output, "the output is the reference's");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const std::string_view raw(reinterpret_cast<const char*>(bytes), size);
  for (KernelChoice choice : {KernelChoice::kSse2, KernelChoice::kAvx2}) {
    if (!qln::detail::HasKernel(choice)) continue;
    CheckMasks(KernelFor(choice), raw);
    CheckLineEnds(KernelFor(choice), raw);
  }

  FuzzedDataProvider data(bytes, size);
  const RunSettings settings = qln::detail::ToRunSettings(ConsumeSettings(&data));
  const qln::Mode mode = data.ConsumeBool() ? qln::Mode::kClipboard : qln::Mode::kFile;
  const qln::LineEnds line_ends = data.ConsumeBool() ? qln::LineEnds::kLf : qln::LineEnds::kCrLf;
  // Short pieces cut the text anywhere; long ones hand the kernels many
  // whole blocks at a time.
  const size_t most = data.ConsumeBool() ? data.ConsumeIntegralInRange<size_t>(1, 80)
                                         : data.ConsumeIntegralInRange<size_t>(1, 4096);
  const uint32_t seed = data.ConsumeIntegral<uint32_t>();
  const std::string text = data.ConsumeRemainingBytesAsString();

  RunSettings by_rules = settings;
  by_rules.Scan = ScanWay::kRulesOnly;
  Streamed reference(by_rules, mode, line_ends);
  std::vector<const Kernel*> kernels;
  std::vector<std::unique_ptr<Streamed>> runs;  // each sink holds its output's address
  for (KernelChoice choice : {KernelChoice::kScalar, KernelChoice::kSse2, KernelChoice::kAvx2}) {
    if (!qln::detail::HasKernel(choice)) continue;
    RunSettings with_kernel = settings;
    with_kernel.Scan = ScanWay::kShortcuts;
    with_kernel.Kernel = choice;
    kernels.push_back(&KernelFor(choice));
    runs.push_back(std::make_unique<Streamed>(with_kernel, mode, line_ends));
  }

  std::string_view rest = text;
  for (size_t piece : PieceSizes(text.size(), most, seed)) {
    const std::string_view part = rest.substr(0, piece);
    rest.remove_prefix(part.size());
    FeedConversion(&reference.conversion, part);
    for (size_t k = 0; k < runs.size(); k++) {
      FeedConversion(&runs[k]->conversion, part);
      CheckSame(*kernels[k], *runs[k], reference);
    }
  }
  FinishConversion(&reference.conversion);
  for (size_t k = 0; k < runs.size(); k++) {
    FinishConversion(&runs[k]->conversion);
    CheckKernel(*kernels[k], runs[k]->output == reference.output,
                "the whole output is the reference's");
  }
  return 0;
}

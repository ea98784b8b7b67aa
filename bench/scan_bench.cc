// Engine throughput: the converter over generated inputs held in memory, fed
// in blocks of 64 KiB as file mode feeds it, by each way of scanning.
#include <benchmark/benchmark.h>
#include <qln/qln.h>

#include <map>
#include <string>

#include "bench/html_gen.h"
#include "engine/conversion.h"

namespace {

using qln::detail::RunSettings;
using qln::detail::ScanWay;

constexpr size_t kInputSize = 4 << 20;
constexpr size_t kBlock = 64 * 1024;

const std::string& Input(Shape shape) {
  static std::map<Shape, std::string> inputs;
  auto [it, added] = inputs.try_emplace(shape);
  if (added) it->second = GenerateHtml(shape, kInputSize);
  return it->second;
}

void Discard(const char* bytes, size_t, void*) { benchmark::DoNotOptimize(bytes); }

/// One whole run over `text`, with the output handed on as file mode writes it.
void ConvertOnce(std::string_view text, const RunSettings& settings) {
  qln::detail::Conversion conversion;
  StartConversion(&conversion, settings, qln::Mode::kFile, qln::LineEnds::kCrLf, Discard, nullptr);
  for (; !text.empty(); text.remove_prefix(std::min(text.size(), kBlock)))
    FeedConversion(&conversion, text.substr(0, kBlock));
  FinishConversion(&conversion);
}

void BM_Convert(benchmark::State& bench, Shape shape, ScanWay way) {
  const std::string& input = Input(shape);
  RunSettings settings;
  settings.Scan = way;
  for (auto _ : bench) ConvertOnce(input, settings);
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * input.size()));
}

#define QLN_SHAPE(name, shape)                                                                    \
  BENCHMARK_CAPTURE(BM_Convert, name, shape, ScanWay::kShortcuts)->Unit(benchmark::kMillisecond); \
  BENCHMARK_CAPTURE(BM_Convert, name##_by_rules, shape, ScanWay::kRulesOnly)                      \
      ->Unit(benchmark::kMillisecond)

QLN_SHAPE(page_mix, Shape::kMix);
QLN_SHAPE(plain_prose, Shape::kProse);
QLN_SHAPE(tag_dense, Shape::kTags);
QLN_SHAPE(entity_dense, Shape::kEntities);
QLN_SHAPE(link_dense, Shape::kLinks);
QLN_SHAPE(pre_blocks, Shape::kPre);
QLN_SHAPE(one_long_line, Shape::kLongLine);

}  // namespace

BENCHMARK_MAIN();

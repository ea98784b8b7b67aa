// Engine throughput: ScanChunk over generated inputs held in memory, fed line
// by line (long lines in 64 KiB pieces) as file mode feeds it.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "bench/html_gen.h"
#include "engine/conversion_state.h"
#include "engine/links.h"
#include "engine/scanner.h"

namespace {

constexpr size_t kInputSize = 4 << 20;
constexpr size_t kPiece = 64 * 1024 - 1;
constexpr size_t kOutputBlock = 64 * 1024;

const std::string& Input(Shape shape) {
  static std::map<Shape, std::string> inputs;
  auto [it, added] = inputs.try_emplace(shape);
  if (added) it->second = GenerateHtml(shape, kInputSize);
  return it->second;
}

/// One whole run over `text`: a fresh state, the output handed on in blocks
/// as file mode writes it, and the reference list at the end.
void ConvertOnce(std::string_view text, std::string* output) {
  ConversionState state;
  Settings settings;
  while (!text.empty()) {
    size_t line = std::min(text.find('\n'), text.size() - 1) + 1;
    size_t n = std::min(line, kPiece);
    ChunkEnd end = n == line ? ChunkEnd::kEnds : ChunkEnd::kContinues;
    ScanChunk(&state, settings, text.substr(0, n), output, end);
    text.remove_prefix(n);
    if (output->size() >= kOutputBlock) {
      benchmark::DoNotOptimize(output->data());
      output->clear();
    }
  }
  WriteUrlList(&state.Urls, output);
  benchmark::DoNotOptimize(output->data());
  output->clear();
}

void BM_ScanChunk(benchmark::State& bench, Shape shape) {
  const std::string& input = Input(shape);
  std::string output;
  output.reserve(kOutputBlock * 2);
  for (auto _ : bench) ConvertOnce(input, &output);
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * input.size()));
}

BENCHMARK_CAPTURE(BM_ScanChunk, page_mix, Shape::kMix)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanChunk, plain_prose, Shape::kProse)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanChunk, tag_dense, Shape::kTags)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanChunk, entity_dense, Shape::kEntities)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanChunk, link_dense, Shape::kLinks)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanChunk, pre_blocks, Shape::kPre)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScanChunk, one_long_line, Shape::kLongLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

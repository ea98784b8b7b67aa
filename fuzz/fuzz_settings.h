// Helpers shared by the fuzzers: settings drawn from the fuzz input, piece
// sizes to cut it by, and a check that stops the run with a message when an
// invariant fails.
#ifndef QLN_FUZZ_FUZZ_SETTINGS_H_
#define QLN_FUZZ_FUZZ_SETTINGS_H_

#include <fuzzer/FuzzedDataProvider.h>
#include <qln/settings.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

/// Any settings the settings file can produce, in either profile, taken from
/// the end of the input (so a plain HTML file is a usable seed: its last
/// bytes pick them). QLN_FUZZ_PROFILE=modern or =classic holds a run to one
/// profile; set but empty, it holds none, as when it is unset.
inline qln::Settings ConsumeSettings(FuzzedDataProvider* data) {
  qln::Settings settings;
  settings.LeftMargin = data->ConsumeIntegralInRange(0, 10);
  settings.RightMargin = data->ConsumeIntegralInRange(40, 999);
  settings.DoURLs = data->ConsumeBool();
  settings.KeepLinefeeds = data->ConsumeBool();
  settings.Space2AfterPeriod = data->ConsumeBool();
  settings.ModernHtml = data->ConsumeBool();
  if (const char* profile = std::getenv("QLN_FUZZ_PROFILE"); profile && *profile) {
    settings.ModernHtml = std::string_view(profile) == "modern";
  }
  return settings;
}

/// Piece sizes from 1 to `most` that add up to at least `total`, from a small
/// generator seeded by the input.
inline std::vector<size_t> PieceSizes(size_t total, size_t most, uint32_t seed) {
  std::vector<size_t> sizes;
  uint32_t x = seed | 1;
  for (size_t cut = 0; cut < total;) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    const size_t size = 1 + x % most;
    sizes.push_back(size);
    cut += size;
  }
  return sizes;
}

/// Stops the fuzz run, so that libFuzzer saves the input, when `ok` is false.
inline void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "invariant failed: %s\n", what);
  std::abort();
}

#endif  // QLN_FUZZ_FUZZ_SETTINGS_H_

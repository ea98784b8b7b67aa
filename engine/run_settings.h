// The settings one conversion runs with: the caller's settings, checked, the
// word-length limit derived from them, and the engine's internal options.
#ifndef QLN_ENGINE_RUN_SETTINGS_H_
#define QLN_ENGINE_RUN_SETTINGS_H_

#include <qln/settings.h>

#include "kernels.h"

namespace qln::detail {

/// How the scanner reads its input.
enum class ScanWay {
  kShortcuts,  ///< block by block: whole words, tags and runs of bytes at a time
  kRulesOnly,  ///< one byte at a time through the ordered rules alone (the
               ///< modern profile: its tokenizer's states alone)
};

/// The record every engine function reads; it never changes during a run.
struct RunSettings {
  int LeftMargin = 2;
  int RightMargin = 78;
  int DoURLs = 1;
  int KeepLinefeeds = 1;
  int Space2AfterPeriod = 0;
  int ModernHtml = 0;
  /// The scanner forces a word out once it holds MaxWordLength - 1 characters:
  /// 64, or RightMargin - LeftMargin - 6 when the margins leave less room.
  int MaxWordLength = 64;
  /// Both ways give the same output; the rules alone are the reference.
  ScanWay Scan = ScanWay::kShortcuts;
  /// The block kernel the shortcuts classify the text with.
  KernelChoice Kernel = KernelChoice::kAuto;
};

/// The kernel a run's blocks go through: the plain one when it scans by the
/// rules alone, so that its every step is the reference.
inline const Kernel& KernelOf(const RunSettings& settings) {
  return KernelFor(settings.Scan == ScanWay::kRulesOnly ? KernelChoice::kScalar : settings.Kernel);
}

/// The settings a run works with for the caller's `settings`: checked, with
/// the word-length limit derived from the margins.
RunSettings ToRunSettings(const Settings& settings);

}  // namespace qln::detail

#endif  // QLN_ENGINE_RUN_SETTINGS_H_

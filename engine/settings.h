// The run's five user settings and the word-length limit derived from them.
// Filled once by the front end before conversion; read-only for the engine.
#ifndef QLN_ENGINE_SETTINGS_H_
#define QLN_ENGINE_SETTINGS_H_

struct Settings {
  /// Spaces of indentation before the first word of a line. 0 to 10.
  int LeftMargin = 2;
  /// A word wraps when it would reach column RightMargin - LeftMargin. 40 to 999.
  int RightMargin = 78;
  /// 1 numbers links and writes the reference list; any other value does not.
  int DoURLs = 1;
  /// 1 ends an output line at every source line end.
  int KeepLinefeeds = 1;
  /// 1 puts two spaces after a word ending in ".", ":", "!" or "?".
  int Space2AfterPeriod = 0;
  /// The scanner forces a word out once it holds MaxWordLength - 1 characters.
  int MaxWordLength = 64;
};

/// Lowers MaxWordLength to RightMargin - LeftMargin - 6 when the margins leave
/// less room than that, as every run does once its margins are known.
inline void FitWordLengthToMargins(Settings* settings) {
  const int room = settings->RightMargin - settings->LeftMargin - 6;
  if (room < settings->MaxWordLength) settings->MaxWordLength = room;
}

/// The settings a run has when no settings file is found.
inline constexpr Settings kDefaultSettings{};

#endif  // QLN_ENGINE_SETTINGS_H_

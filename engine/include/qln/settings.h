// The settings of a conversion, as the settings file qln.ini holds them, and
// the reading of a settings file's text.
#ifndef QLN_SETTINGS_H_
#define QLN_SETTINGS_H_

#include <qln/export.h>

#include <string_view>

namespace qln {

/// What a conversion may be told. Any values may be given: one outside its
/// range is taken at its default (see CheckedSettings).
struct Settings {
  /// Spaces of indentation before the first word of a line. 0 to 10; default 2.
  int LeftMargin = 2;
  /// A word wraps when it would reach column RightMargin - LeftMargin.
  /// 40 to 999; default 78.
  int RightMargin = 78;
  /// 1 numbers the links and lists them at the end; 0 does not. Default 1.
  int DoURLs = 1;
  /// 1 ends an output line at every line end of the input; 0 does not. Default 1.
  int KeepLinefeeds = 1;
  /// 1 puts two spaces after a word that ends in ".", ":", "!" or "?"; 0 one.
  /// Default 0.
  int Space2AfterPeriod = 0;
  /// 1 converts in the modern profile: UTF-8 in and out, every character
  /// reference, scripts, styles and the head left out, tags with
  /// attributes, whitespace collapsed and blank lines only between blocks.
  /// 0 converts in the classic profile. Default 0.
  int ModernHtml = 0;
};

/// The settings of a run that finds no settings file.
inline constexpr Settings kDefaultSettings{};

/// The settings a conversion works with: each value outside the range the
/// settings file accepts is taken at its default.
QLN_EXPORT Settings CheckedSettings(const Settings& settings);

/// Reads the bytes of a settings file as qln reads qln.ini: as text (a CR LF
/// pair reads as LF, a 0x1A byte ends it), the first line ignored, then one
/// key per line in this order: LeftMargin, RightMargin, DoURLs, KeepLinefeeds
/// and Space2AfterPeriod; and on any line after the first, ModernHtml. A
/// missing line or key, or a value qln does not accept, leaves that setting
/// at its default.
QLN_EXPORT Settings ParseSettings(std::string_view file);

}  // namespace qln

#endif  // QLN_SETTINGS_H_

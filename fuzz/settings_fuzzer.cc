// Fuzzes the settings reader on arbitrary file contents: every setting must
// end up within the range the file may set, or at its default.
#include <qln/settings.h>

#include <cstdint>
#include <string_view>

#include "engine/run_settings.h"
#include "fuzz/fuzz_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  const qln::Settings settings =
      qln::ParseSettings(std::string_view(reinterpret_cast<const char*>(bytes), size));
  Check(settings.LeftMargin >= 0 && settings.LeftMargin <= 10, "LeftMargin 0 to 10");
  Check(settings.RightMargin >= 40 && settings.RightMargin <= 999, "RightMargin 40 to 999");
  Check(settings.DoURLs == 0 || settings.DoURLs == 1, "DoURLs 0 or 1");
  Check(settings.KeepLinefeeds == 0 || settings.KeepLinefeeds == 1, "KeepLinefeeds 0 or 1");
  Check(settings.Space2AfterPeriod == 0 || settings.Space2AfterPeriod == 1,
        "Space2AfterPeriod 0 or 1");
  Check(settings.ModernHtml == 0 || settings.ModernHtml == 1, "ModernHtml 0 or 1");
  const int max_word_length = qln::detail::ToRunSettings(settings).MaxWordLength;
  Check(max_word_length >= 24 && max_word_length <= 64, "MaxWordLength 24 to 64");
  return 0;
}

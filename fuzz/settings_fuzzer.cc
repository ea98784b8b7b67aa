// Fuzzes the settings reader on arbitrary file contents: every setting must
// end up within the range the file may set, or at its default.
#include <cstdint>
#include <string_view>

#include "app/settings.h"
#include "fuzz/fuzz_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  Settings settings;
  ParseSettings(std::string_view(reinterpret_cast<const char*>(bytes), size), &settings);
  Check(settings.LeftMargin >= 0 && settings.LeftMargin <= 10, "LeftMargin 0 to 10");
  Check(settings.RightMargin >= 40 && settings.RightMargin <= 999, "RightMargin 40 to 999");
  Check(settings.DoURLs == 0 || settings.DoURLs == 1, "DoURLs 0 or 1");
  Check(settings.KeepLinefeeds == 0 || settings.KeepLinefeeds == 1, "KeepLinefeeds 0 or 1");
  Check(settings.Space2AfterPeriod == 0 || settings.Space2AfterPeriod == 1,
        "Space2AfterPeriod 0 or 1");
  Check(settings.MaxWordLength >= 24 && settings.MaxWordLength <= 64, "MaxWordLength 24 to 64");
  return 0;
}

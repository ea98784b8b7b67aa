// Fuzzes clipboard mode's conversion on arbitrary text with arbitrary
// settings. The text is one chunk with CR LF line ends, so every line end the
// conversion writes must be a CR LF pair unless it came from the text itself
// (a line feed in preformatted text, or a reference such as "&#10;").
#include <fuzzer/FuzzedDataProvider.h>
#include <qln/qln.h>

#include <cstdint>
#include <string>

#include "fuzz/fuzz_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const qln::Settings settings = ConsumeSettings(&data);
  const std::string text = data.ConsumeRemainingBytesAsString();
  const std::string output = qln::Convert(text, settings, qln::Mode::kClipboard);
  if (text.find_first_of("\n&") == std::string::npos) {
    for (size_t i = output.find('\n'); i != std::string::npos; i = output.find('\n', i + 1))
      Check(i > 0 && output[i - 1] == '\r', "line feeds come as CR LF");
  }
  return 0;
}

// The C interface over the C++ one. No exception leaves it: each becomes a
// status, and a converter that failed can only be freed.
#include <qln/qln.h>
#include <qln/qln_c.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

struct qln_converter {
  qln::Converter converter;
  bool failed = false;
  bool finished = false;
};

namespace {

qln::Settings FromC(const qln_settings* settings) {
  if (settings == nullptr) return qln::kDefaultSettings;
  qln::Settings converted;
  converted.LeftMargin = settings->LeftMargin;
  converted.RightMargin = settings->RightMargin;
  converted.DoURLs = settings->DoURLs;
  converted.KeepLinefeeds = settings->KeepLinefeeds;
  converted.Space2AfterPeriod = settings->Space2AfterPeriod;
  converted.ModernHtml = settings->ModernHtml;
  return converted;
}

void ToC(const qln::Settings& settings, qln_settings* converted) {
  converted->LeftMargin = settings.LeftMargin;
  converted->RightMargin = settings.RightMargin;
  converted->DoURLs = settings.DoURLs;
  converted->KeepLinefeeds = settings.KeepLinefeeds;
  converted->Space2AfterPeriod = settings.Space2AfterPeriod;
  converted->ModernHtml = settings.ModernHtml;
}

/// The C++ mode and line ends for the C ones; false when either does not exist.
bool FromC(qln_mode mode, qln_line_ends line_ends, qln::Mode* cc_mode,
           qln::LineEnds* cc_line_ends) {
  if (mode != QLN_MODE_FILE && mode != QLN_MODE_CLIPBOARD) return false;
  if (line_ends != QLN_LINE_ENDS_CRLF && line_ends != QLN_LINE_ENDS_LF) return false;
  *cc_mode = mode == QLN_MODE_FILE ? qln::Mode::kFile : qln::Mode::kClipboard;
  *cc_line_ends = line_ends == QLN_LINE_ENDS_CRLF ? qln::LineEnds::kCrLf : qln::LineEnds::kLf;
  return true;
}

/// Runs `step`, turning any exception into a status.
template <typename Step>
qln_status Guarded(Step step) {
  try {
    step();
    return QLN_OK;
  } catch (const std::bad_alloc&) {
    return QLN_ERROR_MEMORY;
  } catch (...) {
    return QLN_ERROR_FAILED;
  }
}

}  // namespace

extern "C" {

void qln_default_settings(qln_settings* settings) {
  if (settings != nullptr) ToC(qln::kDefaultSettings, settings);
}

qln_status qln_parse_settings(const char* file, size_t size, qln_settings* settings) {
  if ((file == nullptr && size > 0) || settings == nullptr) return QLN_ERROR_ARGUMENT;
  return Guarded([&] { ToC(qln::ParseSettings(std::string_view(file, size)), settings); });
}

qln_status qln_convert(const char* input, size_t size, const qln_settings* settings, qln_mode mode,
                       qln_line_ends line_ends, char** output, size_t* output_size) {
  qln::Mode cc_mode;
  qln::LineEnds cc_line_ends;
  if ((input == nullptr && size > 0) || output == nullptr || output_size == nullptr ||
      !FromC(mode, line_ends, &cc_mode, &cc_line_ends))
    return QLN_ERROR_ARGUMENT;
  return Guarded([&] {
    const std::string text =
        qln::Convert(std::string_view(input, size), FromC(settings), cc_mode, cc_line_ends);
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) throw std::bad_alloc();
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    *output = copy;
    *output_size = text.size();
  });
}

void qln_free(void* memory) { std::free(memory); }

qln_status qln_converter_new(const qln_settings* settings, qln_mode mode, qln_line_ends line_ends,
                             qln_sink sink, void* user, qln_converter** converter) {
  qln::Mode cc_mode;
  qln::LineEnds cc_line_ends;
  if (sink == nullptr || converter == nullptr || !FromC(mode, line_ends, &cc_mode, &cc_line_ends))
    return QLN_ERROR_ARGUMENT;
  return Guarded([&] {
    *converter =
        new qln_converter{qln::Converter(FromC(settings), cc_mode, cc_line_ends, sink, user)};
  });
}

qln_status qln_converter_feed(qln_converter* converter, const char* bytes, size_t size) {
  if (converter == nullptr || (bytes == nullptr && size > 0)) return QLN_ERROR_ARGUMENT;
  if (converter->failed) return QLN_ERROR_FAILED;
  if (converter->finished) return QLN_ERROR_FINISHED;
  const qln_status status =
      Guarded([&] { converter->converter.Feed(std::string_view(bytes, size)); });
  converter->failed = status != QLN_OK;
  return status;
}

qln_status qln_converter_finish(qln_converter* converter) {
  if (converter == nullptr) return QLN_ERROR_ARGUMENT;
  if (converter->failed) return QLN_ERROR_FAILED;
  if (converter->finished) return QLN_ERROR_FINISHED;
  const qln_status status = Guarded([&] { converter->converter.Finish(); });
  converter->failed = status != QLN_OK;
  converter->finished = true;
  return status;
}

void qln_converter_free(qln_converter* converter) { delete converter; }

}  // extern "C"
